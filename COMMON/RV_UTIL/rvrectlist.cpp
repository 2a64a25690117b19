#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#include "rvdebug.h"
#include "rvrect.h"
#include "rvrectmath.h"

using rvrect::Clamp32;
using rvrect::FromEdges;
using rvrect::LastX;
using rvrect::LastY;

void CRectList::SetRect(int i, const CRVRect& rect)
{
    m_iX[i] = rect.x;
    m_iY[i] = rect.y;
    m_iWidth[i] = rect.width;
    m_iHeight[i] = rect.height;
}

void CRectList::AddRectDirectDXDY(int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0 || m_iCount >= MAX_RECTS)
        return;
    SetRect(m_iCount++, CRVRect(x, y, width, height));
}

void CRectList::AddRectDirectRef(const CRVRect& rect)
{
    AddRectDirectDXDY(rect.x, rect.y, rect.width, rect.height);
}

CRVRect CRectList::RectAtIndex(int i) const
{
    if (i < 0 || i >= m_iCount)
        return CRVRect();
    return CRVRect(m_iX[i], m_iY[i], m_iWidth[i], m_iHeight[i]);
}

void CRectList::DeleteRect(int i)
{
    if (i < 0 || i >= m_iCount) {
        AssertDlg(__FILE__, __LINE__, i);
        return;
    }
    size_t tail = static_cast<size_t>(m_iCount - i - 1) * sizeof(int);
    memmove(&m_iX[i], &m_iX[i + 1], tail);
    memmove(&m_iY[i], &m_iY[i + 1], tail);
    memmove(&m_iWidth[i], &m_iWidth[i + 1], tail);
    memmove(&m_iHeight[i], &m_iHeight[i + 1], tail);
    --m_iCount;
}

void CRectList::CopyFrom(const CRectList& other)
{
    if (&other == this)
        return;
    size_t used = static_cast<size_t>(other.m_iCount) * sizeof(int);
    memcpy(m_iX, other.m_iX, used);
    memcpy(m_iY, other.m_iY, used);
    memcpy(m_iWidth, other.m_iWidth, used);
    memcpy(m_iHeight, other.m_iHeight, used);
    m_iCount = other.m_iCount;
}

void CRectList::AppendTo(CRectList* other) const
{
    if (!other)
        return;
    int n = m_iCount;  // appending a list to itself copies each entry once
    for (int i = 0; i < n; ++i)
        other->AddRectDirectRef(RectAtIndex(i));
}

CRectList* CRectList::CreateCopy() const
{
    return new (std::nothrow) CRectList(*this);
}

void CRectList::Translate(int dx, int dy)
{
    for (int i = 0; i < m_iCount; ++i) {
        m_iX[i] = Clamp32(static_cast<long long>(m_iX[i]) + dx);
        m_iY[i] = Clamp32(static_cast<long long>(m_iY[i]) + dy);
    }
}

long long CRectList::Area() const
{
    long long sum = 0;
    for (int i = 0; i < m_iCount; ++i) {
        if (m_iWidth[i] <= 0 || m_iHeight[i] <= 0)
            continue;
        long long a = static_cast<long long>(m_iWidth[i]) * m_iHeight[i];
        if (__builtin_add_overflow(sum, a, &sum))
            return LLONG_MAX;
    }
    return sum;
}

CRVRect CRectList::GetBounds() const
{
    if (m_iCount == 0)
        return CRVRect();
    CRVRect bounds = RectAtIndex(0);
    for (int i = 1; i < m_iCount; ++i)
        bounds.CombineWith(RectAtIndex(i));
    return bounds;
}

// ---- splitting one entry ----------------------------------------------------

void CRectList::SplitBreakOffTop(int i, int n)
{
    if (i < 0 || i >= m_iCount || n < 1 || n >= m_iHeight[i] || m_iCount >= MAX_RECTS)
        return;
    AddRectDirectDXDY(m_iX[i], m_iY[i], m_iWidth[i], n);
    m_iY[i] = Clamp32(static_cast<long long>(m_iY[i]) + n);
    m_iHeight[i] -= n;
}

