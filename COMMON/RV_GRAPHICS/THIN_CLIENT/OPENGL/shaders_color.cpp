// The colour programs: CShaderText (coverage times a colour), CShaderColor and
// CShaderRGBA (vertex colours), CShaderFill (one colour).
#include "shaders_gl.h"

namespace {

const char* const kTextAlphaFragment =
    "#version 120\n"
    "uniform vec4 input_color;uniform sampler2D texture;varying vec2 TexCoordOut;"
    "void main(){ float alpha = texture2D(texture, TexCoordOut).a; gl_FragColor = input_color * alpha;}";

const char* const kTextGreenFragment =
    "#version 120\n"
    "uniform vec4 input_color;uniform sampler2D texture;varying vec2 TexCoordOut;"
    "void main(){ float alpha = texture2D(texture, TexCoordOut).g; gl_FragColor = input_color * alpha;}";

const char* const kColorTranslucentFragment =
    "#version 120\n"
    "uniform vec4 input_color;varying vec4 v_Color;"
    "void main(){ gl_FragColor = vec4(v_Color.xyz, input_color.a);}";

const char* const kColorOpaqueFragment =
    "#version 120\n"
    "varying vec4 v_Color;void main(){ gl_FragColor = v_Color;}";

const char* const kRGBAFragment =
    "#version 120\n"
    "varying vec4 v_Color;uniform float AlphaValue;"
    "void main(){ gl_FragColor = vec4(v_Color.xyz, v_Color.a * AlphaValue );}";

const char* const kFillVertex =
    "#version 120\n"
    "uniform mat4 u_MVPMatrix;attribute vec4 a_Position;void main(){ gl_Position = u_MVPMatrix * a_Position;}";

const char* const kFillFragment =
    "#version 120\n"
    "uniform vec4 input_color;void main(){ gl_FragColor = input_color;}";

}   // namespace

// ---- CShaderText ----

CShaderText::CShaderText() : m_uCachedColor(0), m_iCachedAlpha(0), m_uColorUploads(0)
{
    Build(&m_Alpha, g_pszTexturedVertex, kTextAlphaFragment, "Position", "TexCoordIn", nullptr, "input_color");
    Build(&m_Green, g_pszTexturedVertex, kTextGreenFragment, "Position", "TexCoordIn", nullptr, "input_color");
}

void CShaderText::Render(RVT_MATRIX_CONFIG*, const float* pMatrix, int iAlpha, unsigned int uColor, int iVBO,
                         int iTexture)
{
    UseProgram(m_Alpha, pMatrix);
    // A uniform keeps its value in the program: upload only what changed.
    if (uColor != m_uCachedColor || iAlpha != m_iCachedAlpha) {
        const float a = iAlpha / 255.0f;
        glUniform4f(m_Alpha.iColor, Red(uColor) * a, Green(uColor) * a, Blue(uColor) * a, a);
        m_uCachedColor = uColor;
        m_iCachedAlpha = iAlpha;
        m_uColorUploads++;
    }
    BlendOn(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, (GLuint)iTexture);
    BindTextured(iVBO);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

// ---- CShaderColor ----

CShaderColor::CShaderColor()
{
    Build(&m_Translucent, g_pszColoredVertex, kColorTranslucentFragment, "a_Position", "a_Color", nullptr,
          "input_color");
    Build(&m_Opaque, g_pszColoredVertex, kColorOpaqueFragment, "a_Position", "a_Color");
}

void CShaderColor::Render(RVT_MATRIX_CONFIG*, const float* pMatrix, int iAlpha, int iVBO, int iMode, int iCount)
{
    BindColored(iVBO);
    if (iAlpha > 254) {
        BlendOff();
        UseProgram(m_Opaque, pMatrix);
    } else {
        BlendOn(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        UseProgram(m_Translucent, pMatrix);
        glUniform4f(m_Translucent.iColor, 1.0f, 1.0f, 1.0f, iAlpha / 255.0f);
    }
    glDrawArrays((GLenum)iMode, 0, iCount);
}

// ---- CShaderRGBA ----

CShaderRGBA::CShaderRGBA()
{
    Build(&m_RGBA, g_pszColoredVertex, kRGBAFragment, "a_Position", "a_Color", "AlphaValue");
}

void CShaderRGBA::Render(RVT_MATRIX_CONFIG*, const float* pMatrix, int iAlpha, int iVBO, int iMode, int iCount)
{
    BindColored(iVBO);
    BlendOn(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    UseProgram(m_RGBA, pMatrix);
    glUniform1f(m_RGBA.iAlpha, iAlpha / 255.0f);
    glDrawArrays((GLenum)iMode, 0, iCount);
}

// ---- CShaderFill ----

CShaderFill::CShaderFill()
{
    Build(&m_Fill, kFillVertex, kFillFragment, "a_Position", nullptr, nullptr, "input_color");
}

void CShaderFill::Draw(const float* pMatrix, float r, float g, float b, float a, int iVBO, int iStride, int iMode,
                       int iCount)
{
    BindPosition(iVBO, iStride);
    UseProgram(m_Fill, pMatrix);
    glUniform4f(m_Fill.iColor, r, g, b, a);
    glDrawArrays((GLenum)iMode, 0, iCount);
}

void CShaderFill::Render1(RVT_MATRIX_CONFIG*, const float* pMatrix, int iAlpha, unsigned int uColor, int iVBO,
                          int iStride, int iBlendSrc, int iBlendDst)
{
    const float a = iAlpha / 255.0f;
    float r = Red(uColor), g = Green(uColor), b = Blue(uColor);
    // Additive drawing has no destination term to fade with: fade the colour.
    if (iAlpha <= 254 && iBlendSrc == GL_ONE && iBlendDst == GL_ONE) {
        r *= a;
        g *= a;
        b *= a;
    }
    BlendOn(iBlendSrc, iBlendDst);
    Draw(pMatrix, r, g, b, a, iVBO, iStride, GL_TRIANGLE_STRIP, 4);
}

void CShaderFill::Render2(RVT_MATRIX_CONFIG*, const float* pMatrix, int iAlpha, unsigned int uColor, int iVBO,
                          int iMode, int iCount, int iStride)
{
    BlendOn(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    Draw(pMatrix, Red(uColor), Green(uColor), Blue(uColor), iAlpha / 255.0f, iVBO, iStride, iMode, iCount);
}
