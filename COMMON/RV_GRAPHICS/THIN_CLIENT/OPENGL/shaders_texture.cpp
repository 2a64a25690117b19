// The texture programs: CShaderTexture (alpha-scaled, plain, faded toward a
// colour, panel-masked), CShaderAddMode, CShaderColorSat and CShaderPanel.
#include "shaders_gl.h"

int CShaderPanel::g_iPanelAlpha = 0;

namespace {

const char* const kAlphaFragment =
    "#version 120\n"
    "uniform sampler2D texture;uniform float AlphaValue;varying vec2 TexCoordOut;"
    "void main(){ vec4 texcolor = texture2D(texture, TexCoordOut); gl_FragColor = texcolor * AlphaValue;}";

const char* const kPlainFragment =
    "#version 120\n"
    "uniform sampler2D texture;varying vec2 TexCoordOut;"
    "void main(){ gl_FragColor = texture2D(texture, TexCoordOut);}";

const char* const kBlendFragment =
    "#version 120\n"
    "uniform sampler2D texture;uniform float BlendLevel;uniform vec4 BlendColor;varying vec2 TexCoordOut;"
    "void main(){ vec4 texcolor = texture2D(texture, TexCoordOut);"
    " gl_FragColor = mix(BlendColor, texcolor, BlendLevel);}";

// Where the fragment lies in a full-screen texture whose origin is the top left.
const char* const kPanelMaskVertex =
    "#version 120\n"
    "uniform mat4 u_MVPMatrix;attribute vec2 TexCoordIn;attribute vec4 Position;"
    "varying vec2 TexCoordOut;varying vec2 PanelCoordOut;"
    "void main(){ gl_Position = u_MVPMatrix * Position; TexCoordOut = TexCoordIn;"
    " vec4 norm = gl_Position / gl_Position.w; PanelCoordOut = vec2((norm.x + 1.0) / 2.0, (1.0 - norm.y) / 2.0);}";

const char* const kPanelMaskFragment =
    "#version 120\n"
    "uniform sampler2D texture;uniform sampler2D panel;uniform float AlphaValue;"
    "varying vec2 TexCoordOut;varying vec2 PanelCoordOut;"
    "void main(){ vec3 rgb = texture2D(panel, PanelCoordOut).rgb;"
    " float a = texture2D(texture, TexCoordOut).a * AlphaValue * 4.0; gl_FragColor = vec4(rgb, a);}";

const char* const kSubtractFragment =
    "#version 120\n"
    "uniform sampler2D texture;uniform float AlphaValue;varying vec2 TexCoordOut;"
    "void main(){ float fAPixel = texture2D(texture, TexCoordOut).a * AlphaValue;"
    " gl_FragColor = vec4(fAPixel, fAPixel, fAPixel, fAPixel);}";

const char* const kSaturationFragment =
    "#version 120\n"
    "uniform sampler2D texture;uniform float AlphaValue;uniform float SatValue;varying vec2 TexCoordOut;"
    "void main(){ vec4 c = texture2D(texture, TexCoordOut) * AlphaValue; float avg = (c.r + c.g + c.b) / 3.0;"
    " gl_FragColor = vec4(mix(vec3(avg), c.rgb, SatValue), c.a);}";

const char* const kPanelVertex =
    "#version 120\n"
    "uniform mat4 u_MVPMatrix;attribute vec4 Position;varying vec2 TexCoordOut;"
    "void main(){ gl_Position = u_MVPMatrix * Position; vec4 norm = gl_Position; norm = norm / norm.w;"
    " TexCoordOut = vec2((norm.x+1.0)/2.0, (1.0-norm.y)/2.0);}";

const char* const kPanelFragment =
    "#version 120\n"
    "uniform sampler2D texture;varying vec2 TexCoordOut;"
    "void main(){ vec4 texcolor = texture2D(texture, TexCoordOut); gl_FragColor = texcolor;}";

void BindTexture(int iUnit, int iTexture)
{
    glActiveTexture(GL_TEXTURE0 + iUnit);
    glBindTexture(GL_TEXTURE_2D, (GLuint)iTexture);
}

}   // namespace

// ---- CShaderTexture ----

CShaderTexture::CShaderTexture()
{
    Build(&m_Alpha, g_pszTexturedVertex, kAlphaFragment, "Position", "TexCoordIn", "AlphaValue");
    Build(&m_Plain, g_pszTexturedVertex, kPlainFragment, "Position", "TexCoordIn");
    Build(&m_Blend, g_pszTexturedVertex, kBlendFragment, "Position", "TexCoordIn", nullptr, "BlendColor",
          "BlendLevel");
    Build(&m_PanelMask, kPanelMaskVertex, kPanelMaskFragment, "Position", "TexCoordIn", "AlphaValue");
    GLint iPanel = m_PanelMask.iMVP >= 0 ? glGetUniformLocation(m_PanelMask.uProgram, "panel") : -1;
    if (iPanel >= 0) {
        glUseProgram(m_PanelMask.uProgram);
        glUniform1i(iPanel, 1);
    }
}

