// Doubly linked list of untyped pointers, walked with positions (cells). The
// list owns its cells, never the items. Not synchronised.
#pragma once

#include <cstdint>

// One cell of a CRVObList.
struct CRVPos {
    CRVPos* m_pPrev;
    CRVPos* m_pNext;
    void* m_pItem;
};

class CRVObList {
public:
    CRVObList();
    virtual ~CRVObList();

    CRVObList(const CRVObList&) = delete;
    CRVObList& operator=(const CRVObList&) = delete;

    virtual int IsEmpty() const;
    virtual int GetCount() const;
    // Items at the ends; null when empty.
    virtual void* GetHead() const;
    virtual void* GetTail() const;
    virtual CRVPos* GetHeadPosition() const;
    virtual CRVPos* GetTailPosition() const;
    // The item at a position; null for a null position.
    virtual void* GetAt(CRVPos* pos) const;
    // Return the item at pos and move pos to the next (previous) cell, null
    // past the end.
    virtual void* GetNext(CRVPos*& pos) const;
    virtual void* GetPrev(CRVPos*& pos) const;
    // The first cell holding item, or null.
    virtual CRVPos* Find(void* item) const;
    // The cell at a zero-based index, walked from the nearer end; null when
    // out of range.
    virtual CRVPos* FindIndex(int index) const;
    virtual CRVPos* AddHead(void* item);
    virtual CRVPos* AddTail(void* item);
    // The int is accepted for callers that pass a sort key; it is not used.
    virtual CRVPos* AddTail(void* item, int unused);
    // Before pos; a null pos appends.
    virtual CRVPos* InsertBefore(CRVPos* pos, void* item);
    // Inserts the other list's items, in their order, after the first cell
    // holding item; appends them when item is not in the list.
    virtual void InsertAfterObject(const CRVObList* other, void* item);
    virtual int Contains(void* item) const;
    // Removes the first cell holding item; 1 if there was one.
    virtual int Remove(void* item);
    // Remove the cell at that end and return its item; null when empty.
    virtual void* RemoveHead();
    virtual void* RemoveTail();
    virtual void RemoveAt(CRVPos* pos);
    virtual void RemoveAll();
    // A new list (the caller deletes it) holding this list's items in the
    // same order, in cells of its own, so that both lists can be freed.
    virtual CRVObList* CreateSortedList();

private:
    CRVPos* NewCell(CRVPos* before, void* item);
    void FreeCell(CRVPos* cell);

    CRVPos* m_pHead;
    CRVPos* m_pTail;
    uint32_t m_nCount;
};
