// CRVQuery: asks the controller one question and blocks until the answer, the
// time-out or the loss of the connection.
//
// The query is a sink of its own: the question carries the query's sender ID,
// the controller echoes it in the answer, and the session routes the answer
// back here. The answer's message ID is the question's + 1. The query is
// registered with the session only from posting until the answer arrives or
// the wait ends, so an idle query receives nothing.
//
// A question is asked on the thread that runs the session's pump, or while no
// pump runs: the wait reads the connection through the session.
//
// Optionally (cache mode) answers are remembered process-wide for an hour, so
// that an identical question is answered without traffic. The viewer itself
// never turns this on.
#pragma once

#include <stdint.h>

#include "RVObList.h"
#include "rvstring.h"
#include "socksink.h"

class CRVMSG;
class CRVServer;

// One remembered question and its answer; owns both.
class CQACache
{
public:
    // Takes both messages; stamped with the current tick.
    CQACache(CRVMSG* pQuestion, CRVMSG* pAnswer);
    virtual ~CQACache();

    CQACache(const CQACache&) = delete;
    CQACache& operator=(const CQACache&) = delete;

    CRVMSG* m_pQuestion;
    CRVMSG* m_pAnswer;
    uint32_t m_dwTime;      // tick when stored
};

class CRVQuery : public CSocketSink
{
public:
    enum
    {
        DEFAULT_TIMEOUT_MS = 30000,
        WAIT_SLICE_MS = 50,             // a drop or the time-out is noticed this fast
        CACHE_LIFETIME_MS = 3600000,    // an entry older than this is asked again
        CACHE_MAX_ENTRIES = 101,
    };

    // A query of g_pRVServer (the argument is not used).
    explicit CRVQuery(int iUnused = 0);
    // A query of the given session. A query must not outlive its session.
    explicit CRVQuery(CRVServer* pSession);
    // Deletes an owned answer and the question copy; unregisters.
    ~CRVQuery() override;

    CRVQuery(const CRVQuery&) = delete;
    CRVQuery& operator=(const CRVQuery&) = delete;

    // Takes a message carrying the query's sender ID (broadcasts are ignored).
    void SinkMessage(CRVMSG* pMsg) override;

    void SetTimeout(unsigned int uMs) { m_uTimeout = uMs; }
    unsigned int GetTimeout() const { return m_uTimeout; }
    // Non-zero selects cache mode (needs InitCache to remember anything).
    void SetCacheMode(int bCache) { m_bCache = bCache; }

    // Sends the question with the query's sender ID. 1 when it was sent or
    // answered from the cache; 0 when not connected or the send failed.
    int PostQuestion(CRVMSG* pQuestion);
    // Waits for the answer to the posted question. 1 with the answer (read
    // index at its start) in *ppAnswer, when ppAnswer is not null; else 0.
    int WaitResponse(CRVMSG** ppAnswer);
    // Drops an earlier answer, posts and waits. The answer belongs to the
    // query (or the cache) and stays valid until its next question or its end.
    int AskQuestion(CRVMSG** ppAnswer, CRVMSG* pQuestion);

    // Convenience forms: a question with sender ID 0 (the query's is put in
    // when it is sent) carrying the given values in order.
    int AskQuestion(CRVMSG** ppAnswer, short sMessageID, int i1);
    int AskQuestion(CRVMSG** ppAnswer, short sMessageID, int i1, int i2);
    int AskQuestion(CRVMSG** ppAnswer, short sMessageID, int i1, int i2, CRVString s);
    int AskQuestionVoid(short sMessageID);
    int AskQuestionVoid(short sMessageID, CRVString s);
    int AskQuestionVoid(short sMessageID, int i1);
    int AskQuestionVoid(short sMessageID, int i1, int i2);
    // Int and String forms: the first int (string) of the answer into the
    // out-parameter; 0, with the out-parameter unchanged, when the question
    // failed or the answer is too short.
    int AskQuestionInt(int* piOut, short sMessageID);
    int AskQuestionInt(int* piOut, short sMessageID, int i1);
    int AskQuestionInt(int* piOut, short sMessageID, int i1, int i2);
    int AskQuestionInt(int* piOut, short sMessageID, int i1, int i2, int i3);
    int AskQuestionInt(int* piOut, short sMessageID, int i1, int i2, int i3, int i4);
    int AskQuestionInt(int* piOut, short sMessageID, CRVString s);
    int AskQuestionInt(int* piOut, short sMessageID, int i1, CRVString s);
    int AskQuestionInt(int* piOut, short sMessageID, int i1, int i2, CRVString s);
    int AskQuestionString(CRVString* psOut, short sMessageID);
    int AskQuestionString(CRVString* psOut, short sMessageID, int i1);
    int AskQuestionString(CRVString* psOut, short sMessageID, int i1, int i2);
    int AskQuestionString(CRVString* psOut, short sMessageID, int i1, int i2, int i3);

    // ---- The process-wide answer cache (not locked) ------------------------
    // Creates the empty list; it must not exist yet.
    static void InitCache();
    // Deletes every entry and the list.
    static void UnInitCache();
    static void RemoveAllCache();
    // The entry whose question equals pQuestion (message ID and data), if it
    // is at most an hour old; an older one is deleted. Null on a miss.
    static CQACache* FindQA(CRVMSG* pQuestion);
    // Appends an entry owning both messages, first dropping the oldest while
    // more than 100 are held. 0 (nothing taken) without a list.
    static int AddQACache(CRVMSG* pQuestion, CRVMSG* pAnswer);
    // The list of CQACache*, null until InitCache.
    static CRVObList* m_pCache;

private:
    template <typename... VALUES>
    int AskWith(CRVMSG** ppAnswer, short sMessageID, const VALUES&... values);
    template <typename... VALUES>
    int AskIntWith(int* piOut, short sMessageID, const VALUES&... values);
    template <typename... VALUES>
    int AskStringWith(CRVString* psOut, short sMessageID, const VALUES&... values);

    void DropAnswer();
    void Unregister();
    // Gives the answer out and, in cache mode, leaves the pair to the cache.
    void HandOut(CRVMSG** ppAnswer);

    CRVServer* m_pSession;
    unsigned int m_uTimeout;
    int m_bAnswerOwned;
    int m_bWaiting;         // the question is out and unanswered
    CRVMSG* m_pQuestion;    // copy kept in cache mode, owned
    CRVMSG* m_pAnswer;
    short m_sExpectedID;
    int m_bPosted;
    int m_bCache;
};
