#include "RVObList.h"

#include "rvdebug.h"

#include <new>

CRVObList::CRVObList() : m_pHead(nullptr), m_pTail(nullptr), m_nCount(0) {}

CRVObList::~CRVObList() { RemoveAll(); }

int CRVObList::IsEmpty() const { return m_nCount == 0; }

int CRVObList::GetCount() const { return (int)m_nCount; }

void* CRVObList::GetHead() const { return m_pHead ? m_pHead->m_pItem : nullptr; }

void* CRVObList::GetTail() const { return m_pTail ? m_pTail->m_pItem : nullptr; }

CRVPos* CRVObList::GetHeadPosition() const { return m_pHead; }

CRVPos* CRVObList::GetTailPosition() const { return m_pTail; }

void* CRVObList::GetAt(CRVPos* pos) const { return pos ? pos->m_pItem : nullptr; }

void* CRVObList::GetNext(CRVPos*& pos) const
{
    if (!pos)
        return nullptr;
    void* item = pos->m_pItem;
    pos = pos->m_pNext;
    return item;
}

void* CRVObList::GetPrev(CRVPos*& pos) const
{
    if (!pos)
        return nullptr;
    void* item = pos->m_pItem;
    pos = pos->m_pPrev;
    return item;
}

CRVPos* CRVObList::Find(void* item) const
{
    for (CRVPos* p = m_pHead; p; p = p->m_pNext) {
        if (p->m_pItem == item)
            return p;
    }
    return nullptr;
}

CRVPos* CRVObList::FindIndex(int index) const
{
    if (index < 0 || (uint32_t)index >= m_nCount)
        return nullptr;
    CRVPos* p;
    if ((uint32_t)index < m_nCount / 2) {
        p = m_pHead;
        for (int i = 0; i < index; ++i)
            p = p->m_pNext;
    } else {
        p = m_pTail;
        for (uint32_t i = m_nCount - 1; i > (uint32_t)index; --i)
            p = p->m_pPrev;
    }
    return p;
}

// Links a new cell in front of before (null: at the tail); null when out of
// memory.
CRVPos* CRVObList::NewCell(CRVPos* before, void* item)
{
    CRVPos* cell = new (std::nothrow) CRVPos;
    if (!cell)
        return nullptr;
    cell->m_pItem = item;
    cell->m_pNext = before;
    cell->m_pPrev = before ? before->m_pPrev : m_pTail;
    if (cell->m_pPrev)
        cell->m_pPrev->m_pNext = cell;
    else
        m_pHead = cell;
    if (before)
        before->m_pPrev = cell;
    else
        m_pTail = cell;
    ++m_nCount;
    return cell;
}

void CRVObList::FreeCell(CRVPos* cell)
{
    if (cell->m_pPrev)
        cell->m_pPrev->m_pNext = cell->m_pNext;
    else
        m_pHead = cell->m_pNext;
    if (cell->m_pNext)
        cell->m_pNext->m_pPrev = cell->m_pPrev;
    else
        m_pTail = cell->m_pPrev;
    --m_nCount;
    delete cell;
}

CRVPos* CRVObList::AddHead(void* item) { return NewCell(m_pHead, item); }

CRVPos* CRVObList::AddTail(void* item) { return NewCell(nullptr, item); }

CRVPos* CRVObList::AddTail(void* item, int) { return NewCell(nullptr, item); }

CRVPos* CRVObList::InsertBefore(CRVPos* pos, void* item) { return NewCell(pos, item); }

void CRVObList::InsertAfterObject(const CRVObList* other, void* item)
{
    if (!other || !other->m_nCount)
        return;
    // Snapshot the items first: the other list may be this one, and inserting
    // into a list while walking it would visit the new cells too.
    uint32_t n = other->m_nCount;
    void** items = new (std::nothrow) void*[n];
    if (!items)
        return;
    uint32_t i = 0;
    for (CRVPos* p = other->m_pHead; p && i < n; p = p->m_pNext)
        items[i++] = p->m_pItem;

    CRVPos* anchor = Find(item);
    CRVPos* before = anchor ? anchor->m_pNext : nullptr;
    for (uint32_t k = 0; k < i; ++k) {
        if (!NewCell(before, items[k]))
            break;
    }
    delete[] items;
}

int CRVObList::Contains(void* item) const { return Find(item) != nullptr; }

int CRVObList::Remove(void* item)
{
    CRVPos* cell = Find(item);
    if (!cell)
        return 0;
    FreeCell(cell);
    return 1;
}

void* CRVObList::RemoveHead()
{
    if (!m_pHead)
        return nullptr;
    void* item = m_pHead->m_pItem;
    FreeCell(m_pHead);
    return item;
}

void* CRVObList::RemoveTail()
{
    if (!m_pTail)
        return nullptr;
    void* item = m_pTail->m_pItem;
    FreeCell(m_pTail);
    return item;
}

void CRVObList::RemoveAt(CRVPos* pos)
{
    RV_ASSERT(pos);
    if (pos)
        FreeCell(pos);
}

void CRVObList::RemoveAll()
{
    CRVPos* p = m_pHead;
    m_pHead = m_pTail = nullptr;
    m_nCount = 0;
    while (p) {
        CRVPos* next = p->m_pNext;
        delete p;
        p = next;
    }
}

CRVObList* CRVObList::CreateSortedList()
{
    // Sharing the cells would free them twice when both lists go; a copy of
    // the cells costs one walk and keeps each list the owner of its own.
    CRVObList* list = new (std::nothrow) CRVObList;
    if (!list)
        return nullptr;
    for (CRVPos* p = m_pHead; p; p = p->m_pNext) {
        if (!list->AddTail(p->m_pItem)) {
            delete list;
            return nullptr;
        }
    }
    return list;
}
