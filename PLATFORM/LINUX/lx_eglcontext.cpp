#define GL_GLEXT_PROTOTYPES 1
#include "lx_eglcontext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <stdio.h>
#include <string.h>

namespace {

std::string EglError(const char* what)
{
    char text[96];
    snprintf(text, sizeof text, "%s (EGL error 0x%04X)", what, (unsigned)eglGetError());
    return text;
}

int HasExtension(const char* pszList, const char* pszName)
{
    if (pszList == nullptr)
        return 0;
    const size_t n = strlen(pszName);
    for (const char* p = pszList; (p = strstr(p, pszName)) != nullptr; p += n)
        if ((p == pszList || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0'))
            return 1;
    return 0;
}

// Mesa's surfaceless platform needs no X server or GPU device; the default
// display is the fallback for other EGL implementations.
EGLDisplay OpenDisplay()
{
    const char* pszClient = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (HasExtension(pszClient, "EGL_MESA_platform_surfaceless")) {
        auto pGetPlatformDisplay =
            (PFNEGLGETPLATFORMDISPLAYEXTPROC)eglGetProcAddress("eglGetPlatformDisplayEXT");
        if (pGetPlatformDisplay) {
            EGLDisplay dpy = pGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
            if (dpy != EGL_NO_DISPLAY && eglInitialize(dpy, nullptr, nullptr))
                return dpy;
        }
    }
    EGLDisplay dpy = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (dpy != EGL_NO_DISPLAY && eglInitialize(dpy, nullptr, nullptr))
        return dpy;
    return EGL_NO_DISPLAY;
}

}  // namespace

CLxEGLContext* CLxEGLContext::Create(int iWidth, int iHeight, std::string* pError)
{
    auto fail = [pError](CLxEGLContext* p, const std::string& why) -> CLxEGLContext* {
        if (pError)
            *pError = why;
        delete p;
        return nullptr;
    };
    if (iWidth <= 0 || iHeight <= 0)
        return fail(nullptr, "bad offscreen size");

    CLxEGLContext* p = new CLxEGLContext;
    p->m_iWidth = iWidth;
    p->m_iHeight = iHeight;
    EGLDisplay dpy = OpenDisplay();
    if (dpy == EGL_NO_DISPLAY)
        return fail(p, EglError("no EGL display"));
    p->m_pDisplay = dpy;
    if (!eglBindAPI(EGL_OPENGL_API))
        return fail(p, EglError("EGL cannot bind desktop OpenGL"));

    const EGLint configAttribs[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                    EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint nConfigs = 0;
    if (!eglChooseConfig(dpy, configAttribs, &config, 1, &nConfigs) || nConfigs < 1)
        return fail(p, EglError("no EGL configuration for desktop OpenGL"));

    const EGLint contextAttribs[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                     EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    p->m_pContext = eglCreateContext(dpy, config, EGL_NO_CONTEXT, contextAttribs);
    if (p->m_pContext == EGL_NO_CONTEXT) {
        p->m_pContext = nullptr;
        return fail(p, EglError("cannot create an EGL context"));
    }
    // Without surfaceless contexts a context needs some surface to be current;
    // drawing still goes to the framebuffer object.
    if (!HasExtension(eglQueryString(dpy, EGL_EXTENSIONS), "EGL_KHR_surfaceless_context")) {
        const EGLint pbufferAttribs[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
        EGLSurface surface = eglCreatePbufferSurface(dpy, config, pbufferAttribs);
        if (surface == EGL_NO_SURFACE)
            return fail(p, EglError("cannot create an EGL pbuffer"));
        p->m_pSurface = surface;
    }
    if (!p->MakeCurrent())
        return fail(p, EglError("cannot make the EGL context current"));
    std::string why;
    if (!p->CreateFramebuffer(&why))
        return fail(p, why);
    return p;
}

int CLxEGLContext::CreateFramebuffer(std::string* pError)
{
    glGenFramebuffers(1, &m_uFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, m_uFramebuffer);
    glGenRenderbuffers(1, &m_uColour);
    glBindRenderbuffer(GL_RENDERBUFFER, m_uColour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, m_iWidth, m_iHeight);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_uColour);
    glGenRenderbuffers(1, &m_uDepthStencil);
    glBindRenderbuffer(GL_RENDERBUFFER, m_uDepthStencil);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, m_iWidth, m_iHeight);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_uDepthStencil);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, m_uDepthStencil);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        char text[80];
        snprintf(text, sizeof text, "offscreen framebuffer incomplete (0x%04X)", (unsigned)status);
        *pError = text;
        return 0;
    }
    glViewport(0, 0, m_iWidth, m_iHeight);
    return 1;
}

CLxEGLContext::~CLxEGLContext()
{
    if (m_pDisplay == nullptr)
        return;
    if (m_pContext != nullptr && MakeCurrent()) {
        // GL names belong to the context: delete them while it is current.
        if (m_uFramebuffer) {
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            glDeleteFramebuffers(1, &m_uFramebuffer);
        }
        if (m_uColour)
            glDeleteRenderbuffers(1, &m_uColour);
        if (m_uDepthStencil)
            glDeleteRenderbuffers(1, &m_uDepthStencil);
        ReleaseCurrent();
    }
    if (m_pContext)
        eglDestroyContext(m_pDisplay, m_pContext);
    if (m_pSurface)
        eglDestroySurface(m_pDisplay, m_pSurface);
    // The display is shared by every context of the process (EGL hands out one
    // per platform), so it is not terminated here: another context may live on.
}

int CLxEGLContext::MakeCurrent()
{
    return eglMakeCurrent(m_pDisplay, m_pSurface ? m_pSurface : EGL_NO_SURFACE,
                          m_pSurface ? m_pSurface : EGL_NO_SURFACE, m_pContext)
               ? 1
               : 0;
}

void CLxEGLContext::ReleaseCurrent()
{
    eglMakeCurrent(m_pDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

int CLxEGLContext::IsCurrent() const
{
    return m_pContext != nullptr && eglGetCurrentContext() == m_pContext ? 1 : 0;
}

void CLxEGLContext::Present()
{
    glFinish();
}
