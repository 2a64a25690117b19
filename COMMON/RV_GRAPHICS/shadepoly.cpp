// CPointList and the corner arcs of rounded rectangles.
#include "shadepoly.h"

#include "dibdc.h"
#include "rvalloc.h"
#include "rvdebug.h"

#include <string.h>

CPointList::CPointList() : m_pX(nullptr), m_pY(nullptr), m_iCount(0), m_iCapacity(0) {}

CPointList::~CPointList() { RemoveAll(); }

int CPointList::InRange(int i) const
{
    if (i >= 0 && i < m_iCount)
        return 1;
    AssertDlg(__FILE__, __LINE__, i);
    return 0;
}

void CPointList::X(int i, int v)
{
    if (InRange(i))
        m_pX[i] = v;
}

void CPointList::Y(int i, int v)
{
    if (InRange(i))
        m_pY[i] = v;
}

int CPointList::Grow()
{
    if (m_iCapacity + GROW_BY > MAX_POINTS)
        return 0;
    int iNew = m_iCapacity + GROW_BY;
    int* pX = static_cast<int*>(RVAlloc(static_cast<size_t>(iNew), sizeof(int)));
    int* pY = static_cast<int*>(RVAlloc(static_cast<size_t>(iNew), sizeof(int)));
    if (!pX || !pY) {
        RVFree(pX);
        RVFree(pY);
        return 0;
    }
    if (m_iCount) {
        memcpy(pX, m_pX, static_cast<size_t>(m_iCount) * sizeof(int));
        memcpy(pY, m_pY, static_cast<size_t>(m_iCount) * sizeof(int));
    }
    RVFree(m_pX);
    RVFree(m_pY);
    m_pX = pX;
    m_pY = pY;
    m_iCapacity = iNew;
    return 1;
}

int CPointList::AddPoint(int x, int y)
{
    if (m_iCount == m_iCapacity && !Grow())
        return 0;
    m_pX[m_iCount] = x;
    m_pY[m_iCount] = y;
    m_iCount++;
    return 1;
}

int CPointList::InsertPointY(int x, int y)
{
    int at = 0;
    while (at < m_iCount && m_pY[at] >= y)
        at++;
    if (m_iCount == m_iCapacity && !Grow())
        return 0;
    size_t tail = static_cast<size_t>(m_iCount - at) * sizeof(int);
    memmove(m_pX + at + 1, m_pX + at, tail);
    memmove(m_pY + at + 1, m_pY + at, tail);
    m_pX[at] = x;
    m_pY[at] = y;
    m_iCount++;
    return 1;
}

void CPointList::RemoveAtIndex(int i)
{
    if (!InRange(i))
        return;
    size_t tail = static_cast<size_t>(m_iCount - i - 1) * sizeof(int);
    memmove(m_pX + i, m_pX + i + 1, tail);
    memmove(m_pY + i, m_pY + i + 1, tail);
    m_iCount--;
}

void CPointList::RemoveLast()
{
    if (m_iCount > 0)
        m_iCount--;
}

void CPointList::RemoveCommonPoints()
{
    if (m_iCount < 2)
        return;
    int kept = 1;
    for (int i = 1; i < m_iCount; i++) {
        if (m_pX[i] == m_pX[kept - 1] && m_pY[i] == m_pY[kept - 1])
            continue;
        m_pX[kept] = m_pX[i];
        m_pY[kept] = m_pY[i];
        kept++;
    }
    m_iCount = kept;
}

void CPointList::RemoveAll()
{
    RVFree(m_pX);
    RVFree(m_pY);
    m_pX = m_pY = nullptr;
    m_iCount = m_iCapacity = 0;
}

// ---- corner arcs ----

// A midpoint walk over the quarter circle x^2 + y^2 = r^2 from (0, r) down to
// (r, 0). The error term e tracks where the circle passes the candidate cells
// and picks a step right, diagonal or down.
int CRVDibDC::CalcArcPoints(CPointList* pList, int r, int bOnePerRow)
{
    if (!pList)
        return 0;
    pList->RemoveAll();
    if (r < 0) {
        AssertDlg(__FILE__, __LINE__, r);
        return 0;
    }
    // 64 bits: the terms reach about 4 r.
    long long x = 0;
    long long y = r;
    long long e = 2 - 2LL * r;
    for (;;) {
        if (!pList->AddPoint(static_cast<int>(x), static_cast<int>(y)))
            return 0;
        if (e < 0 && e + y <= 0) {
            // Right: the row keeps only its rightmost point in one-per-row mode.
            e += 2 * x + 3;
            x++;
            if (bOnePerRow)
                pList->RemoveLast();
            continue;
        }
        if (y == 0)
            break;
        if (e <= 0 || e <= x) {
            e += 2 * x - 2 * y + 6;
            x++;
            y--;
        } else {
            e += 3 - 2 * y;
            y--;
        }
    }
    return 1;
}

void CRVDibDC::InsetArcPoints(CPointList* pList)
{
    if (!pList)
        return;
    for (int i = 0; i < pList->NPoints(); i++) {
        if (pList->X(i) < pList->Y(i))
            pList->Y(i, pList->Y(i) - 1);
        else
            pList->X(i, pList->X(i) - 1);
    }
    pList->RemoveCommonPoints();
}
