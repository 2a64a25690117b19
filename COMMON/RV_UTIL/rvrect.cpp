#include "rvrect.h"

#include <algorithm>
#include <new>

#include "rvrectmath.h"

using rvrect::Clamp32;
using rvrect::LastX;
using rvrect::LastY;

int CRVRect::IsEqualTo(const CRVRect& other) const
{
    return x == other.x && y == other.y && width == other.width && height == other.height;
}

void CRVRect::Inset(int dx, int dy)
{
    x = Clamp32(static_cast<long long>(x) + dx);
    y = Clamp32(static_cast<long long>(y) + dy);
    width = Clamp32(width - 2LL * dx);
    height = Clamp32(height - 2LL * dy);
}

void CRVRect::Inset(const RVT_INSETS& insets)
{
    x = Clamp32(static_cast<long long>(x) + insets.left);
    y = Clamp32(static_cast<long long>(y) + insets.top);
    width = Clamp32(static_cast<long long>(width) - insets.left - insets.right);
    height = Clamp32(static_cast<long long>(height) - insets.top - insets.bottom);
}

void CRVRect::Offset(int dx, int dy)
{
    x = Clamp32(static_cast<long long>(x) - dx);
    y = Clamp32(static_cast<long long>(y) - dy);
    width = Clamp32(width + 2LL * dx);
    height = Clamp32(height + 2LL * dy);
}

void CRVRect::Offset(const RVT_INSETS& insets)
{
    x = Clamp32(static_cast<long long>(x) - insets.left);
    y = Clamp32(static_cast<long long>(y) - insets.top);
    width = Clamp32(static_cast<long long>(width) + insets.left + insets.right);
    height = Clamp32(static_cast<long long>(height) + insets.top + insets.bottom);
}

CRVRect CRVRect::CreateInset(int dx, int dy) const
{
    CRVRect r(*this);
    r.Inset(dx, dy);
    return r;
}

CRVRect CRVRect::CreateInset(const RVT_INSETS& insets) const
{
    CRVRect r(*this);
    r.Inset(insets);
    return r;
}

void CRVRect::Translate(int dx, int dy)
{
    x = Clamp32(static_cast<long long>(x) + dx);
    y = Clamp32(static_cast<long long>(y) + dy);
}

void CRVRect::CenterDownTo(int w, int h)
{
    if (w < width) {
        x = Clamp32(static_cast<long long>(x) + width / 2 - w / 2);
        width = w;
    }
    if (h < height) {
        y = Clamp32(static_cast<long long>(y) + height / 2 - h / 2);
        height = h;
    }
}

void CRVRect::CenterUpTo(int w, int h)
{
    if (w > width) {
        x = Clamp32(static_cast<long long>(x) + width / 2 - w / 2);
        width = w;
    }
    if (h > height) {
        y = Clamp32(static_cast<long long>(y) + height / 2 - h / 2);
        height = h;
    }
}

CRVRect CRVRect::BreakOffLeft(int a, int gap)
{
    CRVRect piece(x, y, Clamp32(static_cast<long long>(a) - gap), height);
    x = Clamp32(static_cast<long long>(x) + a);
    width = Clamp32(static_cast<long long>(width) - a);
    return piece;
}

CRVRect CRVRect::BreakOffRight(int a, int gap)
{
    CRVRect piece(Clamp32(static_cast<long long>(x) + width - a + gap), y,
                  Clamp32(static_cast<long long>(a) - gap), height);
    width = Clamp32(static_cast<long long>(width) - a);
    return piece;
}

CRVRect CRVRect::BreakOffTop(int a, int gap)
{
    CRVRect piece(x, y, width, Clamp32(static_cast<long long>(a) - gap));
    y = Clamp32(static_cast<long long>(y) + a);
    height = Clamp32(static_cast<long long>(height) - a);
    return piece;
}

CRVRect CRVRect::BreakOffBottom(int a, int gap)
{
    CRVRect piece(x, Clamp32(static_cast<long long>(y) + height - a + gap), width,
                  Clamp32(static_cast<long long>(a) - gap));
    height = Clamp32(static_cast<long long>(height) - a);
    return piece;
}

// Allocate first so that a failed allocation leaves this rectangle as it was.
#define RV_CREATE_BREAKOFF(Side)                                   \
    CRVRect* CRVRect::CreateBreakOff##Side(int a, int gap)         \
    {                                                              \
        if (a < 1)                                                 \
            return nullptr;                                        \
        CRVRect* piece = new (std::nothrow) CRVRect;               \
        if (piece)                                                 \
            *piece = BreakOff##Side(a, gap);                       \
        return piece;                                              \
    }
RV_CREATE_BREAKOFF(Left)
RV_CREATE_BREAKOFF(Right)
RV_CREATE_BREAKOFF(Top)
RV_CREATE_BREAKOFF(Bottom)
#undef RV_CREATE_BREAKOFF

static int ClampSize(int n, int size)
{
    return std::max(0, std::min(n, size));
}

CRVRect CRVRect::CreateSplitLeft(int n) const
{
    return CRVRect(x, y, ClampSize(n, width), height);
}

CRVRect CRVRect::CreateSplitRight(int n) const
{
    int c = ClampSize(n, width);
    return CRVRect(Clamp32(static_cast<long long>(x) + width - c), y, c, height);
}

CRVRect CRVRect::CreateSplitTop(int n) const
{
    return CRVRect(x, y, width, ClampSize(n, height));
}

CRVRect CRVRect::CreateSplitBottom(int n) const
{
    int c = ClampSize(n, height);
    return CRVRect(x, Clamp32(static_cast<long long>(y) + height - c), width, c);
}

