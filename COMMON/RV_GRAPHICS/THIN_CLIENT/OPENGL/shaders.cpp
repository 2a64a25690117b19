// CGLProgram: compiling, linking and deleting programs; the attribute and
// blend helpers of the program classes; the nine process-wide programs.
#include "shaders_gl.h"

#include "gl_thread.h"
#include "rvdebug.h"

#include <string.h>

CShaderAddMode* g_pShaderAddMode = nullptr;
CShaderTexture* g_pShaderTexture = nullptr;
CShaderText* g_pShaderText = nullptr;
CShaderColor* g_pShaderColor = nullptr;
CShaderFill* g_pShaderFill = nullptr;
CShaderYUV422* g_pShaderYUV422 = nullptr;
CShaderRGBA* g_pShaderRGBA = nullptr;
CShaderColorSat* g_pShaderColorSat = nullptr;
CShaderPanel* g_pShaderPanel = nullptr;

const char* const g_pszTexturedVertex =
    "#version 120\n"
    "uniform mat4 u_MVPMatrix;attribute vec2 TexCoordIn;attribute vec4 Position;varying vec2 TexCoordOut;"
    "void main(){ gl_Position = u_MVPMatrix * Position; TexCoordOut = TexCoordIn;}";

const char* const g_pszTexturedColorVertex =
    "#version 120\n"
    "uniform mat4 u_MVPMatrix;uniform vec4 input_color;attribute vec2 TexCoordIn;attribute vec4 Position;"
    "varying vec2 TexCoordOut;void main(){ gl_Position = u_MVPMatrix * Position; TexCoordOut = TexCoordIn;}";

const char* const g_pszColoredVertex =
    "#version 120\n"
    "uniform mat4 u_MVPMatrix;attribute vec4 a_Position;attribute vec4 a_Color;varying vec4 v_Color;"
    "void main(){ v_Color = a_Color; gl_Position = u_MVPMatrix * a_Position;}";

// ---- CGLProgram ----

CGLProgram::CGLProgram() : m_uProgram(0), m_uPrograms{}, m_uShaders{}, m_iPrograms(0), m_bLinked(1)
{
}

CGLProgram::~CGLProgram()
{
    if (!GLIsDrawingThread()) {
        // Deleting here could hit another context's names: leave them.
        RV_ASSERT(!"shader programs deleted off the drawing thread");
        return;
    }
    for (int i = 0; i < m_iPrograms; i++)
        glDeleteProgram(m_uPrograms[i]);
    for (int i = 0; i < 2 * m_iPrograms; i++) {
        if (m_uShaders[i])
            glDeleteShader(m_uShaders[i]);
    }
}

unsigned int CGLProgram::LoadProgram(unsigned int uType, const char* pszSource)
{
    GLuint shader = glCreateShader(uType);
    if (!shader)
        return 0;
    glShaderSource(shader, 1, &pszSource, nullptr);
    glCompileShader(shader);
    GLint iOk = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &iOk);
    if (!iOk) {
        ShowShaderLog(shader);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

void CGLProgram::ShowShaderLog(unsigned int uShader)
{
    char szLog[1024];
    GLsizei n = 0;
    glGetShaderInfoLog(uShader, sizeof szLog, &n, szLog);
    szLog[n > 0 && n < (GLsizei)sizeof szLog ? n : 0] = 0;
    RVLog(RV_LOG_DEBUG, "%d:shader:\n%s\n", (int)uShader, szLog);
}

void CGLProgram::ShowProgramLog(unsigned int uProgram)
{
    char szLog[1024];
    GLsizei n = 0;
    glGetProgramInfoLog(uProgram, sizeof szLog, &n, szLog);
    szLog[n > 0 && n < (GLsizei)sizeof szLog ? n : 0] = 0;
    RVLog(RV_LOG_DEBUG, "%d:program:\n%s\n", (int)uProgram, szLog);
}

void CGLProgram::Build(RVT_PROGRAM* pProgram, const char* pszVertex, const char* pszFragment, const char* pszAttrib0,
                       const char* pszAttrib1, const char* pszAlpha, const char* pszColor, const char* pszLevel)
{
    RV_ASSERT(GLIsDrawingThread());
    *pProgram = RVT_PROGRAM();
    RV_ASSERT(m_iPrograms < MAX_PROGRAMS);
    if (m_iPrograms >= MAX_PROGRAMS)
        return;
    GLuint vs = LoadProgram(GL_VERTEX_SHADER, pszVertex);
    GLuint fs = LoadProgram(GL_FRAGMENT_SHADER, pszFragment);
    GLuint program = glCreateProgram();
    // A shader that failed is not attached: the link then fails cleanly.
    if (vs)
        glAttachShader(program, vs);
    if (fs)
        glAttachShader(program, fs);
    glBindAttribLocation(program, 0, pszAttrib0);
    if (pszAttrib1)
        glBindAttribLocation(program, 1, pszAttrib1);
    glLinkProgram(program);
    m_uShaders[2 * m_iPrograms] = vs;
    m_uShaders[2 * m_iPrograms + 1] = fs;
    m_uPrograms[m_iPrograms++] = program;
    if (!m_uProgram)
        m_uProgram = program;
    pProgram->uProgram = program;

    GLint iLinked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &iLinked);
    // Without its fragment shader a desktop program still links (fixed
    // function fills in): count it as failed all the same.
    if (!iLinked || !vs || !fs) {
        if (!iLinked)
            ShowProgramLog(program);
        m_bLinked = 0;
        return;
    }
    glUseProgram(program);
    GLint iSampler = glGetUniformLocation(program, "texture");
    if (iSampler >= 0)
        glUniform1i(iSampler, 0);
    pProgram->iMVP = glGetUniformLocation(program, "u_MVPMatrix");
    if (pszAlpha)
        pProgram->iAlpha = glGetUniformLocation(program, pszAlpha);
    if (pszColor)
        pProgram->iColor = glGetUniformLocation(program, pszColor);
    if (pszLevel)
        pProgram->iLevel = glGetUniformLocation(program, pszLevel);
}

