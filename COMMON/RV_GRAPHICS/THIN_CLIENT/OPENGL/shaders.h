// The fixed set of GL programs that put every pixel on the screen.
//
// Each class compiles and links its GLSL (desktop GL 2.1, "#version 120")
// once, looks up its attribute and uniform locations, and offers Render
// operations that set the blend state, bind a texture and a vertex buffer,
// upload the uniforms and issue one glDrawArrays. Callers pass the surface's
// RVT_MATRIX_CONFIG (not consulted here), a column-major 4x4 matrix, an alpha
// 0..255 (255 opaque) and a vertex buffer of the layout the program reads:
//
//   textured   20 bytes: x, y, z floats at 0; u, v floats at 12
//   coloured   16 bytes: x, y, z floats at 0; R, G, B, A bytes at 12
//   position   12 bytes (or the caller's stride): x, y, z floats
//
// Colours are 0x00RRGGBB. Textures made by the raster code hold premultiplied
// colour; the texture programs scale all four channels by the alpha.
//
// Everything here runs on the drawing thread with the engine's context
// current. The GL state a Render leaves (program, texture, buffer, attribute
// arrays, blend state) is not restored, except the blend equation after the
// add-mode pass. Programs are made once by the main window and deleted by it
// inside its drawing scope (gl_thread.h).
#pragma once

struct RVT_MATRIX_CONFIG;

// One linked program with the locations the draw code uses (-1: absent).
struct RVT_PROGRAM
{
    unsigned int uProgram = 0;
    int iMVP = -1;              // "u_MVPMatrix"
    int iAlpha = -1;            // "AlphaValue"
    int iColor = -1;            // "input_color" or "BlendColor"
    int iLevel = -1;            // "BlendLevel" or "SatValue"
};

// Base of every program class: builds programs and keeps their GL names.
class CGLProgram
{
public:
    // A compiled shader of GL_VERTEX_SHADER or GL_FRAGMENT_SHADER; 0 when it
    // could not be created or did not compile (the log then goes to the
    // debug log).
    static unsigned int LoadProgram(unsigned int uType, const char* pszSource);
    // Info logs (at most 1024 bytes) to the debug log as "%d:shader:\n%s\n"
    // and "%d:program:\n%s\n".
    static void ShowShaderLog(unsigned int uShader);
    static void ShowProgramLog(unsigned int uProgram);

    // The program the class uses by default (0 until built).
    unsigned int Program() const { return m_uProgram; }
    // 1 when every program of the class compiled and linked.
    int IsLinked() const { return m_bLinked; }

protected:
    CGLProgram();
    // Deletes every program and shader it built; only inside a drawing scope
    // (elsewhere the names are left alone and the slip is reported).
    ~CGLProgram();
    CGLProgram(const CGLProgram&) = delete;
    CGLProgram& operator=(const CGLProgram&) = delete;

    // Compiles both sources, binds attribute 0 to pszAttrib0 and 1 to
    // pszAttrib1 (may be null), links, leaves the program bound with its
    // "texture" sampler on unit 0, and looks up "u_MVPMatrix" and the named
    // uniforms (null: none). A program that did not link keeps -1 for every
    // location. The first program built becomes Program().
    void Build(RVT_PROGRAM* pProgram, const char* pszVertex, const char* pszFragment, const char* pszAttrib0,
               const char* pszAttrib1, const char* pszAlpha = nullptr, const char* pszColor = nullptr,
               const char* pszLevel = nullptr);

    unsigned int m_uProgram;

private:
    enum { MAX_PROGRAMS = 4 };
    unsigned int m_uPrograms[MAX_PROGRAMS];
    unsigned int m_uShaders[2 * MAX_PROGRAMS];
    int m_iPrograms;
    int m_bLinked;
};

// Textures: alpha-scaled, plain, faded toward a colour, and masked by a panel.
class CShaderTexture : public CGLProgram
{
public:
    CShaderTexture();

    // Nothing for alpha < 1. With a blend source other than -1: blending with
    // (iBlendSrc, iBlendDst); alpha 255 the plain program, else AlphaValue =
    // alpha / 255. With -1: the plain program, and below 255 the constant
    // blend alpha fades the draw (the texture's own alpha is ignored); at 255
    // blending is off.
    void Render(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int iVBO, int iTexture, int iMode,
                int iCount, int iBlendSrc, int iBlendDst);
    // Nothing for alpha < 1; at 255 a plain Render with source -1; otherwise
    // blending off and mix(colour, texel, alpha / 255).
    void RenderBlend(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int iVBO, int iTexture, int iMode,
                     int iCount, unsigned int uColor);
    // The panel texture's colour with the image's alpha: s = alpha x panel
    // alpha; nothing for s <= 254. Image on unit 0, panel on unit 1.
    void RenderPanel(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int iAlpha2, int iVBO,
                     int iTexture, int iPanelTexture, int iMode, int iCount);
    // As Render with a blend source, with whatever buffer, texture and blend
    // state the caller left bound.
    void RenderInternal(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int iMode, int iCount);

private:
    RVT_PROGRAM m_Alpha;
    RVT_PROGRAM m_Plain;
    RVT_PROGRAM m_Blend;
    RVT_PROGRAM m_PanelMask;
};

