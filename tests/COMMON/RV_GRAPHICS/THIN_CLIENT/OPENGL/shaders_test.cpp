// Every shader program drawn once on an offscreen context with known inputs,
// checked by pixel probes: colours, alpha blending, the add mode, saturation,
// panels, text coverage, vertex colours and YUV to RGB.
#include "gl_fixture.h"
#include "gl_vbo.h"
#include "matrix.h"
#include "shaders.h"

#include <math.h>

#include <functional>
#include <thread>

namespace {

// The quad every test draws: (16, 16) to (48, 48) of the 64 x 64 frame.
const CRVRect kQuad(16, 16, 32, 32);
// Probes inside and outside it.
const int IN = 30, OUT = 6;

unsigned int RGB(int r, int g, int b)
{
    auto c = [](int v) { return (unsigned int)(v < 0 ? 0 : v > 255 ? 255 : v); };
    return c(r) << 16 | c(g) << 8 | c(b);
}

// s x src + d x dst per channel, rounded (what the blender computes).
unsigned int Mix(unsigned int src, double s, unsigned int dst, double d)
{
    auto ch = [&](int shift) {
        return (int)lround(((src >> shift) & 0xFF) * s + ((dst >> shift) & 0xFF) * d);
    };
    return RGB(ch(16), ch(8), ch(0));
}

class Shaders : public GLFixture
{
protected:
    void SetUp() override
    {
        GLFixture::SetUp();
        if (IsSkipped())
            return;
        m_bLinked = CreateShaderPrograms();
        // Pixels with the origin at the top left, y down.
        MatrixOrtho(0.0f, 64.0f, 0.0f, 64.0f, -1.0f, 1.0f, m_fMatrix);
        m_Quad.reset(new CVBO);
        m_Quad->Init(kQuad.x, kQuad.y, kQuad.width, kQuad.height, 1.0f, 1.0f, 0);
        m_Fill.reset(new CFillRectVBO);
        m_Fill->Init(kQuad);
        CShaderPanel::g_iPanelAlpha = 0;
    }
    void TearDown() override
    {
        if (m_bOpen) {
            for (GLuint t : m_textures)
                glDeleteTextures(1, &t);
            DeleteShaderPrograms();
            // Their names go to the trash while this context is there.
            m_Quad.reset();
            m_Fill.reset();
        }
        GLFixture::TearDown();
    }
    GLuint Texture(int w, int h, const std::vector<unsigned int>& rgba)
    {
        m_textures.push_back(MakeTexture(w, h, rgba));
        return m_textures.back();
    }
    GLuint Plane(int w, int h, const std::vector<unsigned char>& bytes)
    {
        m_textures.push_back(MakePlane(w, h, bytes));
        return m_textures.back();
    }

