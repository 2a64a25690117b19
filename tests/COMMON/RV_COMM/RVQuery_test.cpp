// Questions and answers over a real loopback link, with a bare controller end
// that answers on a thread of its own.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "RVQuery.h"
#include "RVThread.h"
#include "rvmsg.h"
#include "session_fixture.h"

namespace {

// Message data built value by value, as the wire carries it.
struct Data
{
    Bytes b;
    Data& I(int v)
    {
        Bytes x = IntData(v);
        b.insert(b.end(), x.begin(), x.end());
        return *this;
    }
    Data& S(const char* s)
    {
        I((int)strlen(s));
        b.insert(b.end(), s, s + strlen(s));
        while (b.size() % 4)
            b.push_back(0);
        return *this;
    }
};

class Query : public SessionFixture
{
protected:
    // Connected, with the connection already reported.
    void SetUp() override
    {
        ConnectPeer();
        m_session.RunMessagePump(0);
    }
    void TearDown() override { m_peer.StopResponder(); }

    // Answers every question with its ID + 1, echoing the sender ID, with what
    // reply() gives (nothing: no answer). Records the questions.
    void Answer(std::function<std::vector<Bytes>(const RAW_FRAME&)> reply)
    {
        m_peer.StartResponder([this, reply](CFramePeer& peer, const RAW_FRAME& f) {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_questions.push_back(f);
            }
            Bytes all;
            for (const Bytes& frame : reply(f))
                all.insert(all.end(), frame.begin(), frame.end());
            if (!all.empty())
                peer.Send(all);
        });
    }
    size_t QuestionCount()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_questions.size();
    }
    RAW_FRAME LastQuestion()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_questions.empty() ? RAW_FRAME() : m_questions.back();
    }

    std::mutex m_mutex;
    std::vector<RAW_FRAME> m_questions;
};

TEST_F(Query, AnswerIsReadFromItsStartAndTheQueryUnregisters)
{
    Answer([](const RAW_FRAME& f) {
        return std::vector<Bytes>{ MakeFrame(f.sSender, f.sMessage + 1, Data().I(42).S("Den").b) };
    });
    int sinks = m_session.SinkCount();
    CRVQuery q;
    CRVMSG question(0, 8058, 0, 1);
    question.PutInt(1);
    question.PutInt(2);
    CRVMSG* pAnswer = nullptr;
    ASSERT_EQ(1, q.AskQuestion(&pAnswer, &question));
    ASSERT_NE(nullptr, pAnswer);
    EXPECT_EQ(8059, pAnswer->MessageID());
    EXPECT_EQ(q.SenderID(), pAnswer->SenderID());
    EXPECT_EQ(42, pAnswer->GetInt());
    EXPECT_TRUE(pAnswer->GetString() == "Den");
    EXPECT_EQ(sinks, m_session.SinkCount());
    EXPECT_FALSE(m_session.IsSinkRegistered(&q));
    // The question went out with the query's sender ID.
    EXPECT_EQ(q.SenderID(), LastQuestion().sSender);
    EXPECT_EQ(Data().I(1).I(2).b, LastQuestion().data);
}

TEST_F(Query, AnswerThatArrivedBeforeTheWaitIsReturned)
{
    CRecordingSink other("other", &m_log);
    m_session.AddSocketSink(&other);
    CRVQuery q;
    CRVMSG question(0, 20000, 0, 1);
    question.PutInt(1);
    ASSERT_EQ(1, q.PostQuestion(&question));
    RAW_FRAME f;
    ASSERT_TRUE(m_peer.ReadFrame(&f));
    // A broadcast (which the query ignores) and the answer, handled by the pump.
    Bytes both = MakeFrame(0x7FFF, 20001, IntData(-1));
    Bytes answer = MakeFrame(f.sSender, 20001, IntData(5));
    both.insert(both.end(), answer.begin(), answer.end());
    ASSERT_TRUE(m_peer.Send(both));
    ASSERT_EQ(1, m_session.RunMessagePump(1000));
    EXPECT_FALSE(m_session.IsSinkRegistered(&q));
    EXPECT_EQ((std::vector<SINK_EVENT>{ MessageEvent("other", 0x7FFF, 20001, -1) }), m_log);

    uint32_t start = RVGetTickCount();
    CRVMSG* pAnswer = nullptr;
    ASSERT_EQ(1, q.WaitResponse(&pAnswer));
    EXPECT_LT(RVTickSince(start), 40u);
    EXPECT_EQ(5, pAnswer->GetInt());
}