void CRectList::SplitBreakOffBottom(int i, int n)
{
    if (i < 0 || i >= m_iCount || n < 1 || n >= m_iHeight[i] || m_iCount >= MAX_RECTS)
        return;
    AddRectDirectDXDY(m_iX[i], Clamp32(static_cast<long long>(m_iY[i]) + m_iHeight[i] - n), m_iWidth[i], n);
    m_iHeight[i] -= n;
}

void CRectList::SplitBreakOffLeft(int i, int n)
{
    if (i < 0 || i >= m_iCount || n < 1 || n >= m_iWidth[i] || m_iCount >= MAX_RECTS)
        return;
    AddRectDirectDXDY(m_iX[i], m_iY[i], n, m_iHeight[i]);
    m_iX[i] = Clamp32(static_cast<long long>(m_iX[i]) + n);
    m_iWidth[i] -= n;
}

void CRectList::SplitBreakOffRight(int i, int n)
{
    if (i < 0 || i >= m_iCount || n < 1 || n >= m_iWidth[i] || m_iCount >= MAX_RECTS)
        return;
    AddRectDirectDXDY(Clamp32(static_cast<long long>(m_iX[i]) + m_iWidth[i] - n), m_iY[i], n, m_iHeight[i]);
    m_iWidth[i] -= n;
}

// ---- tests of one entry -----------------------------------------------------

int CRectList::RectContains(int i, const CRVRect& rect) const
{
    return i >= 0 && i < m_iCount && RectAtIndex(i).Contains(rect);
}

int CRectList::RectIsInside(int i, const CRVRect& rect) const
{
    return i >= 0 && i < m_iCount && RectAtIndex(i).IsInside(rect);
}

int CRectList::RectIntersects(int i, const CRVRect& rect) const
{
    return i >= 0 && i < m_iCount && RectAtIndex(i).IntersectsWith(rect);
}

int CRectList::RectContainsX(int i, int column) const
{
    return i >= 0 && i < m_iCount && RectAtIndex(i).ContainsX(column);
}

int CRectList::RectContainsY(int i, int row) const
{
    return i >= 0 && i < m_iCount && RectAtIndex(i).ContainsY(row);
}

int CRectList::RectIsWithinXBoundsOf(int i, const CRVRect& rect) const
{
    return i >= 0 && i < m_iCount && RectAtIndex(i).IsWithinXBoundsOf(rect);
}

int CRectList::RectIsWithinYBoundsOf(int i, const CRVRect& rect) const
{
    return i >= 0 && i < m_iCount && RectAtIndex(i).IsWithinYBoundsOf(rect);
}

// ---- subtracting ------------------------------------------------------------
//
// Pieces are appended at the end in a fixed order (above, below, then left or
// right) and the entry itself keeps what remains; callers such as the raster
// code rely on that order. A piece is only cut off when the list has room for
// everything the cut produces, so a full list keeps area rather than losing it.

void CRectList::Subtract(const CRVRect& rect)
{
    SubtractFromIndex(rect, 0);
}

void CRectList::SubtractFrom(CRectList* other) const
{
    if (!other)
        return;
    if (other == this) {
        other->Clear();
        return;
    }
    for (int i = 0; i < m_iCount; ++i)
        other->Subtract(RectAtIndex(i));
}

void CRectList::SubtractFromIndex(const CRVRect& s, int first)
{
    if (s.IsEmpty())
        return;
    for (int i = first; i < m_iCount;) {
        CRVRect e = RectAtIndex(i);
        if (e.IsInside(s)) {
            DeleteRect(i);
            continue;
        }
        if (e.Contains(s)) {
            SplitAround(i, s);
            return;
        }
        ++i;
    }
    for (int i = first; i < m_iCount;) {
        if (RectIntersects(i, s)) {
            CutAgainst(i, s);
            if (m_iWidth[i] < 1 || m_iHeight[i] < 1) {
                DeleteRect(i);
                continue;
            }
        }
        ++i;
    }
}

