// CTextAtlas: where a new text goes (first fit) and which entries make room.
#include "text_atlas.h"

int CTextAtlas::FindEmptySlot(int w, int h, int* px, int* py) const
{
    const int side = CTextAtlasRenderObject::SIDE;
    if (w < 1 || h < 1 || w > side || h > side)
        return 0;
    int x = 0, y = 0;
    // Where the next row starts: the row's own y until the first collision
    // in it, then the bottom of what it hit (lowered by wider entries after).
    int iNextRow = 0;
    int bFirstHit = 1;
    // The last texel row is kept free: a slot ends above it.
    while (y < side - h) {
        const CTextAtlasEntry* pHit = nullptr;
        for (int i = 0; i < m_iEntries && !pHit; i++)
            if (m_pEntries[i]->TestIntersect(x, y, w, h))
                pHit = m_pEntries[i];
        if (!pHit) {
            *px = x;
            *py = y;
            return 1;
        }
        const int iRight = pHit->SlotX() + pHit->ImageWidth();
        const int iBottom = pHit->SlotY() + pHit->ImageHeight();
        if (iRight - 1 >= side - w) {
            // No room left in this row. Every collision ends below y, so the
            // next row is always further down and the search ends.
            y = iNextRow > y ? iNextRow : y + 1;
            x = 0;
            iNextRow = y;
            bFirstHit = 1;
        } else {
            x = iRight;     // past the entry: x grows within the row
            if (bFirstHit) {
                iNextRow = iBottom;
                bFirstHit = 0;
            } else if (pHit->ImageWidth() > w && iBottom - 1 > y && iBottom < iNextRow) {
                iNextRow = iBottom;
            }
        }
    }
    return 0;
}

int CTextAtlas::FreeBlocks(int bAll)
{
    int bFreed = 0;
    for (int i = 0; i < m_iEntries;) {
        // Held by the atlas alone: no surface shows it and no draw is queued.
        if (m_pEntries[i]->RefCount() <= 1) {
            RemoveEntry(i);
            bFreed = 1;
            if (!bAll)
                break;
        } else {
            i++;
        }
    }
    return bFreed;
}

void CTextAtlas::RemoveEntry(int i)
{
    CTextAtlasEntry* pEntry = m_pEntries[i];
    for (int j = i + 1; j < m_iEntries; j++)
        m_pEntries[j - 1] = m_pEntries[j];
    m_iEntries--;
    pEntry->Release();
}