void CShaderTexture::Render(RVT_MATRIX_CONFIG*, const float* pMatrix, int iAlpha, int iVBO, int iTexture, int iMode,
                            int iCount, int iBlendSrc, int iBlendDst)
{
    if (iAlpha < 1)
        return;
    BindTexture(0, iTexture);
    BindTextured(iVBO);
    if (iBlendSrc != -1) {
        BlendOn(iBlendSrc, iBlendDst);
        if (iAlpha >= 255) {
            UseProgram(m_Plain, pMatrix);
        } else {
            UseProgram(m_Alpha, pMatrix);
            glUniform1f(m_Alpha.iAlpha, iAlpha / 255.0f);
        }
    } else {
        // Opaque content fades as a whole: its own alpha does not count.
        if (iAlpha < 255) {
            const float a = iAlpha / 255.0f;
            BlendOn(GL_CONSTANT_ALPHA, GL_ONE_MINUS_CONSTANT_ALPHA);
            glBlendColor(a, a, a, a);
        } else {
            BlendOff();
        }
        UseProgram(m_Plain, pMatrix);
    }
    glDrawArrays((GLenum)iMode, 0, iCount);
}

void CShaderTexture::RenderBlend(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int iVBO,
                                 int iTexture, int iMode, int iCount, unsigned int uColor)
{
    if (iAlpha < 1)
        return;
    if (iAlpha >= 255) {
        Render(pConfig, pMatrix, 255, iVBO, iTexture, iMode, iCount, -1, -1);
        return;
    }
    BindTexture(0, iTexture);
    BindTextured(iVBO);
    BlendOff();
    UseProgram(m_Blend, pMatrix);
    glUniform4f(m_Blend.iColor, Red(uColor), Green(uColor), Blue(uColor), 1.0f);
    glUniform1f(m_Blend.iLevel, iAlpha / 255.0f);
    glDrawArrays((GLenum)iMode, 0, iCount);
}

void CShaderTexture::RenderPanel(RVT_MATRIX_CONFIG*, const float* pMatrix, int iAlpha, int iAlpha2, int iVBO,
                                 int iTexture, int iPanelTexture, int iMode, int iCount)
{
    const int s = iAlpha * CShaderPanel::g_iPanelAlpha;
    if (s <= 254)
        return;
    BindTexture(1, iPanelTexture);
    BindTexture(0, iTexture);
    BindTextured(iVBO);
    BlendOn(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    UseProgram(m_PanelMask, pMatrix);
    glUniform1f(m_PanelMask.iAlpha, (float)(s / 255) * (iAlpha2 / 255.0f) / 255.0f);
    glDrawArrays((GLenum)iMode, 0, iCount);
}

void CShaderTexture::RenderInternal(RVT_MATRIX_CONFIG*, const float* pMatrix, int iAlpha, int iMode, int iCount)
{
    if (iAlpha < 1)
        return;
    if (iAlpha >= 255) {
        UseProgram(m_Plain, pMatrix);
    } else {
        UseProgram(m_Alpha, pMatrix);
        glUniform1f(m_Alpha.iAlpha, iAlpha / 255.0f);
    }
    glDrawArrays((GLenum)iMode, 0, iCount);
}

// ---- CShaderAddMode ----

CShaderAddMode::CShaderAddMode()
{
    Build(&m_Sub, g_pszTexturedColorVertex, kSubtractFragment, "Position", "TexCoordIn", "AlphaValue");
}

void CShaderAddMode::Render(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int iVBO, int iTexture,
                            int iMode, int iCount)
{
    if (iAlpha <= 0)
        return;
    BindTexture(0, iTexture);
    BindTextured(iVBO);
    // First darken what lies below by the texture's coverage at half strength...
    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_REVERSE_SUBTRACT);
    glBlendFunc(GL_ONE, GL_ONE);
    UseProgram(m_Sub, pMatrix);
    glUniform1f(m_Sub.iAlpha, iAlpha * 0.001953125f);
    glDrawArrays((GLenum)iMode, 0, iCount);
    glBlendEquation(GL_FUNC_ADD);
    // ... then add the texture itself, factors still (GL_ONE, GL_ONE).
    if (g_pShaderTexture)
        g_pShaderTexture->RenderInternal(pConfig, pMatrix, iAlpha, iMode, iCount);
}

// ---- CShaderColorSat ----

CShaderColorSat::CShaderColorSat()
{
    Build(&m_Sat, g_pszTexturedColorVertex, kSaturationFragment, "Position", "TexCoordIn", "AlphaValue", nullptr,
          "SatValue");
}

void CShaderColorSat::Render(RVT_MATRIX_CONFIG*, const float* pMatrix, int iAlpha, int iSaturation, int iVBO,
                             int iTexture, int iMode, int iCount, int iBlendSrc, int iBlendDst)
{
    if (iAlpha <= 0)
        return;
    BindTexture(0, iTexture);
    BindTextured(iVBO);
    BlendOn(iBlendSrc, iBlendDst);
    UseProgram(m_Sat, pMatrix);
    glUniform1f(m_Sat.iAlpha, iAlpha / 255.0f);
    glUniform1f(m_Sat.iLevel, iSaturation / 255.0f);
    glDrawArrays((GLenum)iMode, 0, iCount);
}

// ---- CShaderPanel ----

CShaderPanel::CShaderPanel()
{
    Build(&m_Panel, kPanelVertex, kPanelFragment, "Position", nullptr);
}

void CShaderPanel::Render(RVT_MATRIX_CONFIG*, const float* pMatrix, int iAlpha, int iVBO, int iPanelTexture)
{
    if (iAlpha <= 0)
        return;
    const int s = iAlpha * g_iPanelAlpha;
    if (s < 255 * 255) {
        const float a = (float)(s / 255) / 255.0f;
        BlendOn(GL_CONSTANT_ALPHA, GL_ONE_MINUS_CONSTANT_ALPHA);
        glBlendColor(a, a, a, a);
    } else {
        BlendOff();
    }
    BindTexture(0, iPanelTexture);
    BindPosition(iVBO, STRIDE_POSITION);
    UseProgram(m_Panel, pMatrix);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}