// Entry i contains s: rows above and below s and the columns right of s become
// new entries; the entry keeps the columns left of s, or goes if there are none.
void CRectList::SplitAround(int i, const CRVRect& s)
{
    CRVRect e = RectAtIndex(i);
    int above = Clamp32(s.y - static_cast<long long>(e.y));
    int below = Clamp32(LastY(e) - LastY(s));
    int right = Clamp32(LastX(e) - LastX(s));
    int left = Clamp32(s.x - static_cast<long long>(e.x));
    int pieces = (above > 0) + (below > 0) + (right > 0);
    if (m_iCount + pieces > MAX_RECTS)
        return;
    SplitBreakOffTop(i, above);
    SplitBreakOffBottom(i, below);
    SplitBreakOffRight(i, right);
    if (left < 1)
        DeleteRect(i);
    else
        m_iWidth[i] = left;
}

// Entry i overlaps s without containing it or lying inside it: cut s's area
// out of it. May leave the entry empty; the caller deletes it then.
void CRectList::CutAgainst(int i, const CRVRect& s)
{
    CRVRect e = RectAtIndex(i);
    long long ex1 = e.x, ex2 = LastX(e), ey1 = e.y, ey2 = LastY(e);
    long long sx1 = s.x, sx2 = LastX(s), sy1 = s.y, sy2 = LastY(s);
    // Sizes of e's parts beyond each side of s (0 or less where there is none);
    // as s overlaps e, each is smaller than e's size.
    int above = Clamp32(sy1 - ey1);
    int below = Clamp32(ey2 - sy2);
    int left = Clamp32(sx1 - ex1);
    int right = Clamp32(ex2 - sx2);

    if (sx1 <= ex1 && sx2 >= ex2) {
        // s crosses e from side to side: keep the rows above and below.
        if (above > 0 && below > 0) {
            if (m_iCount >= MAX_RECTS)
                return;
            SplitBreakOffBottom(i, below);
            m_iHeight[i] = above;
        } else if (above > 0) {
            m_iHeight[i] = above;
        } else if (below > 0) {
            SetRect(i, FromEdges(ex1, sy2 + 1, ex2, ey2));
        } else {
            m_iHeight[i] = 0;
        }
        return;
    }
    if (sy1 <= ey1 && sy2 >= ey2) {
        // s crosses e from top to bottom: keep the columns left and right.
        if (left > 0 && right > 0) {
            if (m_iCount >= MAX_RECTS)
                return;
            SplitBreakOffRight(i, right);
            m_iWidth[i] = left;
        } else if (left > 0) {
            m_iWidth[i] = left;
        } else if (right > 0) {
            SetRect(i, FromEdges(sx2 + 1, ey1, ex2, ey2));
        } else {
            m_iWidth[i] = 0;
        }
        return;
    }
    if ((ex1 >= sx1 && ex1 <= sx2) || (ex2 >= sx1 && ex2 <= sx2)) {
        // s covers e's left or right edge: rows above and below become entries,
        // the band beside s stays.
        if (m_iCount + (above > 0) + (below > 0) > MAX_RECTS)
            return;
        SplitBreakOffTop(i, above);
        SplitBreakOffBottom(i, below);
        e = RectAtIndex(i);
        if (ex2 > sx2)
            SetRect(i, FromEdges(sx2 + 1, e.y, ex2, LastY(e)));
        else
            m_iWidth[i] = left;
        return;
    }
    // s covers e's top or bottom edge (containment was handled before): columns
    // left and right become entries, the band above or below s stays.
    RV_ASSERT(!(ey1 < sy1 && ey2 > sy2));
    if (m_iCount + (left > 0) + (right > 0) > MAX_RECTS)
        return;
    SplitBreakOffLeft(i, left);
    SplitBreakOffRight(i, right);
    e = RectAtIndex(i);
    if (ey2 > sy2)
        SetRect(i, FromEdges(e.x, sy2 + 1, LastX(e), ey2));
    else
        m_iHeight[i] = above;
}

