// GLFixture with a main window of the context's size, drawn as the front end
// draws a frame: cleared, the tree, read back for the probes.
#pragma once

#include <memory>

#include "gl_fixture.h"
#include "mainwnd.h"

class MainWndGLFixture : public GLFixture
{
protected:
    using GLFixture::GLFixture;

    void SetUp() override
    {
        GLFixture::SetUp();
        if (IsSkipped())
            return;
        wnd.reset(new CMainWnd(nullptr, 1, m_iWidth, m_iHeight, m_iWidth, m_iHeight, 1));
    }
    void TearDown() override
    {
        wnd.reset();    // with the context current, as the front end does
        GLFixture::TearDown();
    }
    void Frame()
    {
        Clear(0);
        wnd->RenderScreen();
        Read();
    }

    std::unique_ptr<CMainWnd> wnd;
};