    int m_bLinked = 0;
    float m_fMatrix[16];
    std::unique_ptr<CVBO> m_Quad;
    std::unique_ptr<CFillRectVBO> m_Fill;
    std::vector<GLuint> m_textures;
};

TEST_F(Shaders, AllNineProgramsLink)
{
    EXPECT_EQ(m_bLinked, 1);
    const CGLProgram* all[] = {g_pShaderAddMode, g_pShaderTexture, g_pShaderText,     g_pShaderColor, g_pShaderFill,
                               g_pShaderYUV422,  g_pShaderRGBA,    g_pShaderColorSat, g_pShaderPanel};
    for (const CGLProgram* p : all) {
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(p->IsLinked());
        EXPECT_TRUE(glIsProgram(p->Program()));
    }
}

TEST_F(Shaders, FillOneColourWithItsBlending)
{
    struct CASE
    {
        const char* what;
        int alpha;
        unsigned int color, background;
        int src, dst;
        unsigned int expected;
    } cases[] = {
        {"opaque", 255, 0xC03010, 0x000000, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, 0xC03010},
        {"half over white", 128, 0x0000FF, 0xFFFFFF, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA,
         Mix(0x0000FF, 128 / 255.0, 0xFFFFFF, 127 / 255.0)},
        // Additive at 128: the colour itself is scaled, nothing below fades.
        {"additive premultiplies", 128, 0x804020, 0x101010, GL_ONE, GL_ONE, Mix(0x804020, 128 / 255.0, 0x101010, 1)},
        {"additive opaque", 255, 0x804020, 0x101010, GL_ONE, GL_ONE, 0x905030},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.what);
        Clear(c.background);
        g_pShaderFill->Render1(nullptr, m_fMatrix, c.alpha, c.color, m_Fill->BufferID(), 12, c.src, c.dst);
        Read();
        EXPECT_TRUE(Near(IN, IN, c.expected));
        EXPECT_TRUE(Near(OUT, OUT, c.background));
    }
    // The second form: straight alpha, vertices as the caller says.
    Clear(0xFFFFFF);
    g_pShaderFill->Render2(nullptr, m_fMatrix, 128, 0xFF0000, m_Fill->BufferID(), GL_TRIANGLE_STRIP, 4, 12);
    Read();
    EXPECT_TRUE(Near(IN, IN, Mix(0xFF0000, 128 / 255.0, 0xFFFFFF, 127 / 255.0)));
}

TEST_F(Shaders, TextureAlphaAndBlendPaths)
{
    // Premultiplied texel: colour (100, 50, 0) at alpha 128.
    const GLuint tex = Texture(1, 1, {0x80643200});
    const double a = 128 / 255.0;
    struct CASE
    {
        const char* what;
        int alpha, src, dst;
        unsigned int expected;
    } cases[] = {
        // Blend source -1: opaque content; the texture's own alpha is ignored.
        {"opaque, blending off", 255, -1, -1, 0x643200},
        {"faded by the constant alpha", 128, -1, -1, Mix(0x643200, a, 0x0000FF, 1 - a)},
        {"premultiplied at 255", 255, GL_ONE, GL_ONE_MINUS_SRC_ALPHA, Mix(0x643200, 1, 0x0000FF, 1 - a)},
        {"premultiplied at 128: all four channels scaled", 128, GL_ONE, GL_ONE_MINUS_SRC_ALPHA,
         Mix(0x643200, a, 0x0000FF, 1 - a * a)},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.what);
        Clear(0x0000FF);
        g_pShaderTexture->Render(nullptr, m_fMatrix, c.alpha, m_Quad->BufferID(), (int)tex, m_Quad->Mode(),
                                 m_Quad->Count(), c.src, c.dst);
        Read();
        EXPECT_TRUE(Near(IN, IN, c.expected));
        EXPECT_TRUE(Near(OUT, OUT, 0x0000FF));
        EXPECT_EQ(glIsEnabled(GL_BLEND), c.alpha < 255 || c.src != -1);
    }
}