// ---- adding -----------------------------------------------------------------

// Spans a1..a2 and b1..b2 touch or overlap in a way that makes their union one span.
static int SpansMerge(long long a1, long long a2, long long b1, long long b2)
{
    return (a2 >= b1 - 1 && a1 < b2) || (b2 + 1 >= a1 && b1 < a2);
}

static int Mergeable(const CRVRect& a, const CRVRect& b)
{
    if (a.SameTopBottom(b))
        return SpansMerge(a.x, LastX(a), b.x, LastX(b));
    if (a.SameLeftRight(b))
        return SpansMerge(a.y, LastY(a), b.y, LastY(b));
    return 0;
}

void CRectList::DeleteInside(const CRVRect& rect, int first)
{
    for (int j = first; j < m_iCount;) {
        if (RectIsInside(j, rect))
            DeleteRect(j);
        else
            ++j;
    }
}

void CRectList::AddRectRef(const CRVRect& p)
{
    if (p.IsEmpty())
        return;
    // Subtracting p can cut existing entries in pieces before p itself is
    // appended; if p then finds the list full, put the list back as it was so
    // no area goes missing. A list of up to a quarter of the capacity cannot
    // fill up: a subtraction at most triples it.
    CRectList backup;
    bool guarded = m_iCount > MAX_RECTS / 4;
    if (guarded)
        backup.CopyFrom(*this);

    bool subtracted = false;
    for (int i = 0; i < m_iCount; ++i) {
        CRVRect e = RectAtIndex(i);
        if (e.Contains(p))
            return;
        if (e.IsInside(p)) {
            // Later entries may still overlap p partly: cut p out of them too
            // (those wholly inside p go), so the list stays free of overlap.
            SetRect(i, p);
            SubtractFromIndex(p, i + 1);
            return;
        }
        // Once p has been subtracted nothing overlaps it any more; doing it
        // again for later entries would change nothing.
        if (!subtracted) {
            SubtractFromIndex(p, 0);
            subtracted = true;
        }
        if (i < m_iCount && Mergeable(RectAtIndex(i), p)) {
            CRVRect u = RectAtIndex(i);
            u.CombineWith(p);
            SetRect(i, u);
            DeleteInside(p, i + 1);
            return;
        }
    }
    if (m_iCount >= MAX_RECTS) {
        if (guarded)
            CopyFrom(backup);
        return;
    }
    AddRectDirectRef(p);
}

// ---- merging ----------------------------------------------------------------

// Spans a1..a2 and b1..b2 meet end to end (or overlap by one).
static int SpansTouch(long long a1, long long a2, long long b1, long long b2)
{
    return std::llabs(a1 - b2) <= 1 || std::llabs(a2 - b1) <= 1;
}

void CRectList::Consolidate()
{
    for (int i = 0; i < m_iCount; ++i) {
        for (int j = i + 1; j < m_iCount;) {
            CRVRect a = RectAtIndex(i);
            CRVRect b = RectAtIndex(j);
            bool merge = (a.SameTopBottom(b) && SpansTouch(a.x, LastX(a), b.x, LastX(b))) ||
                         (a.SameLeftRight(b) && SpansTouch(a.y, LastY(a), b.y, LastY(b)));
            if (!merge) {
                ++j;
                continue;
            }
            a.CombineWith(b);
            SetRect(i, a);
            DeleteRect(j);
            j = i + 1;  // the grown entry may now meet one it passed before
        }
    }
}