// ---- helpers of the program classes ----

static void PointAttribute(GLuint uIndex, GLint iSize, GLenum eType, GLboolean bNormalized, int iStride, int iOffset)
{
    glVertexAttribPointer(uIndex, iSize, eType, bNormalized, iStride, (const void*)(size_t)iOffset);
    glEnableVertexAttribArray(uIndex);
}

void BindTextured(int iVBO)
{
    glBindBuffer(GL_ARRAY_BUFFER, (GLuint)iVBO);
    PointAttribute(0, 3, GL_FLOAT, GL_FALSE, STRIDE_TEXTURED, 0);
    PointAttribute(1, 2, GL_FLOAT, GL_FALSE, STRIDE_TEXTURED, 12);
}

void BindColored(int iVBO)
{
    glBindBuffer(GL_ARRAY_BUFFER, (GLuint)iVBO);
    PointAttribute(0, 3, GL_FLOAT, GL_FALSE, STRIDE_COLORED, 0);
    PointAttribute(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, STRIDE_COLORED, 12);
}

void BindPosition(int iVBO, int iStride)
{
    glBindBuffer(GL_ARRAY_BUFFER, (GLuint)iVBO);
    PointAttribute(0, 3, GL_FLOAT, GL_FALSE, iStride, 0);
    glDisableVertexAttribArray(1);
}

void UseProgram(const RVT_PROGRAM& program, const float* pMatrix)
{
    glUseProgram(program.uProgram);
    glUniformMatrix4fv(program.iMVP, 1, GL_FALSE, pMatrix);
}

void BlendOn(int iSrc, int iDst)
{
    glEnable(GL_BLEND);
    glBlendFunc((GLenum)iSrc, (GLenum)iDst);
}

void BlendOff()
{
    glDisable(GL_BLEND);
}

// ---- the nine programs ----

int CreateShaderPrograms()
{
    // Made in this order, each into its global.
    if (!g_pShaderAddMode)
        g_pShaderAddMode = new CShaderAddMode;
    if (!g_pShaderTexture)
        g_pShaderTexture = new CShaderTexture;
    if (!g_pShaderText)
        g_pShaderText = new CShaderText;
    if (!g_pShaderColor)
        g_pShaderColor = new CShaderColor;
    if (!g_pShaderFill)
        g_pShaderFill = new CShaderFill;
    if (!g_pShaderYUV422)
        g_pShaderYUV422 = new CShaderYUV422;
    if (!g_pShaderRGBA)
        g_pShaderRGBA = new CShaderRGBA;
    if (!g_pShaderColorSat)
        g_pShaderColorSat = new CShaderColorSat;
    if (!g_pShaderPanel)
        g_pShaderPanel = new CShaderPanel;
    const CGLProgram* all[] = {g_pShaderAddMode, g_pShaderTexture, g_pShaderText,    g_pShaderColor, g_pShaderFill,
                               g_pShaderYUV422,  g_pShaderRGBA,    g_pShaderColorSat, g_pShaderPanel};
    int bAll = 1;
    for (const CGLProgram* p : all)
        bAll &= p->IsLinked();
    return bAll;
}

template <class T> static void DeleteOne(T*& p)
{
    delete p;
    p = nullptr;
}

void DeleteShaderPrograms()
{
    DeleteOne(g_pShaderAddMode);
    DeleteOne(g_pShaderTexture);
    DeleteOne(g_pShaderText);
    DeleteOne(g_pShaderColor);
    DeleteOne(g_pShaderFill);
    DeleteOne(g_pShaderYUV422);
    DeleteOne(g_pShaderRGBA);
    DeleteOne(g_pShaderColorSat);
    DeleteOne(g_pShaderPanel);
}