TEST_F(Shaders, TextureCoordinatesReachTheRightTexels)
{
    // Four texels: red, green / blue, white; the quad shows each in a quarter.
    const GLuint tex = Texture(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
    Clear(0);
    g_pShaderTexture->Render(nullptr, m_fMatrix, 255, m_Quad->BufferID(), (int)tex, m_Quad->Mode(), m_Quad->Count(), -1,
                             -1);
    Read();
    EXPECT_TRUE(Near(20, 20, 0xFF0000));
    EXPECT_TRUE(Near(44, 20, 0x00FF00));
    EXPECT_TRUE(Near(20, 44, 0x0000FF));
    EXPECT_TRUE(Near(44, 44, 0xFFFFFF));
}

TEST_F(Shaders, TextureFadedTowardAColour)
{
    const GLuint tex = Texture(1, 1, {0xFF643200});
    Clear(0x0000FF);
    g_pShaderTexture->RenderBlend(nullptr, m_fMatrix, 64, m_Quad->BufferID(), (int)tex, 5, 4, 0x00FF00);
    Read();
    // mix(colour, texel, 64 / 255) with blending off: nothing of the blue below.
    EXPECT_TRUE(Near(IN, IN, Mix(0x643200, 64 / 255.0, 0x00FF00, 1 - 64 / 255.0)));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    Clear(0x0000FF);
    g_pShaderTexture->RenderBlend(nullptr, m_fMatrix, 255, m_Quad->BufferID(), (int)tex, 5, 4, 0x00FF00);
    Read();
    EXPECT_TRUE(Near(IN, IN, 0x643200));
}

TEST_F(Shaders, PanelMaskShowsThePanelThroughTheImagesAlpha)
{
    // A full-screen panel of four colours, and an image whose alpha is 64
    // (x 4 in the shader: fully covering) in its left half, 32 in its right.
    const GLuint panel = Texture(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00});
    const GLuint image = Texture(2, 1, {0x40000000, 0x20000000});
    CVBO screen;
    screen.Init(0, 0, 64, 64, 1.0f, 1.0f, 0);
    CShaderPanel::g_iPanelAlpha = 255;
    Clear(0x000000);
    g_pShaderTexture->RenderPanel(nullptr, m_fMatrix, 255, 255, screen.BufferID(), (int)image, (int)panel, 5, 4);
    Read();
    EXPECT_TRUE(Near(10, 10, 0xFF0000));                                    // top left of the panel
    EXPECT_TRUE(Near(10, 54, 0x0000FF));                                    // bottom left
    EXPECT_TRUE(Near(54, 10, Mix(0x00FF00, 128 / 255.0, 0, 1), 3));        // right half at half strength
    EXPECT_TRUE(Near(54, 54, Mix(0xFFFF00, 128 / 255.0, 0, 1), 3));

    // The second alpha scales the mask: half of it shows the panel at half strength.
    Clear(0x000000);
    g_pShaderTexture->RenderPanel(nullptr, m_fMatrix, 255, 128, screen.BufferID(), (int)image, (int)panel, 5, 4);
    Read();
    EXPECT_TRUE(Near(10, 10, Mix(0xFF0000, 256 / 255.0 * 128 / 255.0, 0, 1), 3));

    // No panel opacity: nothing.
    CShaderPanel::g_iPanelAlpha = 0;
    Clear(0x000000);
    g_pShaderTexture->RenderPanel(nullptr, m_fMatrix, 255, 255, screen.BufferID(), (int)image, (int)panel, 5, 4);
    Read();
    EXPECT_TRUE(Near(10, 10, 0x000000));
    GLint unit = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    EXPECT_EQ(unit, GL_TEXTURE0);
}

TEST_F(Shaders, AddModeDarkensByCoverageThenAdds)
{
    // Premultiplied (200, 100, 0) at alpha 200 over mid grey.
    const GLuint tex = Texture(1, 1, {0xC8C86400});
    struct CASE
    {
        int alpha;
    } cases[] = {{255}, {128}};
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.alpha);
        Clear(0x808080);
        g_pShaderAddMode->Render(nullptr, m_fMatrix, c.alpha, m_Quad->BufferID(), (int)tex, 5, 4);
        Read();
        // Every channel loses coverage x alpha / 512, then gains the texel x alpha / 255.
        const double sub = 200 / 255.0 * c.alpha / 512.0 * 255.0;
        const double add = c.alpha / 255.0;
        auto ch = [&](int texel) { return (int)lround((128 - sub < 0 ? 0 : 128 - sub) + texel * add); };
        EXPECT_TRUE(Near(IN, IN, RGB(ch(200), ch(100), ch(0)), 3));
        GLint eq = 0;
        glGetIntegerv(GL_BLEND_EQUATION_RGB, &eq);
        EXPECT_EQ(eq, GL_FUNC_ADD);
    }
}