// Additive drawing: takes texture alpha x alpha / 512 off every destination
// channel, then adds the texture at alpha / 255.
class CShaderAddMode : public CGLProgram
{
public:
    CShaderAddMode();
    // Nothing for alpha <= 0. Needs g_pShaderTexture for the second pass.
    void Render(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int iVBO, int iTexture, int iMode,
                int iCount);

private:
    RVT_PROGRAM m_Sub;
};

// A texture with its colour saturation scaled: 255 keeps it, 0 is grey.
class CShaderColorSat : public CGLProgram
{
public:
    CShaderColorSat();
    // Nothing for alpha <= 0.
    void Render(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int iSaturation, int iVBO, int iTexture,
                int iMode, int iCount, int iBlendSrc, int iBlendDst);

private:
    RVT_PROGRAM m_Sat;
};

// Text: coverage from a texture channel times one premultiplied colour.
class CShaderText : public CGLProgram
{
public:
    CShaderText();
    // Alpha-coverage program, one quad, blending (GL_ONE,
    // GL_ONE_MINUS_SRC_ALPHA). Draws even at alpha 0 (transparent).
    void Render(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, unsigned int uColor, int iVBO,
                int iTexture);
    // Forget the uploaded colour so the next Render uploads it again (after
    // the text atlas drew with the green-coverage program).
    void InvalidateColor() { m_iCachedAlpha = -1; }
    // For the text atlas, which drives the programs itself.
    const RVT_PROGRAM& AlphaCoverage() const { return m_Alpha; }
    const RVT_PROGRAM& GreenCoverage() const { return m_Green; }
    // How many times input_color was uploaded (the cache at work).
    unsigned int ColorUploads() const { return m_uColorUploads; }

private:
    RVT_PROGRAM m_Alpha;
    RVT_PROGRAM m_Green;
    unsigned int m_uCachedColor;
    int m_iCachedAlpha;
    unsigned int m_uColorUploads;
};

// Vertex colours: opaque, or with one alpha for the whole draw.
class CShaderColor : public CGLProgram
{
public:
    CShaderColor();
    // Alpha > 254: blending off, vertex colours as they are. Otherwise the
    // vertex alphas are replaced by alpha / 255, blended (GL_SRC_ALPHA,
    // GL_ONE_MINUS_SRC_ALPHA).
    void Render(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int iVBO, int iMode, int iCount);

private:
    RVT_PROGRAM m_Translucent;
    RVT_PROGRAM m_Opaque;
};

// Vertex colours whose own alphas are scaled by the draw's alpha.
class CShaderRGBA : public CGLProgram
{
public:
    CShaderRGBA();
    void Render(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int iVBO, int iMode, int iCount);

private:
    RVT_PROGRAM m_RGBA;
};

// One solid colour over position-only geometry.
class CShaderFill : public CGLProgram
{
public:
    CShaderFill();
    // One quad; input_color = (R, G, B, alpha / 255), the colour first
    // premultiplied when alpha <= 254 and both factors are GL_ONE; blending
    // with the given factors.
    void Render1(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, unsigned int uColor, int iVBO,
                 int iStride, int iBlendSrc, int iBlendDst);
    // iCount vertices of iMode, blended (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA).
    void Render2(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, unsigned int uColor, int iVBO,
                 int iMode, int iCount, int iStride);

private:
    void Draw(const float* pMatrix, float r, float g, float b, float a, int iVBO, int iStride, int iMode, int iCount);
    RVT_PROGRAM m_Fill;
};

// Video: three single-channel planes (Y, Cb, Cr) to RGB.
class CShaderYUV422 : public CGLProgram
{
public:
    CShaderYUV422();
    // Alpha > 254: opaque, blending off; otherwise alpha / 255 blended
    // (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA). One quad, planes on units 0, 1
    // and 2; unit 0 is left active.
    void Render(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int iVBO, int iTextureY, int iTextureCb,
                int iTextureCr);

private:
    RVT_PROGRAM m_Translucent;
    RVT_PROGRAM m_Opaque;
};

// The part of a full-screen panel texture that lies under a quad.
class CShaderPanel : public CGLProgram
{
public:
    CShaderPanel();
    // Nothing for alpha <= 0. s = alpha x g_iPanelAlpha; below 255 x 255 the
    // draw fades by the constant blend alpha (s / 255) / 255, else blending
    // is off. Position-only quad, stride 12.
    void Render(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int iVBO, int iPanelTexture);

    // The current panel opacity 0..255, set by image surfaces before they draw
    // their subtree and forced to 255 by an opaque panel surface.
    static int g_iPanelAlpha;

private:
    RVT_PROGRAM m_Panel;
};

extern CShaderAddMode* g_pShaderAddMode;
extern CShaderTexture* g_pShaderTexture;
extern CShaderText* g_pShaderText;
extern CShaderColor* g_pShaderColor;
extern CShaderFill* g_pShaderFill;
extern CShaderYUV422* g_pShaderYUV422;
extern CShaderRGBA* g_pShaderRGBA;
extern CShaderColorSat* g_pShaderColorSat;
extern CShaderPanel* g_pShaderPanel;

// Makes the nine programs (in the order above) unless they exist; drawing
// thread, context current. 1 when every program linked.
int CreateShaderPrograms();
// Deletes them and clears the globals; drawing thread, context current.
void DeleteShaderPrograms();