TEST_F(Query, EarlyAnswerOfAnotherKindIsNoAnswer)
{
    CRVQuery q;
    CRVMSG question(0, 20000, 0, 1);
    ASSERT_EQ(1, q.PostQuestion(&question));
    RAW_FRAME f;
    ASSERT_TRUE(m_peer.ReadFrame(&f));
    ASSERT_TRUE(m_peer.SendFrame(f.sSender, 20003));
    ASSERT_EQ(1, m_session.RunMessagePump(1000));
    CRVMSG* pAnswer = nullptr;
    EXPECT_EQ(0, q.WaitResponse(&pAnswer));
    EXPECT_EQ(nullptr, pAnswer);
}

// Only the question's ID + 1 with the query's sender ID answers it.
struct ANSWER_CASE
{
    const char* name;
    int bOtherSender, bBroadcast, iOwnReplyID;   // iOwnReplyID 0: no reply of its own
    int want;
    bool bTimesOut;
};

TEST_F(Query, SessionStartIsAnsweredOnlyBy20001WithItsSenderID)
{
    const ANSWER_CASE cases[] = {
        { "20001 for another sink, a broadcast, then its own", 1, 1, 20001, 1, false },
        { "its own sender ID with 20002", 0, 0, 20002, 0, false },
        { "20001 for another sink only", 1, 0, 0, 0, true },
        { "a broadcast 20001 only", 0, 1, 0, 0, true },
    };
    CRecordingSink other("other", &m_log);
    m_session.AddSocketSink(&other);
    const ANSWER_CASE* current = nullptr;
    Answer([&](const RAW_FRAME& f) {
        std::vector<Bytes> r;
        if (current->bOtherSender)
            r.push_back(MakeFrame(other.SenderID(), 20001, IntData(1)));
        if (current->bBroadcast)
            r.push_back(MakeFrame(0x7FFF, 20001, IntData(2)));
        if (current->iOwnReplyID)
            r.push_back(MakeFrame(f.sSender, (short)current->iOwnReplyID, IntData(3)));
        return r;
    });
    for (const ANSWER_CASE& c : cases) {
        SCOPED_TRACE(c.name);
        current = &c;
        CRVQuery q;
        q.SetTimeout(300);
        CRVMSG question(0, 20000, 0, 1);
        CRVMSG* pAnswer = nullptr;
        uint32_t start = RVGetTickCount();
        EXPECT_EQ(c.want, q.AskQuestion(&pAnswer, &question));
        uint32_t took = RVTickSince(start);
        if (c.bTimesOut)
            EXPECT_GE(took, 295u);
        else
            EXPECT_LT(took, 250u);
        if (c.want) {
            EXPECT_EQ(3, pAnswer->GetInt());
        }
        EXPECT_FALSE(m_session.IsSinkRegistered(&q));
        // The others' messages were kept for the pump.
        EXPECT_EQ(c.bOtherSender + c.bBroadcast, m_session.PendingCount());
        m_log.clear();
        m_session.RunMessagePump(0);
        EXPECT_EQ(0, m_session.PendingCount());
        EXPECT_EQ((size_t)(c.bOtherSender + c.bBroadcast), m_log.size());
    }
}

TEST_F(Query, UnansweredQuestionTimesOutAndUnregisters)
{
    Answer([](const RAW_FRAME&) { return std::vector<Bytes>(); });
    CRVQuery q;
    EXPECT_EQ((unsigned)CRVQuery::DEFAULT_TIMEOUT_MS, q.GetTimeout());
    q.SetTimeout(150);
    CRVMSG question(0, 20000, 0, 1);
    uint32_t start = RVGetTickCount();
    EXPECT_EQ(0, q.AskQuestion(nullptr, &question));
    uint32_t took = RVTickSince(start);
    EXPECT_GE(took, 150u);
    EXPECT_LT(took, 1000u);
    EXPECT_FALSE(m_session.IsSinkRegistered(&q));
    EXPECT_EQ(1u, QuestionCount());   // asked once, not repeated
}

