// The simulated controller's discovery answers, read by the viewer's own locator.
#include "sim_announcer.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <string.h>

#include "syslocator.h"

namespace {

// Polls the locator until an answer arrives or about two seconds pass.
bool Collect(CSysLocator* pLocator, RVT_PINGA* pAnswer)
{
    for (int i = 0; i < 40; ++i)
        if (pLocator->CollectNextSystem(pAnswer, 50))
            return true;
    return false;
}

TEST(SimAnnouncer, AnswersTheLocatorWithItsRecord)
{
    CSimAnnouncer announcer;
    ASSERT_EQ(1, announcer.Start(0, 7010, "A name that is longer than the record holds", 1, 0x21));
    ASSERT_NE(0, announcer.Port());

    CSysLocator locator(300, htonl(INADDR_LOOPBACK), announcer.Port());
    RVT_PINGA answer;
    ASSERT_TRUE(Collect(&locator, &answer));
    EXPECT_EQ((uint32_t)RVT_PINGA_CODE, answer.dwCode);
    EXPECT_EQ(htonl(INADDR_LOOPBACK), answer.dwIP);
    EXPECT_EQ(7010, answer.wPort);
    EXPECT_EQ(1, answer.byType);
    EXPECT_EQ(0x21, answer.bySubType);
    EXPECT_STREQ("A name that is longer than ", answer.szName);   // 27 characters and the zero
    EXPECT_GE(announcer.Answered(), 1);
}

TEST(SimAnnouncer, IgnoresOtherQueriesAndStopsAnswering)
{
    CSimAnnouncer announcer;
    ASSERT_EQ(1, announcer.Start(0, 7011, "Quiet"));
    // The long query is not one this controller answers.
    CSysLocator locator(300, htonl(INADDR_LOOPBACK), announcer.Port());
    RVT_PING51A longAnswer;
    EXPECT_FALSE(locator.CollectNextSystem(&longAnswer, 300));
    EXPECT_EQ(0, announcer.Answered());

    announcer.Stop();
    announcer.Stop();
    RVT_PINGA answer;
    EXPECT_FALSE(locator.CollectNextSystem(&answer, 300));
}

}  // namespace
