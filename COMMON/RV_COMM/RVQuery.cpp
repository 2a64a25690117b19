// One question and its answer; the process-wide answer cache.
#include "RVQuery.h"

#include "rvdebug.h"
#include "rvmsg.h"
#include "rvserver.h"
#include "rvtick.h"

CRVObList* CRVQuery::m_pCache = nullptr;

namespace {

void PutValue(CRVMSG& msg, int i) { msg.PutInt(i); }
void PutValue(CRVMSG& msg, const CRVString& s) { msg.PutString(s); }

}  // namespace

CQACache::CQACache(CRVMSG* pQuestion, CRVMSG* pAnswer)
    : m_pQuestion(pQuestion), m_pAnswer(pAnswer), m_dwTime(RVGetTickCount())
{
}

CQACache::~CQACache()
{
    delete m_pQuestion;
    delete m_pAnswer;
}

CRVQuery::CRVQuery(int)
    : CRVQuery(g_pRVServer)
{
}

CRVQuery::CRVQuery(CRVServer* pSession)
    : CSocketSink((short)0),
      m_pSession(pSession),
      m_uTimeout(DEFAULT_TIMEOUT_MS),
      m_bAnswerOwned(0),
      m_bWaiting(0),
      m_pQuestion(nullptr),
      m_pAnswer(nullptr),
      m_sExpectedID(0),
      m_bPosted(0),
      m_bCache(0)
{
    if (m_pSession)
        m_sSenderID = m_pSession->NextSinkID();
}

CRVQuery::~CRVQuery()
{
    DropAnswer();
    delete m_pQuestion;
    Unregister();
}

void CRVQuery::DropAnswer()
{
    if (m_bAnswerOwned)
        delete m_pAnswer;
    m_pAnswer = nullptr;
    m_bAnswerOwned = 0;
}

void CRVQuery::Unregister()
{
    if (m_pSession)
        m_pSession->RemoveSocketSink(this);
}

void CRVQuery::SinkMessage(CRVMSG* pMsg)
{
    if (pMsg == nullptr || pMsg->SenderID() == RV_BROADCAST_SENDER_ID)
        return;
    // Whatever carries the sender ID is taken; WaitResponse checks its ID.
    DropAnswer();
    m_pAnswer = pMsg->CreateCopy();
    m_bAnswerOwned = 1;
    m_bWaiting = 0;
    Unregister();
}

int CRVQuery::PostQuestion(CRVMSG* pQuestion)
{
    RV_ASSERT(pQuestion != nullptr);
    if (pQuestion == nullptr || m_pSession == nullptr || !m_pSession->IsConnected())
        return 0;
    if (m_bCache)
    {
        if (CQACache* pHit = FindQA(pQuestion))
        {
            DropAnswer();
            m_pAnswer = pHit->m_pAnswer;   // the cache's
            m_bWaiting = 0;
            m_bPosted = 1;
            return 1;
        }
        delete m_pQuestion;
        m_pQuestion = pQuestion->CreateCopy();
    }
    // A full sink list leaves the query unregistered; the answer then cannot
    // reach it and the wait ends by time-out.
    m_pSession->AddSocketSink(this);
    m_bWaiting = 1;
    pQuestion->SenderID(m_sSenderID);
    if (!m_pSession->SendMSG(pQuestion))
    {
        m_bWaiting = 0;
        Unregister();
        return 0;
    }
    m_sExpectedID = (short)(pQuestion->MessageID() + 1);
    m_bPosted = 1;
    return 1;
}

void CRVQuery::HandOut(CRVMSG** ppAnswer)
{
    m_pAnswer->ResetRead();
    if (ppAnswer)
        *ppAnswer = m_pAnswer;
    // The cache owns the pair from now on; the query still points at the answer.
    if (m_bCache && m_pQuestion && m_bAnswerOwned && AddQACache(m_pQuestion, m_pAnswer))
    {
        m_pQuestion = nullptr;
        m_bAnswerOwned = 0;
    }
}

int CRVQuery::WaitResponse(CRVMSG** ppAnswer)
{
    if (!m_bPosted || m_pSession == nullptr)
        return 0;
    uint32_t dwStart = RVGetTickCount();

    // Answered already: from the cache, or before the wait began.
    if (m_pAnswer != nullptr && !m_bWaiting)
    {
        // An answer of another kind is no answer, however early it came.
        if (m_bAnswerOwned && m_pAnswer->MessageID() != m_sExpectedID)
            return 0;
        HandOut(ppAnswer);
        return 1;
    }

    m_bWaiting = 1;
    for (;;)
    {
        if (!m_bWaiting)
        {
            Unregister();
            if (m_pAnswer == nullptr || m_pAnswer->MessageID() != m_sExpectedID)
                return 0;
            HandOut(ppAnswer);
            return 1;
        }
        if (RVTickSince(dwStart) >= m_uTimeout)
            break;
        m_pSession->WaitMessage((unsigned short)m_sSenderID, WAIT_SLICE_MS);
        if (m_bWaiting && (!m_pSession->IsConnected() || m_pSession->ConnectAborted()))
            break;
    }
    m_bWaiting = 0;
    Unregister();
    return 0;
}

int CRVQuery::AskQuestion(CRVMSG** ppAnswer, CRVMSG* pQuestion)
{
    DropAnswer();
    delete m_pQuestion;
    m_pQuestion = nullptr;
    m_bPosted = 0;
    if (!PostQuestion(pQuestion))
        return 0;
    return WaitResponse(ppAnswer);
}

