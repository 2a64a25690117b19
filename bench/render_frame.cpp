// One frame of a page of 200 quads at 1024 x 576 on an offscreen context:
// 100 textured (a 64 x 64 premultiplied picture) and 100 filled, alternating,
// each quad in its own vertex buffer, blending on.
//
//   Renderer     the engine's programs and vertex buffers (CShaderTexture,
//                CShaderFill), switching program between quads as a page of
//                images and rectangles does
//   MainWindow   the same page as surfaces: 100 rectangles (fill program)
//                and 100 textured quads, drawn by CMainWnd::RenderScreen
//   BareGL       the reference: the same 200 quads and buffers through one
//                hand-written program (fills use a white texel and a colour
//                uniform), no engine code
//
// Each frame is cleared and finished (glFinish), so the figures are what
// the GL takes to put the page on the screen.
#include <benchmark/benchmark.h>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <memory>
#include <string>
#include <vector>

#include "gl_thread.h"
#include "gl_trash.h"
#include "gl_vbo.h"
#include "lx_eglcontext.h"
#include "mainwnd.h"
#include "matrix.h"
#include "shaders.h"

namespace {

const int kWidth = 1024, kHeight = 576;
const int kCols = 20, kRows = 10;   // 200 cells

CRVRect Cell(int i)
{
    const int w = kWidth / kCols, h = kHeight / kRows;
    return CRVRect((i % kCols) * w + 2, (i / kCols) * h + 2, w - 4, h - 4);
}

unsigned int CellColor(int i)
{
    return 0x203040u + (unsigned int)(i * 0x010305);
}

// The context, the drawing scope and the shared picture, for the process.
struct SCENE
{
    std::unique_ptr<CLxEGLContext> ctx;
    std::unique_ptr<CGLDrawingScope> scope;
    GLuint uTexture = 0;
    float fMatrix[16];
    std::string error;