TEST_F(Shaders, SaturationFromGreyToFullColour)
{
    const GLuint tex = Texture(1, 1, {0xFFFF0000});
    struct CASE
    {
        int sat;
        unsigned int expected;
    } cases[] = {
        {0, 0x555555},      // the mean of (255, 0, 0)
        {255, 0xFF0000},
        {128, Mix(0xFF0000, 128 / 255.0, 0x555555, 1 - 128 / 255.0)},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.sat);
        Clear(0);
        g_pShaderColorSat->Render(nullptr, m_fMatrix, 255, c.sat, m_Quad->BufferID(), (int)tex, 5, 4, GL_ONE,
                                  GL_ONE_MINUS_SRC_ALPHA);
        Read();
        EXPECT_TRUE(Near(IN, IN, c.expected));
    }
}

TEST_F(Shaders, TextCoverageTimesOneColour)
{
    // Coverage in the alpha channel: full on the left, none on the right.
    const GLuint tex = Texture(2, 1, {0xFF000000, 0x00000000});
    Clear(0x202020);
    const unsigned int before = g_pShaderText->ColorUploads();
    g_pShaderText->Render(nullptr, m_fMatrix, 255, 0xFF8000, m_Quad->BufferID(), (int)tex);
    Read();
    EXPECT_TRUE(Near(20, IN, 0xFF8000));
    EXPECT_TRUE(Near(44, IN, 0x202020));

    // Half alpha: the colour premultiplied, what lies below half kept.
    g_pShaderText->Render(nullptr, m_fMatrix, 128, 0xFF8000, m_Quad->BufferID(), (int)tex);
    g_pShaderText->Render(nullptr, m_fMatrix, 128, 0xFF8000, m_Quad->BufferID(), (int)tex);
    EXPECT_EQ(g_pShaderText->ColorUploads(), before + 2);   // the repeat uploaded nothing
    Clear(0x202020);
    g_pShaderText->Render(nullptr, m_fMatrix, 128, 0xFF8000, m_Quad->BufferID(), (int)tex);
    Read();
    EXPECT_TRUE(Near(20, IN, Mix(0xFF8000, 128 / 255.0, 0x202020, 1 - 128 / 255.0)));
    g_pShaderText->InvalidateColor();
    g_pShaderText->Render(nullptr, m_fMatrix, 128, 0xFF8000, m_Quad->BufferID(), (int)tex);
    EXPECT_EQ(g_pShaderText->ColorUploads(), before + 3);
}

TEST_F(Shaders, VertexColours)
{
    CGradientVBO grad;
    grad.Init(kQuad, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF);
    Clear(0);
    g_pShaderColor->Render(nullptr, m_fMatrix, 255, grad.BufferID(), 5, 4);
    Read();
    // Near each corner its own colour (interpolation moves it a little).
    EXPECT_TRUE(Near(16, 16, 0xFF0000, 12));
    EXPECT_TRUE(Near(47, 16, 0x00FF00, 12));
    EXPECT_TRUE(Near(16, 47, 0x0000FF, 12));
    EXPECT_TRUE(Near(47, 47, 0xFFFFFF, 12));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    // Translucent: one alpha for the whole draw.
    grad.Init(kQuad, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000);
    Clear(0x0000FF);
    g_pShaderColor->Render(nullptr, m_fMatrix, 64, grad.BufferID(), 5, 4);
    Read();
    EXPECT_TRUE(Near(IN, IN, Mix(0xFF0000, 64 / 255.0, 0x0000FF, 1 - 64 / 255.0)));

    // RGBA: the vertices' own alpha (128 here) times the draw's alpha.
    struct CV
    {
        float x, y, z;
        unsigned char rgba[4];
    } v[4] = {{16, 16, 0, {255, 0, 0, 128}}, {16, 48, 0, {255, 0, 0, 128}}, {48, 16, 0, {255, 0, 0, 128}},
              {48, 48, 0, {255, 0, 0, 128}}};
    GLuint buf = 0;
    glGenBuffers(1, &buf);
    glBindBuffer(GL_ARRAY_BUFFER, buf);
    glBufferData(GL_ARRAY_BUFFER, sizeof v, v, GL_STATIC_DRAW);
    for (int alpha : {255, 128}) {
        SCOPED_TRACE(alpha);
        Clear(0x0000FF);
        g_pShaderRGBA->Render(nullptr, m_fMatrix, alpha, (int)buf, 5, 4);
        Read();
        const double a = 128 / 255.0 * alpha / 255.0;
        EXPECT_TRUE(Near(IN, IN, Mix(0xFF0000, a, 0x0000FF, 1 - a)));
    }
    glDeleteBuffers(1, &buf);
}

