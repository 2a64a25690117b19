// Integer geometry: rectangles, fixed-capacity lists of non-overlapping
// rectangles (update regions and coverage) and the stack of nested clips used
// while the surface tree is drawn.
//
// Rectangles arrive from the controller unchecked, so every operation computes
// edges in 64 bits and clamps what it stores to the int range: a rectangle that
// reaches past INT_MAX never wraps around into a bogus in-range one, and an
// intersection with a canvas-sized rectangle always lies inside that canvas.
#pragma once

#include "rvtypes.h"

// Insets in this order: left, right, top, bottom.
struct RVT_INSETS
{
    int left;
    int right;
    int top;
    int bottom;
};

// Columns x .. x + width - 1 and rows y .. y + height - 1; empty when width or
// height is 0 or less. The same four values, in this order, go on the wire.
class CRVRect
{
public:
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    CRVRect() = default;
    CRVRect(int iX, int iY, int iWidth, int iHeight) : x(iX), y(iY), width(iWidth), height(iHeight) {}
    CRVRect(const CRVRect&) = default;
    CRVRect& operator=(const CRVRect&) = default;
    virtual ~CRVRect() = default;

    int IsEmpty() const { return width <= 0 || height <= 0; }
    int IsEqualTo(const CRVRect& other) const;
    bool operator==(const CRVRect& other) const { return IsEqualTo(other) != 0; }
    bool operator!=(const CRVRect& other) const { return !IsEqualTo(other); }

    // Shrink by dx on the left and right and dy on the top and bottom
    // (negative values grow); Offset is the inverse.
    void Inset(int dx, int dy);
    void Inset(const RVT_INSETS& insets);
    void Offset(int dx, int dy);
    void Offset(const RVT_INSETS& insets);
    CRVRect CreateInset(int dx, int dy) const;
    CRVRect CreateInset(const RVT_INSETS& insets) const;
    void Translate(int dx, int dy);

    // Shrink (Down) or grow (Up) the width and height to w and h around the centre.
    void CenterDownTo(int w, int h);
    void CenterUpTo(int w, int h);

    // Cut a strip of size a off one side and return it less the gap; the strip
    // keeps the gap on the side that faces what remains.
    CRVRect BreakOffLeft(int a, int gap = 0);
    CRVRect BreakOffRight(int a, int gap = 0);
    CRVRect BreakOffTop(int a, int gap = 0);
    CRVRect BreakOffBottom(int a, int gap = 0);
    // The same on the heap; null (and this rectangle unchanged) for a size below 1.
    CRVRect* CreateBreakOffLeft(int a, int gap = 0);
    CRVRect* CreateBreakOffRight(int a, int gap = 0);
    CRVRect* CreateBreakOffTop(int a, int gap = 0);
    CRVRect* CreateBreakOffBottom(int a, int gap = 0);

    // A strip of size n (clamped to 0 .. width or 0 .. height) at the named side.
    CRVRect CreateSplitLeft(int n) const;
    CRVRect CreateSplitRight(int n) const;
    CRVRect CreateSplitTop(int n) const;
    CRVRect CreateSplitBottom(int n) const;

    // Column (row) i of n equal ones separated by gap.
    CRVRect CreateXSection(int i, int n, int gap) const;
    CRVRect CreateYSection(int i, int n, int gap) const;
    // Column i of n columns whose widths are proportional to weights[0 .. n-1].
    CRVRect CreateXSectionWeighted(int i, const int* weights, int n, int gap) const;

    // The largest rectangle of aspect aw : ah centred inside this one.
    CRVRect ConfineToAspect(int aw, int ah) const;
    // Move each field toward other's by t thousandths (0: unchanged, 1000: other).
    void BlendWith(const CRVRect& other, int t);
    // Swap the axes: (x, y, width, height) becomes (y, x, height, width).
    void Flip();

    int IsPointInside(const POINT& point) const;
    int IsPointInside(int px, int py) const;
    int ContainsX(int column) const;
    int ContainsY(int row) const;
    // Coordinate tests of the edges; meant for non-empty rectangles.
    int Contains(const CRVRect& other) const;
    int IsInside(const CRVRect& other) const;
    int IsWithinXBoundsOf(const CRVRect& other) const;
    int IsWithinYBoundsOf(const CRVRect& other) const;
    int SameTopBottom(const CRVRect& other) const;
    int SameLeftRight(const CRVRect& other) const;
    int IntersectsWith(const CRVRect& other) const;
    // Width or height 0 or less when the two do not overlap.
    CRVRect IntersectWith(const CRVRect& other) const;
    // Grow to the bounding box of both; an empty rectangle adds nothing.
    void CombineWith(const CRVRect& other);

    // Edge form (x, y, x + width, y + height).
    RECT GetRECT() const;
};

// From x, y, width and height.
class CDXYRect : public CRVRect
{
public:
    CDXYRect(int iX, int iY, int iWidth, int iHeight) : CRVRect(iX, iY, iWidth, iHeight) {}
};

// From two inclusive corners (x1, y1) and (x2, y2).
class CX12Rect : public CRVRect
{
public:
    CX12Rect(int x1, int y1, int x2, int y2);
};

// Up to MAX_RECTS rectangles kept as four arrays (x, y, width, height) inside
// the object: nothing here allocates. Adding to a full list or adding an empty
// rectangle is ignored. Operations that must add a piece to split an entry leave
// that entry whole when there is no room, so area is never lost.
class CRectList
{
public:
    enum { MAX_RECTS = 256 };