TEST_F(Query, LostConnectionEndsTheWait)
{
    m_peer.StartResponder([](CFramePeer& peer, const RAW_FRAME&) { peer.Close(); });
    CRVQuery q;
    q.SetTimeout(5000);
    CRVMSG question(0, 20000, 0, 1);
    uint32_t start = RVGetTickCount();
    EXPECT_EQ(0, q.AskQuestion(nullptr, &question));
    EXPECT_LT(RVTickSince(start), 1000u);
    EXPECT_FALSE(m_session.IsSinkRegistered(&q));
    EXPECT_FALSE(m_session.IsConnected());
}

TEST_F(Query, NotConnectedSendsNothingAndLeavesOutParametersAlone)
{
    m_session.CloseConnection();
    CRVQuery q;
    CRVMSG question(0, 20000, 0, 1);
    EXPECT_EQ(0, q.PostQuestion(&question));
    EXPECT_EQ(0, q.WaitResponse(nullptr));
    int i = 1234;
    EXPECT_EQ(0, q.AskQuestionInt(&i, 500, 1));
    EXPECT_EQ(1234, i);
    EXPECT_FALSE(m_session.IsSinkRegistered(&q));
    RAW_FRAME f;
    EXPECT_FALSE(m_peer.ReadFrame(&f, 100));
}

TEST_F(Query, SixtyFourMessagesAreKeptWhileWaiting)
{
    CRecordingSink other("other", &m_log);
    m_session.AddSocketSink(&other);
    Answer([&](const RAW_FRAME& f) {
        std::vector<Bytes> r;
        for (int i = 0; i < 70; i++)
            r.push_back(MakeFrame(other.SenderID(), 300, IntData(i)));
        r.push_back(MakeFrame(f.sSender, f.sMessage + 1));
        return r;
    });
    CRVQuery q;
    ASSERT_EQ(1, q.AskQuestionVoid(20000));
    EXPECT_EQ(64, m_session.PendingCount());
    m_log.clear();
    m_session.RunMessagePump(0);
    std::vector<SINK_EVENT> want;
    for (int i = 0; i < 64; i++)
        want.push_back(MessageEvent("other", other.SenderID(), 300, i));
    EXPECT_EQ(want, m_log);
}

// The convenience forms: what each puts in the question and reads from the answer.
struct FORM_CASE
{
    const char* name;
    std::function<int(CRVQuery&, int*, CRVString*)> ask;
    Bytes question;
    int want;
    int wantInt;             // the int out-parameter afterwards
    const char* wantString;  // the string out-parameter afterwards
};

