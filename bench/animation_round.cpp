// One round of the animation thread with 100 and 1,000 surfaces that all
// move and fade, against setting the same positions and alphas directly
// (the least work any round must do), in the same program. A round must
// fit well inside its 20 ms.
//
// The clock is a test clock moved 20 ms per round, so every round changes
// every surface; every 80 rounds the animations are aimed at the other end
// again (outside the timing).
#include <benchmark/benchmark.h>

#include <atomic>
#include <memory>
#include <vector>

#include "mainwnd.h"
#include "rvlog.h"
#include "surf.h"
#include "surf_animation.h"
#include "surf_timer.h"

namespace {

const int kRoundMs = 20;
const unsigned int kTravelMs = 2000;      // 10 px and 2.5 alpha steps per round
const int kRoundsPerLeg = 80;

std::atomic<long long> g_llNow{ 0 };
timespec TestNow()
{
    const long long ms = g_llNow;
    timespec t;
    t.tv_sec = 1000 + ms / 1000;
    t.tv_nsec = (long)(ms % 1000) * 1000000L;
    return t;
}

class CBenchWindow
{
public:
    explicit CBenchWindow(int n)
    {
        RVSetLogLevel(RV_LOG_OFF);
        CSurf::g_bRenderGL = 0;
        SurfSetClock(TestNow);
        g_llNow = 0;
        m_pWnd.reset(new CMainWnd(nullptr, 1, 1024, 576, 1024, 576, 1));
        for (int i = 0; i < n; i++) {
            CRVRect rc((i % 40) * 20, (i / 40) * 20, 16, 16);
            CSurf* s = new CSurf(m_pWnd.get(), i + 1, rc, rc);
            m_pWnd->AddChildTail(s);
            m_surfs.push_back(s);
        }
    }
    ~CBenchWindow()
    {
        m_pWnd.reset();
        SurfSetClock(nullptr);
    }
    // Every surface to the other end of its way, from where it is.
    void AimAll(int bOut)
    {
        for (CSurf* s : m_surfs) {
            CRVRect to = s->Position(ORIENT_0);
            to.x = bOut ? to.x % 20 + 1000 : to.x % 20;
            s->Animate(ORIENT_0, AK_POSITION, s->Position(ORIENT_0), to, 0, kTravelMs, 0, ACCEL_LINEAR,
                       ANIMATION_TERM_WAIT);
            s->Animate(AK_ALPHA, s->Alpha(), bOut ? 0 : 255, kTravelMs, 0, ACCEL_LINEAR, 0);
        }
    }
    CMainWnd* Wnd() { return m_pWnd.get(); }
    const std::vector<CSurf*>& Surfs() const { return m_surfs; }

private:
    std::unique_ptr<CMainWnd> m_pWnd;
    std::vector<CSurf*> m_surfs;
};

void BM_AnimationRound(benchmark::State& state)
{
    CBenchWindow w((int)state.range(0));
    int iRound = 0;
    int bOut = 1;
    w.AimAll(bOut);
    for (auto _ : state) {
        if (++iRound % kRoundsPerLeg == 0) {
            state.PauseTiming();
            bOut = !bOut;
            w.AimAll(bOut);
            state.ResumeTiming();
        }
        g_llNow += kRoundMs;
        w.Wnd()->AnimationRound();
    }
}

// The reference: the same new values set directly, without animations.
void BM_DirectSetters(benchmark::State& state)
{
    CBenchWindow w((int)state.range(0));
    int iStep = 0;
    for (auto _ : state) {
        iStep = (iStep + 1) % kRoundsPerLeg;
        for (CSurf* s : w.Surfs()) {
            CRVRect rc = s->Position(ORIENT_0);
            rc.x = rc.x % 20 + iStep * 10;
            s->SetPosition(ORIENT_0, rc);
            s->SetAlpha(255 - iStep * 3);
        }
    }
}

}  // namespace

BENCHMARK(BM_AnimationRound)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DirectSetters)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
