// Render tests of the drawn surfaces: a main window on an offscreen context
// that draws its tree over a known background, with helpers to add surfaces
// and to mix colours the way the blend does.
#pragma once

#include <memory>

#include "gl_fixture.h"
#include "mainwnd.h"

class DrawnGL : public GLFixture
{
protected:
    static const unsigned int kBack = 0x204060;

    DrawnGL() : GLFixture(96, 64) {}
    void SetUp() override
    {
        GLFixture::SetUp();
        if (IsSkipped())
            return;
        m_eOrientBefore = CMainWnd::m_eOrientation;
        CMainWnd::m_eOrientation = ORIENT_0;
        wnd.reset(new CMainWnd(nullptr, 1, 96, 64, 96, 64, 1));
    }
    void TearDown() override
    {
        if (wnd) {
            wnd.reset();    // with the context current, as the front end does
            CMainWnd::m_eOrientation = m_eOrientBefore;
        }
        GLFixture::TearDown();
    }
    // A frame as the front end draws it: cleared, then the tree.
    void Frame()
    {
        Clear(kBack);
        wnd->RenderScreen();
        Read();
    }
    // A surface of kind T at rc in both orientations, with any further
    // constructor arguments, linked at the tail of pParent.
    template <class T, class... Args> T* Add(CSurf* pParent, int iID, CRVRect rc, Args... args)
    {
        T* p = new T(pParent, iID, rc, rc, args...);
        pParent->AddChildTail(p);
        return p;
    }
    // s x fs + d x fd per channel, as the blend computes it.
    static unsigned int Mix(unsigned int s, double fs, unsigned int d, double fd)
    {
        unsigned int out = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            double v = ((s >> shift) & 0xFF) * fs + ((d >> shift) & 0xFF) * fd;
            out |= (unsigned int)(v > 255 ? 255 : v + 0.5) << shift;
        }
        return out;
    }
    // a at f = 0 to b at f = 1.
    static unsigned int Lerp(unsigned int a, unsigned int b, double f) { return Mix(a, 1 - f, b, f); }

    std::unique_ptr<CMainWnd> wnd;
    ORIENT m_eOrientBefore = ORIENT_0;
};
