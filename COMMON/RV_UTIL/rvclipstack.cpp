#include "rvrect.h"

#include "rvdebug.h"

int CClipStack::g_iScreenClipX0 = -1;
int CClipStack::g_iScreenClipX1 = -1;
int CClipStack::g_iScreenClipY0 = -1;
int CClipStack::g_iScreenClipY1 = -1;

CClipStack::CClipStack(const CRVRect& base)
{
    m_Clips[0] = QUAD::From(base);
}

int CClipStack::PushClip(const CRVRect& rect)
{
    // The surface tree's depth comes from the controller: refuse rather than overrun.
    if (m_iDepth >= MAX_DEPTH) {
        AssertDlg(__FILE__, __LINE__, m_iDepth);
        return 0;
    }
    m_Clips[m_iDepth] = QUAD::From(rect.IntersectWith(m_Clips[m_iDepth - 1].Rect()));
    ++m_iDepth;
    return 1;
}

void CClipStack::PopClip()
{
    if (m_iDepth > 1)
        --m_iDepth;
}

void CClipStack::SetMirrorAlpha(int level, int line)
{
    m_iMirrorAlpha = level;
    m_iMirrorLine = line;
}

int CClipStack::PushGLClip(int dx, int dy)
{
    if (m_iGLDepth >= MAX_DEPTH) {
        AssertDlg(__FILE__, __LINE__, m_iGLDepth);
        return 0;
    }
    CRVRect r = Clip();
    r.Translate(dx, dy);
    m_GLClips[m_iGLDepth++] = QUAD::From(r);
    return 1;
}

void CClipStack::PopGLClip()
{
    if (m_iGLDepth > 0)
        --m_iGLDepth;
}

CRVRect CClipStack::GLClip() const
{
    return m_iGLDepth > 0 ? m_GLClips[m_iGLDepth - 1].Rect() : CRVRect();
}

void CClipStack::ResetClipPlanes()
{
    g_iScreenClipX0 = -1;
    g_iScreenClipX1 = -1;
    g_iScreenClipY0 = -1;
    g_iScreenClipY1 = -1;
}

void CClipStack::CreateClipPlane(const double p1[3], const double p2[3], const double p3[3], double plane[4])
{
    double u[3] = {p2[0] - p1[0], p2[1] - p1[1], p2[2] - p1[2]};
    double v[3] = {p3[0] - p1[0], p3[1] - p1[1], p3[2] - p1[2]};
    plane[0] = u[1] * v[2] - u[2] * v[1];
    plane[1] = u[2] * v[0] - u[0] * v[2];
    plane[2] = u[0] * v[1] - u[1] * v[0];
    plane[3] = -(plane[0] * p1[0] + plane[1] * p1[1] + plane[2] * p1[2]);
}

void CClipStack::CreateClipPlaneVT(int c, int positive, double plane[4])
{
    double z = positive ? 100.0 : -100.0;
    double p1[3] = {double(c), 0.0, 0.0};
    double p2[3] = {double(c), 100.0, 0.0};
    double p3[3] = {double(c), 100.0, z};
    CreateClipPlane(p1, p2, p3, plane);
}

void CClipStack::CreateClipPlaneHZ(int c, int positive, double plane[4])
{
    double z = positive ? 100.0 : -100.0;
    double p1[3] = {0.0, double(c), 0.0};
    double p2[3] = {0.0, double(c), z};
    double p3[3] = {100.0, double(c), z};
    CreateClipPlane(p1, p2, p3, plane);
}