CRVRect CRVRect::CreateXSection(int i, int n, int gap) const
{
    if (n < 1)
        return CRVRect(x, y, 0, height);
    long long s = (static_cast<long long>(width) + gap) / n;
    return CRVRect(Clamp32(x + static_cast<__int128>(i) * s), y, Clamp32(s - gap), height);
}

CRVRect CRVRect::CreateYSection(int i, int n, int gap) const
{
    if (n < 1)
        return CRVRect(x, y, width, 0);
    long long s = (static_cast<long long>(height) + gap) / n;
    return CRVRect(x, Clamp32(y + static_cast<__int128>(i) * s), width, Clamp32(s - gap));
}

CRVRect CRVRect::CreateXSectionWeighted(int i, const int* weights, int n, int gap) const
{
    if (!weights || n < 1 || i < 0 || i >= n)
        return CRVRect(x, y, 0, height);
    long long total = 0;
    long long before = 0;
    for (int k = 0; k < n; ++k) {
        if (k == i)
            before = total;
        total += std::max(weights[k], 0);
    }
    if (total <= 0)
        return CRVRect(x, y, 0, height);
    // Each column starts at its share of (width + gap), so the gaps fall between
    // columns and the last column ends at the right edge.
    __int128 span = static_cast<long long>(width) + gap;
    long long start = static_cast<long long>(span * before / total);
    long long end = static_cast<long long>(span * (before + std::max(weights[i], 0)) / total);
    return CRVRect(Clamp32(x + start), y, Clamp32(end - start - gap), height);
}

CRVRect CRVRect::ConfineToAspect(int aw, int ah) const
{
    // A non-positive aspect has no rectangle; aw = 0 would also divide by zero below.
    if (ah <= 0 || aw <= 0 || height <= 0)
        return CRVRect(0, 0, 0, 0);
    long long w = width;
    long long h = height;
    if (aw * 100LL / ah < w * 100 / h) {
        long long fitted = aw * h / ah;
        if (fitted < w)
            return CRVRect(Clamp32(x + w / 2 - fitted / 2), y, Clamp32(fitted), height);
        return *this;
    }
    long long fitted = ah * w / aw;
    if (fitted < h)
        return CRVRect(x, Clamp32(y + h / 2 - fitted / 2), width, Clamp32(fitted));
    return *this;
}

static int Blend(int from, int to, int t)
{
    // 128 bits: t is not limited to 0..1000, so an overshooting animation
    // cannot overflow the products.
    __int128 v = static_cast<__int128>(from) * (1000 - static_cast<long long>(t)) +
                 static_cast<__int128>(to) * t;
    return Clamp32(v / 1000);
}

void CRVRect::BlendWith(const CRVRect& other, int t)
{
    x = Blend(x, other.x, t);
    y = Blend(y, other.y, t);
    width = Blend(width, other.width, t);
    height = Blend(height, other.height, t);
}

void CRVRect::Flip()
{
    std::swap(x, y);
    std::swap(width, height);
}

int CRVRect::IsPointInside(const POINT& point) const
{
    return IsPointInside(point.x, point.y);
}

int CRVRect::IsPointInside(int px, int py) const
{
    return ContainsX(px) && ContainsY(py);
}

int CRVRect::ContainsX(int column) const
{
    return column >= x && column <= LastX(*this);
}

int CRVRect::ContainsY(int row) const
{
    return row >= y && row <= LastY(*this);
}

int CRVRect::Contains(const CRVRect& other) const
{
    return other.IsInside(*this);
}

int CRVRect::IsInside(const CRVRect& other) const
{
    return IsWithinXBoundsOf(other) && IsWithinYBoundsOf(other);
}

int CRVRect::IsWithinXBoundsOf(const CRVRect& other) const
{
    return x >= other.x && LastX(*this) <= LastX(other);
}

int CRVRect::IsWithinYBoundsOf(const CRVRect& other) const
{
    return y >= other.y && LastY(*this) <= LastY(other);
}

int CRVRect::SameTopBottom(const CRVRect& other) const
{
    return y == other.y && height == other.height;
}

int CRVRect::SameLeftRight(const CRVRect& other) const
{
    return x == other.x && width == other.width;
}

int CRVRect::IntersectsWith(const CRVRect& other) const
{
    if (IsEmpty() || other.IsEmpty())
        return 0;
    return x <= LastX(other) && other.x <= LastX(*this) && y <= LastY(other) && other.y <= LastY(*this);
}

CRVRect CRVRect::IntersectWith(const CRVRect& other) const
{
    long long x0 = std::max(x, other.x);
    long long y0 = std::max(y, other.y);
    long long x1 = std::min(static_cast<long long>(x) + width, static_cast<long long>(other.x) + other.width);
    long long y1 = std::min(static_cast<long long>(y) + height, static_cast<long long>(other.y) + other.height);
    return CRVRect(static_cast<int>(x0), static_cast<int>(y0), Clamp32(x1 - x0), Clamp32(y1 - y0));
}

void CRVRect::CombineWith(const CRVRect& other)
{
    if (other.IsEmpty())
        return;
    if (IsEmpty()) {
        *this = other;
        return;
    }
    *this = rvrect::FromEdges(std::min(x, other.x), std::min(y, other.y), std::max(LastX(*this), LastX(other)),
                              std::max(LastY(*this), LastY(other)));
}

RECT CRVRect::GetRECT() const
{
    RECT r;
    r.left = x;
    r.top = y;
    r.right = Clamp32(static_cast<long long>(x) + width);
    r.bottom = Clamp32(static_cast<long long>(y) + height);
    return r;
}

CX12Rect::CX12Rect(int x1, int y1, int x2, int y2)
    : CRVRect(x1, y1, Clamp32(static_cast<long long>(x2) - x1 + 1), Clamp32(static_cast<long long>(y2) - y1 + 1))
{
}