    SCENE()
    {
        ctx.reset(CLxEGLContext::Create(kWidth, kHeight, &error));
        if (!ctx)
            return;
        scope.reset(new CGLDrawingScope);
        glViewport(0, 0, kWidth, kHeight);
        glDisable(GL_DEPTH_TEST);
        std::vector<unsigned char> pixels(64 * 64 * 4);
        for (int i = 0; i < 64 * 64; i++) {
            const unsigned char a = (unsigned char)(128 + (i % 128));
            pixels[i * 4 + 0] = (unsigned char)((i * 3) % a);
            pixels[i * 4 + 1] = (unsigned char)((i * 7) % a);
            pixels[i * 4 + 2] = (unsigned char)((i * 11) % a);
            pixels[i * 4 + 3] = a;
        }
        glGenTextures(1, &uTexture);
        glBindTexture(GL_TEXTURE_2D, uTexture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 64, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        MatrixOrtho(0.0f, (float)kWidth, 0.0f, (float)kHeight, -1.0f, 1.0f, fMatrix);
    }
};

SCENE& Scene()
{
    static SCENE* pScene = new SCENE;
    return *pScene;
}

void BeginFrame()
{
    glClearColor(0.1f, 0.1f, 0.1f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

// ---- the engine's renderer ----

void BM_Renderer(benchmark::State& state)
{
    SCENE& s = Scene();
    if (!s.ctx) {
        state.SkipWithError(s.error.c_str());
        return;
    }
    CreateShaderPrograms();
    std::vector<std::unique_ptr<CVBO>> quads;
    std::vector<std::unique_ptr<CFillRectVBO>> fills;
    for (int i = 0; i < kCols * kRows; i += 2) {
        const CRVRect a = Cell(i), b = Cell(i + 1);
        quads.emplace_back(new CVBO);
        quads.back()->Init(a.x, a.y, a.width, a.height, 1.0f, 1.0f, 0);
        fills.emplace_back(new CFillRectVBO);
        fills.back()->Init(b);
    }
    for (auto _ : state) {
        BeginFrame();
        for (size_t i = 0; i < quads.size(); i++) {
            g_pShaderTexture->Render(nullptr, s.fMatrix, 255, quads[i]->BufferID(), (int)s.uTexture,
                                     quads[i]->Mode(), quads[i]->Count(), GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
            g_pShaderFill->Render1(nullptr, s.fMatrix, 255, CellColor((int)i), fills[i]->BufferID(), 12, GL_SRC_ALPHA,
                                   GL_ONE_MINUS_SRC_ALPHA);
        }
        glFinish();
    }
    quads.clear();
    fills.clear();
    DeleteShaderPrograms();
    GLFlushTrash();
    state.counters["quads"] = kCols * kRows;
}
BENCHMARK(BM_Renderer)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// ---- the same page as surfaces of a main window ----

// A textured quad surface, drawn as an image surface draws its picture.
class CQuadSurf : public CSurf
{
public:
    CQuadSurf(CSurf* pParent, int iID, CRVRect rc, GLuint uTexture) : CSurf(pParent, iID, rc, rc), m_uTexture(uTexture)
    {
    }
    int RenderThis(int iAlpha, CClipStack*, float* pMatrix, RVT_MATRIX_CONFIG* pConfig) override
    {
        const CRVRect pos = Position(pConfig);
        m_VBO.Init(pConfig->iOffsetX, pConfig->iOffsetY, pos.width, pos.height, 1.0f, 1.0f, 0);
        g_pShaderTexture->Render(pConfig, pMatrix, iAlpha, m_VBO.BufferID(), (int)m_uTexture, m_VBO.Mode(),
                                 m_VBO.Count(), GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        return 1;
    }

private:
    GLuint m_uTexture;
    CVBO m_VBO;
};

void BM_MainWindow(benchmark::State& state)
{
    SCENE& s = Scene();
    if (!s.ctx) {
        state.SkipWithError(s.error.c_str());
        return;
    }
    const int bRenderGL = CSurf::g_bRenderGL;
    CSurf::g_bRenderGL = 1;
    std::unique_ptr<CMainWnd> wnd(new CMainWnd(nullptr, 1, kWidth, kHeight, kWidth, kHeight, 1));
    wnd->SetColor(ORIENT_0, 0x1A1A1A);
    for (int i = 0; i < kCols * kRows; i++) {
        const CRVRect rc = Cell(i);
        CSurf* p = (i % 2) ? (CSurf*)new CSurfRect(wnd.get(), i + 1, rc, rc, CellColor(i / 2))
                           : (CSurf*)new CQuadSurf(wnd.get(), i + 1, rc, s.uTexture);
        wnd->AddChildTail(p);
    }
    for (auto _ : state) {
        BeginFrame();
        wnd->RenderScreen();
        glFinish();
    }
    wnd.reset();
    CSurf::g_bRenderGL = bRenderGL;
    state.counters["quads"] = kCols * kRows;
}
BENCHMARK(BM_MainWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// ---- the reference: bare GL, one program ----

const char* const kVertex =
    "#version 120\n"
    "uniform mat4 m;attribute vec4 p;attribute vec2 t;varying vec2 uv;"
    "void main(){ gl_Position = m * p; uv = t;}";
const char* const kFragment =
    "#version 120\n"
    "uniform sampler2D tex;uniform vec4 tint;varying vec2 uv;"
    "void main(){ gl_FragColor = texture2D(tex, uv) * tint;}";

GLuint Compile(GLenum eType, const char* pszSource)
{
    GLuint s = glCreateShader(eType);
    glShaderSource(s, 1, &pszSource, nullptr);
    glCompileShader(s);
    return s;
}

void BM_BareGL(benchmark::State& state)
{
    SCENE& s = Scene();
    if (!s.ctx) {
        state.SkipWithError(s.error.c_str());
        return;
    }
    GLuint vs = Compile(GL_VERTEX_SHADER, kVertex), fs = Compile(GL_FRAGMENT_SHADER, kFragment);
    GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glBindAttribLocation(program, 0, "p");
    glBindAttribLocation(program, 1, "t");
    glLinkProgram(program);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        state.SkipWithError("reference program did not link");
        return;
    }
    const GLint iMatrix = glGetUniformLocation(program, "m"), iTint = glGetUniformLocation(program, "tint");

    // A white texel for the filled quads; every quad textured, each in its own buffer.
    GLuint white = 0;
    const unsigned char texel[4] = {255, 255, 255, 255};
    glGenTextures(1, &white);
    glBindTexture(GL_TEXTURE_2D, white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    std::vector<GLuint> buffers(kCols * kRows);
    glGenBuffers((GLsizei)buffers.size(), buffers.data());
    for (int i = 0; i < kCols * kRows; i++) {
        const CRVRect c = Cell(i);
        const float x0 = (float)c.x, y0 = (float)c.y, x1 = x0 + c.width, y1 = y0 + c.height;
        const float v[20] = {x0, y0, 0, 0, 0, x0, y1, 0, 0, 1, x1, y0, 0, 1, 0, x1, y1, 0, 1, 1};
        glBindBuffer(GL_ARRAY_BUFFER, buffers[i]);
        glBufferData(GL_ARRAY_BUFFER, sizeof v, v, GL_STATIC_DRAW);
    }
    glUseProgram(program);
    glUniformMatrix4fv(iMatrix, 1, GL_FALSE, s.fMatrix);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    for (auto _ : state) {
        BeginFrame();
        for (int i = 0; i < kCols * kRows; i++) {
            glBindTexture(GL_TEXTURE_2D, (i % 2) ? white : s.uTexture);
            const unsigned int c = (i % 2) ? CellColor(i / 2) : 0xFFFFFF;
            glUniform4f(iTint, ((c >> 16) & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f, (c & 0xFF) / 255.0f, 1.0f);
            glBindBuffer(GL_ARRAY_BUFFER, buffers[i]);
            glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 20, (const void*)0);
            glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 20, (const void*)12);
            glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        }
        glFinish();
    }
    glDeleteBuffers((GLsizei)buffers.size(), buffers.data());
    glDeleteTextures(1, &white);
    glDeleteProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    state.counters["quads"] = kCols * kRows;
}
BENCHMARK(BM_BareGL)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