// R = Y + 1.28033 V, G = Y - 0.21482 U - 0.38059 V, B = Y + 2.12798 U with
// U = Cb - 0.5, V = Cr - 0.5, everything in 0..1.
unsigned int YUVToRGB(int y, int cb, int cr)
{
    const double Y = y / 255.0, U = cb / 255.0 - 0.5, V = cr / 255.0 - 0.5;
    return RGB((int)lround(255 * (Y + 1.28033 * V)), (int)lround(255 * (Y - 0.21482 * U - 0.38059 * V)),
               (int)lround(255 * (Y + 2.12798 * U)));
}

TEST_F(Shaders, YUVPlanesToRGB)
{
    // A 2 x 2 picture in three planes: white, black, a red and a blue.
    const unsigned char Y[4] = {255, 0, 90, 60}, Cb[4] = {128, 128, 100, 220}, Cr[4] = {128, 128, 220, 110};
    const GLuint y = Plane(2, 2, {Y[0], Y[1], Y[2], Y[3]});
    const GLuint cb = Plane(2, 2, {Cb[0], Cb[1], Cb[2], Cb[3]});
    const GLuint cr = Plane(2, 2, {Cr[0], Cr[1], Cr[2], Cr[3]});
    Clear(0x00FF00);
    g_pShaderYUV422->Render(nullptr, m_fMatrix, 255, m_Quad->BufferID(), (int)y, (int)cb, (int)cr);
    Read();
    EXPECT_TRUE(Near(20, 20, 0xFFFFFF));
    EXPECT_TRUE(Near(44, 20, 0x000000));
    EXPECT_TRUE(Near(20, 44, YUVToRGB(Y[2], Cb[2], Cr[2]), 3));
    EXPECT_TRUE(Near(44, 44, YUVToRGB(Y[3], Cb[3], Cr[3]), 3));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint unit = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    EXPECT_EQ(unit, GL_TEXTURE0);

    // Translucent: straight alpha over what lies below.
    Clear(0x00FF00);
    g_pShaderYUV422->Render(nullptr, m_fMatrix, 128, m_Quad->BufferID(), (int)y, (int)cb, (int)cr);
    Read();
    EXPECT_TRUE(Near(44, 20, Mix(0, 128 / 255.0, 0x00FF00, 1 - 128 / 255.0)));
}

TEST_F(Shaders, PanelShowsTheScreenPartUnderTheQuad)
{
    const GLuint panel = Texture(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00});
    struct CASE
    {
        int alpha, panelAlpha;
        double a;
    } cases[] = {{255, 255, 1.0}, {128, 255, 128 / 255.0}, {255, 0, 0.0}};
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.alpha * 1000 + c.panelAlpha);
        CShaderPanel::g_iPanelAlpha = c.panelAlpha;
        Clear(0x000000);
        g_pShaderPanel->Render(nullptr, m_fMatrix, c.alpha, m_Fill->BufferID(), (int)panel);
        Read();
        // The quad's top-left lies in the panel's red quarter, its bottom-right in the yellow one.
        EXPECT_TRUE(Near(20, 20, Mix(0xFF0000, c.a, 0, 1)));
        EXPECT_TRUE(Near(44, 44, Mix(0xFFFF00, c.a, 0, 1)));
        EXPECT_TRUE(Near(OUT, OUT, 0));
    }
}