TEST_F(Query, ConvenienceFormsPutTheirValuesAndReadTheFirstOfTheAnswer)
{
    // 5xx: answered with the int ID * 2; 6xx: with a string; 7xx: with no
    // data; 8xx: not at all.
    Answer([](const RAW_FRAME& f) {
        std::vector<Bytes> r;
        if (f.sMessage < 600)
            r.push_back(MakeFrame(f.sSender, f.sMessage + 1, Data().I(f.sMessage * 2).b));
        else if (f.sMessage < 700)
            r.push_back(MakeFrame(f.sSender, f.sMessage + 1, Data().S("Den").I(9).b));
        else if (f.sMessage < 800)
            r.push_back(MakeFrame(f.sSender, f.sMessage + 1));
        return r;
    });
    CRVMSG* a = nullptr;
    const CRVString ab("ab");
    const FORM_CASE cases[] = {
        { "AskQuestion(int)", [&](CRVQuery& q, int*, CRVString*) { return q.AskQuestion(&a, 501, 7); },
          Data().I(7).b, 1, -5, "-" },
        { "AskQuestion(int, int)", [&](CRVQuery& q, int*, CRVString*) { return q.AskQuestion(&a, 502, 7, 8); },
          Data().I(7).I(8).b, 1, -5, "-" },
        { "AskQuestion(int, int, string)",
          [&](CRVQuery& q, int*, CRVString*) { return q.AskQuestion(&a, 503, 7, 8, ab); },
          Data().I(7).I(8).S("ab").b, 1, -5, "-" },
        { "AskQuestionVoid()", [](CRVQuery& q, int*, CRVString*) { return q.AskQuestionVoid(504); }, Bytes(), 1,
          -5, "-" },
        { "AskQuestionVoid(string)",
          [](CRVQuery& q, int*, CRVString*) { return q.AskQuestionVoid(505, CRVString("abc")); },
          Data().S("abc").b, 1, -5, "-" },
        { "AskQuestionVoid(int)", [](CRVQuery& q, int*, CRVString*) { return q.AskQuestionVoid(506, 7); },
          Data().I(7).b, 1, -5, "-" },
        { "AskQuestionVoid(int, int)",
          [](CRVQuery& q, int*, CRVString*) { return q.AskQuestionVoid(507, 7, 8); }, Data().I(7).I(8).b, 1, -5,
          "-" },
        { "AskQuestionInt()", [](CRVQuery& q, int* i, CRVString*) { return q.AskQuestionInt(i, 508); }, Bytes(),
          1, 1016, "-" },
        { "AskQuestionInt(int)", [](CRVQuery& q, int* i, CRVString*) { return q.AskQuestionInt(i, 509, 1); },
          Data().I(1).b, 1, 1018, "-" },
        { "AskQuestionInt(int x2)",
          [](CRVQuery& q, int* i, CRVString*) { return q.AskQuestionInt(i, 510, 1, 2); }, Data().I(1).I(2).b, 1,
          1020, "-" },
        { "AskQuestionInt(int x3)",
          [](CRVQuery& q, int* i, CRVString*) { return q.AskQuestionInt(i, 511, 1, 2, 3); },
          Data().I(1).I(2).I(3).b, 1, 1022, "-" },
        { "AskQuestionInt(int x4)",
          [](CRVQuery& q, int* i, CRVString*) { return q.AskQuestionInt(i, 512, 1, 2, 3, 4); },
          Data().I(1).I(2).I(3).I(4).b, 1, 1024, "-" },
        { "AskQuestionInt(string)",
          [](CRVQuery& q, int* i, CRVString*) { return q.AskQuestionInt(i, 513, CRVString("s")); },
          Data().S("s").b, 1, 1026, "-" },
        { "AskQuestionInt(int, string)",
          [](CRVQuery& q, int* i, CRVString*) { return q.AskQuestionInt(i, 514, 1, CRVString("s")); },
          Data().I(1).S("s").b, 1, 1028, "-" },
        { "AskQuestionInt(int, int, string)",
          [](CRVQuery& q, int* i, CRVString*) { return q.AskQuestionInt(i, 515, 1, 2, CRVString("s")); },
          Data().I(1).I(2).S("s").b, 1, 1030, "-" },
        { "AskQuestionString()", [](CRVQuery& q, int*, CRVString* s) { return q.AskQuestionString(s, 600); },
          Bytes(), 1, -5, "Den" },
        { "AskQuestionString(int)",
          [](CRVQuery& q, int*, CRVString* s) { return q.AskQuestionString(s, 601, 1); }, Data().I(1).b, 1, -5,
          "Den" },
        { "AskQuestionString(int x2)",
          [](CRVQuery& q, int*, CRVString* s) { return q.AskQuestionString(s, 602, 1, 2); }, Data().I(1).I(2).b,
          1, -5, "Den" },
        { "AskQuestionString(int x3)",
          [](CRVQuery& q, int*, CRVString* s) { return q.AskQuestionString(s, 603, 1, 2, 3); },
          Data().I(1).I(2).I(3).b, 1, -5, "Den" },
        // Failures leave the out-parameters as they were.
        { "AskQuestionInt, empty answer", [](CRVQuery& q, int* i, CRVString*) { return q.AskQuestionInt(i, 700); },
          Bytes(), 0, -5, "-" },
        { "AskQuestionString, empty answer",
          [](CRVQuery& q, int*, CRVString* s) { return q.AskQuestionString(s, 701); }, Bytes(), 0, -5, "-" },
        { "AskQuestionInt, no answer", [](CRVQuery& q, int* i, CRVString*) { return q.AskQuestionInt(i, 800, 1); },
          Data().I(1).b, 0, -5, "-" },
        { "AskQuestionVoid, no answer", [](CRVQuery& q, int*, CRVString*) { return q.AskQuestionVoid(801); },
          Bytes(), 0, -5, "-" },
    };
    CRVQuery q;   // one query asks them all, each afresh
    q.SetTimeout(100);
    for (const FORM_CASE& c : cases) {
        SCOPED_TRACE(c.name);
        int i = -5;
        CRVString s("-");
        size_t before = QuestionCount();
        EXPECT_EQ(c.want, c.ask(q, &i, &s));
        ASSERT_EQ(before + 1, QuestionCount());
        EXPECT_EQ(c.question, LastQuestion().data);
        EXPECT_EQ(q.SenderID(), LastQuestion().sSender);
        EXPECT_EQ(c.wantInt, i);
        EXPECT_TRUE(s == c.wantString) << (char*)s;
    }
}

