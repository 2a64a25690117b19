// CPointList: a growable list of integer points, the quarter-circle arcs from
// which rounded rectangles are filled row by row.
#pragma once

class CPointList
{
public:
    // Both arrays grow together by this many entries when a point is added to a
    // full list.
    enum { GROW_BY = 128, MAX_POINTS = 1 << 24 };

    CPointList();
    ~CPointList();

    CPointList(const CPointList&) = delete;
    CPointList& operator=(const CPointList&) = delete;

    int NPoints() const { return m_iCount; }
    int Capacity() const { return m_iCapacity; }
    // Index i must lie in 0 .. NPoints() - 1; outside, the getters return 0 and
    // the setters do nothing.
    int X(int i) const { return InRange(i) ? m_pX[i] : 0; }
    int Y(int i) const { return InRange(i) ? m_pY[i] : 0; }
    void X(int i, int v);
    void Y(int i, int v);

    // 0 when the list could not grow (memory short or MAX_POINTS reached).
    int AddPoint(int x, int y);
    // Before the first point whose y is smaller than the given y, else at the
    // end: keeps a list ordered by falling y.
    int InsertPointY(int x, int y);
    void RemoveAtIndex(int i);
    void RemoveLast();
    // Drops every point equal to the one before it.
    void RemoveCommonPoints();
    // Frees both arrays.
    void RemoveAll();

private:
    int InRange(int i) const;
    int Grow();

    int* m_pX;
    int* m_pY;
    int m_iCount;
    int m_iCapacity;
};