TEST_F(Shaders, AlphaZeroDrawsNothingAndLeavesTheState)
{
    const GLuint tex = Texture(1, 1, {0xFFFFFFFF});
    CShaderPanel::g_iPanelAlpha = 255;
    struct CASE
    {
        const char* what;
        std::function<void()> draw;
    } cases[] = {
        {"texture",
         [&] { g_pShaderTexture->Render(nullptr, m_fMatrix, 0, m_Quad->BufferID(), (int)tex, 5, 4, GL_ONE, GL_ONE); }},
        {"texture, no blend source",
         [&] { g_pShaderTexture->Render(nullptr, m_fMatrix, 0, m_Quad->BufferID(), (int)tex, 5, 4, -1, -1); }},
        {"faded texture",
         [&] { g_pShaderTexture->RenderBlend(nullptr, m_fMatrix, 0, m_Quad->BufferID(), (int)tex, 5, 4, 0xFFFFFF); }},
        {"add mode", [&] { g_pShaderAddMode->Render(nullptr, m_fMatrix, 0, m_Quad->BufferID(), (int)tex, 5, 4); }},
        {"saturation",
         [&] {
             g_pShaderColorSat->Render(nullptr, m_fMatrix, 0, 255, m_Quad->BufferID(), (int)tex, 5, 4, GL_ONE, GL_ZERO);
         }},
        {"panel", [&] { g_pShaderPanel->Render(nullptr, m_fMatrix, 0, m_Fill->BufferID(), (int)tex); }},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.what);
        Clear(0x123456);
        glUseProgram(0);
        glDisable(GL_BLEND);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        c.draw();
        GLint program = -1, buffer = -1;
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &buffer);
        EXPECT_EQ(program, 0);
        EXPECT_EQ(buffer, 0);
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        Read();
        EXPECT_TRUE(Near(IN, IN, 0x123456));
    }
}

// A program class whose fragment source does not compile.
class CBrokenProgram : public CGLProgram
{
public:
    CBrokenProgram()
    {
        Build(&m_Program, "#version 120\nattribute vec4 p;void main(){ gl_Position = p;}",
              "#version 120\nvoid main(){ gl_FragColor = undeclared;}", "p", nullptr, "AlphaValue");
    }
    RVT_PROGRAM m_Program;
};

TEST_F(Shaders, ASourceThatDoesNotCompileLeavesAnUnlinkedProgram)
{
    EXPECT_EQ(CGLProgram::LoadProgram(GL_FRAGMENT_SHADER, "#version 120\nvoid main(){ nonsense }"), 0u);
    CBrokenProgram broken;
    EXPECT_FALSE(broken.IsLinked());
    EXPECT_EQ(broken.m_Program.iMVP, -1);
    EXPECT_EQ(broken.m_Program.iAlpha, -1);
    while (glGetError() != GL_NO_ERROR) {
    }
}

TEST_F(Shaders, ProgramsAreDeletedOnlyOnTheDrawingThread)
{
    const GLuint program = g_pShaderFill->Program();
    CShaderFill* fill = g_pShaderFill;
    g_pShaderFill = nullptr;
    // Deleted from a thread without a drawing scope: the name is left alone.
    std::thread([fill] { delete fill; }).join();
    EXPECT_TRUE(glIsProgram(program));
    // Inside the scope (this thread) the programs go with their objects.
    const GLuint text = g_pShaderText->Program();
    DeleteShaderPrograms();
    EXPECT_EQ(g_pShaderText, nullptr);
    EXPECT_FALSE(glIsProgram(text));
    glDeleteProgram(program);
}

}  // namespace