TEST_F(Query, CacheAnswersARepeatedQuestionForAnHour)
{
    std::atomic<int> asked{ 0 };
    Answer([&](const RAW_FRAME& f) {
        asked++;
        return std::vector<Bytes>{ MakeFrame(f.sSender, f.sMessage + 1, IntData(asked)) };
    });
    CRVQuery::InitCache();
    CRVQuery q;
    q.SetCacheMode(1);
    auto ask = [&](int arg) {
        int v = 0;
        EXPECT_EQ(1, q.AskQuestionInt(&v, 900, arg));
        return v;
    };
    EXPECT_EQ(1, ask(1));
    EXPECT_EQ(1, ask(1));   // from the cache
    EXPECT_EQ(2, ask(2));   // other data, other question
    EXPECT_EQ(2, CRVQuery::m_pCache->GetCount());

    // Age every entry: just under an hour still answers, over an hour asks again.
    auto age = [](uint32_t ms) {
        for (CRVPos* pos = CRVQuery::m_pCache->GetHeadPosition(); pos;)
            static_cast<CQACache*>(CRVQuery::m_pCache->GetNext(pos))->m_dwTime = RVGetTickCount() - ms;
    };
    age(3599000);
    EXPECT_EQ(1, ask(1));
    age(3600001 + 5);
    EXPECT_EQ(3, ask(1));
    EXPECT_EQ(2, CRVQuery::m_pCache->GetCount());   // the stale entry was replaced
    Sleep(50);
    EXPECT_EQ(3, asked.load());                     // nothing was sent for the hits
    CRVQuery::UnInitCache();
    EXPECT_EQ(nullptr, CRVQuery::m_pCache);

    // Cache mode without a cache asks every time.
    EXPECT_EQ(4, ask(1));
    EXPECT_EQ(5, ask(1));
}

TEST(QueryCache, KeepsAtMost101EntriesDroppingTheOldest)
{
    auto msg = [](int id) {
        CRVMSG* m = new CRVMSG(0, 1000, 0, 1);
        m->PutInt(id);
        return m;
    };
    EXPECT_EQ(0, CRVQuery::AddQACache(nullptr, nullptr));   // no cache list: nothing taken
    CRVQuery::InitCache();
    for (int i = 0; i < 105; i++)
        ASSERT_EQ(1, CRVQuery::AddQACache(msg(i), msg(-i)));
    EXPECT_EQ(101, CRVQuery::m_pCache->GetCount());
    for (int i = 0; i < 105; i++) {
        std::unique_ptr<CRVMSG> q(msg(i));
        CQACache* pEntry = CRVQuery::FindQA(q.get());
        EXPECT_EQ(i >= 4, pEntry != nullptr) << i;
        if (pEntry) {
            pEntry->m_pAnswer->ResetRead();
            EXPECT_EQ(-i, pEntry->m_pAnswer->GetInt());
        }
    }
    CRVQuery::RemoveAllCache();
    EXPECT_EQ(0, CRVQuery::m_pCache->GetCount());
    CRVQuery::UnInitCache();
}

} // namespace
