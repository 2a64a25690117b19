// Texture upload on an offscreen context: a 1024 x 576 canvas through
// CGLDIB::Update and a 1920 x 1080 4:2:0 picture through CYUVDIB (plane copy
// and three-plane upload), each beside a bare glTexSubImage2D of the same
// bytes into a texture of the same size. Every iteration ends with glFinish
// so the GL's copy is inside the measurement. Figures are in bytes/s of
// picture data.
#define GL_GLEXT_PROTOTYPES 1
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <memory>
#include <string>
#include <vector>

#include "dibdc.h"
#include "gl_es.h"
#include "gl_thread.h"
#include "gl_trash.h"
#include "lx_eglcontext.h"
#include "yuv.h"

namespace {

enum { CANVAS_W = 1024, CANVAS_H = 576, VIDEO_W = 1920, VIDEO_H = 1080, VIDEO_STRIDE = 1920 };

// One context, current on the benchmark thread for the whole run.
struct Context
{
    Context()
    {
        std::string why;
        ctx.reset(CLxEGLContext::Create(16, 16, &why));
        error = why;
        if (ctx)
            scope.reset(new CGLDrawingScope);
    }
    std::unique_ptr<CLxEGLContext> ctx;
    std::unique_ptr<CGLDrawingScope> scope;
    std::string error;
};

Context& GL()
{
    static Context* p = new Context;
    return *p;
}

bool NeedGL(benchmark::State& state)
{
    if (GL().ctx)
        return true;
    state.SkipWithError(("no offscreen GL context: " + GL().error).c_str());
    return false;
}

// A texture of w x h in format, filled once.
GLuint BareTexture(GLenum format, int w, int h)
{
    GLuint t = 0;
    glGenTextures(1, &t);
    glBindTexture(GL_TEXTURE_2D, t);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, format, w, h, 0, format, GL_UNSIGNED_BYTE, nullptr);
    return t;
}

void BM_CanvasUpload_CGLDIB(benchmark::State& state)
{
    if (!NeedGL(state))
        return;
    CRVDibDC dc(CANVAS_W, CANVAS_H, 0, 0, 0, 0);
    dc.Fill(0xFF336699u);
    CGLDIB* dib = new CGLDIB(&dc, 0);
    for (auto _ : state) {
        dib->Update(&dc);
        glFinish();
    }
    dib->Release();
    GLFlushTrash();
    state.SetBytesProcessed(state.iterations() * (int64_t)dc.DX() * dc.DY() * 4);
}
BENCHMARK(BM_CanvasUpload_CGLDIB)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_CanvasUpload_BareTexSubImage(benchmark::State& state)
{
    if (!NeedGL(state))
        return;
    std::vector<uint32_t> pixels((size_t)CANVAS_W * CANVAS_H, 0xFF336699u);
    GLuint t = BareTexture(GL_RGBA, CANVAS_W, CANVAS_H);
    for (auto _ : state) {
        glBindTexture(GL_TEXTURE_2D, t);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, CANVAS_W, CANVAS_H, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        glFinish();
    }
    glDeleteTextures(1, &t);
    state.SetBytesProcessed(state.iterations() * (int64_t)CANVAS_W * CANVAS_H * 4);
}
BENCHMARK(BM_CanvasUpload_BareTexSubImage)->Unit(benchmark::kMicrosecond)->UseRealTime();

struct Video
{
    Video()
        : y((size_t)VIDEO_STRIDE * VIDEO_H, 100), cb((size_t)VIDEO_STRIDE / 2 * VIDEO_H / 2, 90),
          cr((size_t)VIDEO_STRIDE / 2 * VIDEO_H / 2, 160)
    {
        data = RVT_YUV_DATA();
        data.pY = y.data();
        data.pCb = cb.data();
        data.pCr = cr.data();
        data.iStrideY = VIDEO_STRIDE;
        data.iStrideCb = data.iStrideCr = VIDEO_STRIDE / 2;
        data.iWidth = VIDEO_W;
        data.iHeight = VIDEO_H;
    }
    int64_t Bytes() const { return (int64_t)(y.size() + cb.size() + cr.size()); }
    std::vector<unsigned char> y, cb, cr;
    RVT_YUV_DATA data;
};

// What the stream thread and the drawing thread do per decoded picture.
void BM_YUVPicture_CopyAndUpload(benchmark::State& state)
{
    if (!NeedGL(state))
        return;
    Video video;
    CYUVDIB* yuv = new CYUVDIB;
    for (auto _ : state) {
        yuv->Update(&video.data);
        yuv->UpdateGL();
        glFinish();
    }
    yuv->Release();
    GLFlushTrash();
    state.SetBytesProcessed(state.iterations() * video.Bytes());
}
BENCHMARK(BM_YUVPicture_CopyAndUpload)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The stream thread's share alone: the plane copy.
void BM_YUVPicture_CopyOnly(benchmark::State& state)
{
    Video video;
    CYUVDIB* yuv = new CYUVDIB;
    for (auto _ : state)
        yuv->Update(&video.data);
    yuv->Release();
    state.SetBytesProcessed(state.iterations() * video.Bytes());
}
BENCHMARK(BM_YUVPicture_CopyOnly)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_YUVPicture_BareTexSubImage(benchmark::State& state)
{
    if (!NeedGL(state))
        return;
    Video video;
    const int w[3] = {VIDEO_STRIDE, VIDEO_STRIDE / 2, VIDEO_STRIDE / 2};
    const int h[3] = {VIDEO_H, VIDEO_H / 2, VIDEO_H / 2};
    const unsigned char* p[3] = {video.y.data(), video.cb.data(), video.cr.data()};
    GLuint t[3];
    for (int i = 0; i < 3; i++)
        t[i] = BareTexture(GL_LUMINANCE, w[i], h[i]);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (auto _ : state) {
        for (int i = 0; i < 3; i++) {
            glBindTexture(GL_TEXTURE_2D, t[i]);
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w[i], h[i], GL_LUMINANCE, GL_UNSIGNED_BYTE, p[i]);
        }
        glFinish();
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glDeleteTextures(3, t);
    state.SetBytesProcessed(state.iterations() * video.Bytes());
}
BENCHMARK(BM_YUVPicture_BareTexSubImage)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
