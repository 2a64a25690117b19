// Animation messages and the rounds that run them: arbitrary 20121, 20122,
// 20153, 20154, 20184 and the commands that stop or set what animations
// drive, interleaved with animation rounds at arbitrary times and with
// surfaces removed while they animate. The arithmetic of every profile
// meets the values the messages carry (the undefined-behaviour sanitizer
// watches), and removals meet running animations (the address sanitizer).
//
// Input: a sequence of operations, each a byte whose low two bits choose:
//   0  a message: byte choice (modulo the list below), short sender ID,
//      WORD data length n (cut to what is left), n bytes data
//   1  a round after a 32-bit number of milliseconds
//   2  a round 20 ms on
//   3  removal of the surface whose ID is the next byte, then the garbage
// Every input starts from a fresh main window with the same small tree.
#include "mainwnd.h"
#include "msgids.h"
#include "rvlog.h"
#include "rvmsg.h"
#include "surf_timer.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "fuzz_frame.h"

namespace {

const short g_Messages[] = {
    MSG_ANIMATE_SYNC, MSG_ANIMATE_ASYNC, MSG_JOG,          MSG_JOG_REPORT,     MSG_ANIMATE_TRANSFORM,
    MSG_SET_POSITION, MSG_SET_POSITION_ALT, MSG_SET_TRANSFORM, MSG_SET_ATTRIBUTE, MSG_SET_ROTATION,
};
const size_t g_nMessages = sizeof g_Messages / sizeof g_Messages[0];

long long g_llNow = 0;
timespec FuzzNow()
{
    timespec t;
    t.tv_sec = (time_t)(1000 + g_llNow / 1000);
    t.tv_nsec = (long)(g_llNow % 1000) * 1000000L;
    return t;
}

void AddSurf(CSurf* pParent, int iID, CRVRect rc)
{
    CSurf* p = new CSurf(pParent, iID, rc, CRVRect(rc.y, rc.x, rc.height, rc.width));
    pParent->AddChildTail(p);
}

void Send(CMainWnd* pWnd, FuzzReader& in)
{
    short sID = g_Messages[in.Byte() % g_nMessages];
    short sSender = (short)in.Word();
    unsigned char* pFrame = NextExactFrame(in, sSender, sID);
    CRVMSG msg(reinterpret_cast<RVT_HEADER*>(pFrame));
    pWnd->ProcessMessage(&msg);
    free(pFrame);
}

void Remove(CMainWnd* pWnd, int iID)
{
    pWnd->TreeLock()->RVLock();
    CSurf* pSurf = iID ? pWnd->FindSurface(iID) : nullptr;
    if (pSurf && pSurf->Parent() && pSurf->Parent()->RemoveSubSurf(pSurf))
        pWnd->AddToGarbage(pSurf);
    pWnd->TreeLock()->RVUnlock();
    pWnd->CleanupGarbage();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    RVSetLogLevel(RV_LOG_OFF);
    CSurf::g_bRenderGL = 0;
    SurfSetClock(FuzzNow);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    g_llNow = 0;
    CMainWnd* pWnd = new CMainWnd(nullptr, 1, 800, 480, 480, 800, 1);
    AddSurf(pWnd, 10, CRVRect(20, 10, 400, 300));
    AddSurf(pWnd->FindSurface(10), 11, CRVRect(0, 0, 100, 50));
    AddSurf(pWnd->FindSurface(11), 12, CRVRect(5, 5, 0, 0));
    AddSurf(pWnd, 20, CRVRect(-100, 100, 300, 150));
    FuzzReader in(data, size);
    while (in.Left() > 0) {
        switch (in.Byte() & 3) {
        case 0:
            Send(pWnd, in);
            break;
        case 1:
            g_llNow += in.Int();
            pWnd->AnimationRound();
            break;
        case 2:
            g_llNow += 20;
            pWnd->AnimationRound();
            break;
        default:
            Remove(pWnd, in.Byte());
            break;
        }
    }
    delete pWnd;
    return 0;
}
