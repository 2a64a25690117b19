// CShaderYUV422: video pictures as three single-channel planes.
#include "shaders_gl.h"

namespace {

// Y as it stands, U = Cb - 0.5, V = Cr - 0.5; the matrix is column-major.
#define YUV_FRAGMENT(ALPHA)                                                                                      \
    "#version 120\n"                                                                                           \
    "uniform sampler2D SamplerY;uniform sampler2D SamplerCb;uniform sampler2D SamplerCr;uniform float AlphaValue;" \
    "varying vec2 TexCoordOut;"                                                                                \
    "void main(){ vec3 yuv; vec3 rgb;"                                                                         \
    " yuv.x = texture2D(SamplerY, TexCoordOut).r;"                                                             \
    " yuv.y = texture2D(SamplerCb, TexCoordOut).r - 0.5;"                                                      \
    " yuv.z = texture2D(SamplerCr, TexCoordOut).r - 0.5;"                                                      \
    " rgb = mat3(     1,          1,          1,"                                                              \
    "                 0,          -.21482,    2.12798,"                                                        \
    "                 1.28033,    -.38059,    0 ) * yuv;"                                                      \
    " gl_FragColor = vec4(rgb, " ALPHA ");}"

const char* const kTranslucentFragment = YUV_FRAGMENT("AlphaValue");
const char* const kOpaqueFragment = YUV_FRAGMENT("1.0");

void SetSamplers(const RVT_PROGRAM& program)
{
    if (program.iMVP < 0)
        return;
    glUseProgram(program.uProgram);
    glUniform1i(glGetUniformLocation(program.uProgram, "SamplerY"), 0);
    glUniform1i(glGetUniformLocation(program.uProgram, "SamplerCb"), 1);
    glUniform1i(glGetUniformLocation(program.uProgram, "SamplerCr"), 2);
}

}   // namespace

CShaderYUV422::CShaderYUV422()
{
    Build(&m_Translucent, g_pszTexturedVertex, kTranslucentFragment, "Position", "TexCoordIn", "AlphaValue");
    Build(&m_Opaque, g_pszTexturedVertex, kOpaqueFragment, "Position", "TexCoordIn");
    SetSamplers(m_Translucent);
    SetSamplers(m_Opaque);
}

void CShaderYUV422::Render(RVT_MATRIX_CONFIG*, const float* pMatrix, int iAlpha, int iVBO, int iTextureY,
                           int iTextureCb, int iTextureCr)
{
    if (iAlpha > 254) {
        BlendOff();
        UseProgram(m_Opaque, pMatrix);
    } else {
        BlendOn(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        UseProgram(m_Translucent, pMatrix);
        glUniform1f(m_Translucent.iAlpha, iAlpha / 255.0f);
    }
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, (GLuint)iTextureCr);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, (GLuint)iTextureCb);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, (GLuint)iTextureY);
    BindTextured(iVBO);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}