// ---------------------------------------------------------------------------
// Convenience forms

template <typename... VALUES>
int CRVQuery::AskWith(CRVMSG** ppAnswer, short sMessageID, const VALUES&... values)
{
    CRVMSG question(0, sMessageID, 64, 1);
    question.SetDataSize(0);
    (PutValue(question, values), ...);
    return AskQuestion(ppAnswer, &question);
}

template <typename... VALUES>
int CRVQuery::AskIntWith(int* piOut, short sMessageID, const VALUES&... values)
{
    CRVMSG* pAnswer = nullptr;
    if (!AskWith(&pAnswer, sMessageID, values...))
        return 0;
    return pAnswer->GetInt(piOut);
}

template <typename... VALUES>
int CRVQuery::AskStringWith(CRVString* psOut, short sMessageID, const VALUES&... values)
{
    CRVMSG* pAnswer = nullptr;
    if (!AskWith(&pAnswer, sMessageID, values...))
        return 0;
    return pAnswer->GetString(psOut);
}

int CRVQuery::AskQuestion(CRVMSG** pp, short id, int i1) { return AskWith(pp, id, i1); }
int CRVQuery::AskQuestion(CRVMSG** pp, short id, int i1, int i2) { return AskWith(pp, id, i1, i2); }
int CRVQuery::AskQuestion(CRVMSG** pp, short id, int i1, int i2, CRVString s) { return AskWith(pp, id, i1, i2, s); }

int CRVQuery::AskQuestionVoid(short id) { return AskWith(nullptr, id); }
int CRVQuery::AskQuestionVoid(short id, CRVString s) { return AskWith(nullptr, id, s); }
int CRVQuery::AskQuestionVoid(short id, int i1) { return AskWith(nullptr, id, i1); }
int CRVQuery::AskQuestionVoid(short id, int i1, int i2) { return AskWith(nullptr, id, i1, i2); }

int CRVQuery::AskQuestionInt(int* p, short id) { return AskIntWith(p, id); }
int CRVQuery::AskQuestionInt(int* p, short id, int i1) { return AskIntWith(p, id, i1); }
int CRVQuery::AskQuestionInt(int* p, short id, int i1, int i2) { return AskIntWith(p, id, i1, i2); }
int CRVQuery::AskQuestionInt(int* p, short id, int i1, int i2, int i3) { return AskIntWith(p, id, i1, i2, i3); }
int CRVQuery::AskQuestionInt(int* p, short id, int i1, int i2, int i3, int i4)
{
    return AskIntWith(p, id, i1, i2, i3, i4);
}
int CRVQuery::AskQuestionInt(int* p, short id, CRVString s) { return AskIntWith(p, id, s); }
int CRVQuery::AskQuestionInt(int* p, short id, int i1, CRVString s) { return AskIntWith(p, id, i1, s); }
int CRVQuery::AskQuestionInt(int* p, short id, int i1, int i2, CRVString s) { return AskIntWith(p, id, i1, i2, s); }

int CRVQuery::AskQuestionString(CRVString* p, short id) { return AskStringWith(p, id); }
int CRVQuery::AskQuestionString(CRVString* p, short id, int i1) { return AskStringWith(p, id, i1); }
int CRVQuery::AskQuestionString(CRVString* p, short id, int i1, int i2) { return AskStringWith(p, id, i1, i2); }
int CRVQuery::AskQuestionString(CRVString* p, short id, int i1, int i2, int i3)
{
    return AskStringWith(p, id, i1, i2, i3);
}

// ---------------------------------------------------------------------------
// The answer cache

void CRVQuery::InitCache()
{
    RV_ASSERT(m_pCache == nullptr);
    if (m_pCache == nullptr)
        m_pCache = new CRVObList;
}

void CRVQuery::UnInitCache()
{
    RemoveAllCache();
    delete m_pCache;
    m_pCache = nullptr;
}

void CRVQuery::RemoveAllCache()
{
    if (m_pCache == nullptr)
        return;
    while (!m_pCache->IsEmpty())
        delete static_cast<CQACache*>(m_pCache->RemoveHead());
}

CQACache* CRVQuery::FindQA(CRVMSG* pQuestion)
{
    if (m_pCache == nullptr || pQuestion == nullptr)
        return nullptr;
    for (CRVPos* pos = m_pCache->GetHeadPosition(); pos != nullptr;)
    {
        CRVPos* here = pos;
        CQACache* pEntry = static_cast<CQACache*>(m_pCache->GetNext(pos));
        if (!pEntry->m_pQuestion->IsSameMSG(pQuestion))
            continue;
        if (RVTickSince(pEntry->m_dwTime) <= CACHE_LIFETIME_MS)
            return pEntry;
        m_pCache->RemoveAt(here);
        delete pEntry;
        return nullptr;
    }
    return nullptr;
}

int CRVQuery::AddQACache(CRVMSG* pQuestion, CRVMSG* pAnswer)
{
    if (m_pCache == nullptr || pQuestion == nullptr || pAnswer == nullptr)
        return 0;
    while (m_pCache->GetCount() >= CACHE_MAX_ENTRIES)
        delete static_cast<CQACache*>(m_pCache->RemoveHead());
    m_pCache->AddTail(new CQACache(pQuestion, pAnswer));
    return 1;
}