    CRectList() = default;
    // Copies only the entries in use.
    CRectList(const CRectList& other) { CopyFrom(other); }
    CRectList& operator=(const CRectList& other) { CopyFrom(other); return *this; }
    virtual ~CRectList() = default;

    int Count() const { return m_iCount; }

    // Append without any overlap handling.
    void AddRectDirectDXDY(int x, int y, int width, int height);
    void AddRectDirectRef(const CRVRect& rect);
    // Add keeping the list free of overlap; merges with a neighbour in the same
    // band when possible. Leaves the list unchanged if the result does not fit.
    void AddRectRef(const CRVRect& rect);
    // Remove the rectangle's area from the list.
    void Subtract(const CRVRect& rect);
    // Subtract each rectangle of this list from other.
    void SubtractFrom(CRectList* other) const;
    // Merge entries that share a band and touch or overlap.
    void Consolidate();

    // Empty rectangle for an index out of range.
    CRVRect RectAtIndex(int i) const;
    // Later entries move down one place, keeping their order.
    void DeleteRect(int i);

    void Clear() { m_iCount = 0; }
    void CopyFrom(const CRectList& other);
    // Append this list's entries to other, without overlap handling.
    void AppendTo(CRectList* other) const;
    // Heap copy; null when out of memory.
    CRectList* CreateCopy() const;
    void Translate(int dx, int dy);
    // Sum of width x height; saturates instead of overflowing.
    long long Area() const;
    // Bounding box of all entries; (0, 0, 0, 0) for an empty list.
    CRVRect GetBounds() const;

    // Move the top (bottom, left, right) n rows or columns of entry i into a new
    // entry at the end. Nothing happens for n below 1, n not below the entry's
    // size, an index out of range or a full list.
    void SplitBreakOffTop(int i, int n);
    void SplitBreakOffBottom(int i, int n);
    void SplitBreakOffLeft(int i, int n);
    void SplitBreakOffRight(int i, int n);

    // Tests of entry i against a rectangle, column or row; 0 for an index out of range.
    int RectContains(int i, const CRVRect& rect) const;
    int RectIsInside(int i, const CRVRect& rect) const;
    int RectIntersects(int i, const CRVRect& rect) const;
    int RectContainsX(int i, int column) const;
    int RectContainsY(int i, int row) const;
    int RectIsWithinXBoundsOf(int i, const CRVRect& rect) const;
    int RectIsWithinYBoundsOf(int i, const CRVRect& rect) const;

private:
    void SetRect(int i, const CRVRect& rect);
    // Subtract from the entries at index first and after.
    void SubtractFromIndex(const CRVRect& s, int first);
    void SplitAround(int i, const CRVRect& s);
    void CutAgainst(int i, const CRVRect& s);
    void DeleteInside(const CRVRect& rect, int first);

    int m_iX[MAX_RECTS];
    int m_iY[MAX_RECTS];
    int m_iWidth[MAX_RECTS];
    int m_iHeight[MAX_RECTS];
    int m_iCount = 0;
};

// Nested clips: the top is always the intersection of everything pushed onto
// the base given at construction.
class CClipStack
{
public:
    enum { MAX_DEPTH = 256 };

    explicit CClipStack(const CRVRect& base);

    // Push the intersection of rect with the current top; refused (returns 0)
    // when the stack is full.
    int PushClip(const CRVRect& rect);
    // Remove the top; the base stays.
    void PopClip();
    CRVRect Clip() const { return m_Clips[m_iDepth - 1].Rect(); }
    int Depth() const { return m_iDepth; }

    // Mirror level (1 to 255, 0 for none) and mirror line (a screen y) of a
    // reflecting ancestor.
    void SetMirrorAlpha(int level, int line);
    int MirrorAlpha() const { return m_iMirrorAlpha; }
    int MirrorLine() const { return m_iMirrorLine; }

    // A second stack of the current top shifted by an offset.
    int PushGLClip(int dx, int dy);
    void PopGLClip();
    int GLClipDepth() const { return m_iGLDepth; }
    // The top of the second stack; empty when it holds nothing.
    CRVRect GLClip() const;

    // Screen clip bounds; -1 means none.
    static int g_iScreenClipX0;
    static int g_iScreenClipX1;
    static int g_iScreenClipY0;
    static int g_iScreenClipY1;
    static void ResetClipPlanes();

    // Plane A x + B y + C z + D = 0 through three points, into plane[0..3].
    static void CreateClipPlane(const double p1[3], const double p2[3], const double p3[3], double plane[4]);
    // Vertical plane at column c, horizontal plane at row c; positive picks the
    // sign of the third point's depth and so the side the plane keeps.
    static void CreateClipPlaneVT(int c, int positive, double plane[4]);
    static void CreateClipPlaneHZ(int c, int positive, double plane[4]);

private:
    // Plain quads, left unset until pushed: a stack is made for every touch
    // and every frame, and constructing 512 rectangles (each with its vtable
    // pointer) cost more than the whole hit test it served.
    struct QUAD
    {
        int x, y, width, height;
        static QUAD From(const CRVRect& r) { return QUAD{r.x, r.y, r.width, r.height}; }
        CRVRect Rect() const { return CRVRect(x, y, width, height); }
    };
    QUAD m_Clips[MAX_DEPTH];
    int m_iDepth = 1;
    QUAD m_GLClips[MAX_DEPTH];
    int m_iGLDepth = 0;
    int m_iMirrorAlpha = 0;
    int m_iMirrorLine = 0;
};
