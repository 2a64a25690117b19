#include "rvarray.h"

#include "rvdebug.h"

#include <cstdlib>
#include <cstring>
#include <utility>

// ---------------------------------------------------------------- CRVArray

namespace {

// Capacity is a 32-bit count of pointers but has to fit a signed int for the
// accessors and a size_t in bytes for the allocator.
const uint32_t kMaxCapacity = 0x7FFFFFFFu / sizeof(CRVObject*);

CRVObject** NewBlock(uint32_t n)
{
    return static_cast<CRVObject**>(std::malloc((size_t)(n ? n : 1) * sizeof(CRVObject*)));
}

}  // namespace

CRVArray::CRVArray() : m_pItems(nullptr), m_nCapacity(0), m_nCount(0) {}

CRVArray::~CRVArray() { std::free(m_pItems); }

uint32_t CRVArray::GrowthStep(uint32_t count)
{
    if (count <= 512)
        return 8;
    if (count <= 1024)
        return 32;
    return 256;
}

int CRVArray::Grow()
{
    uint32_t step = GrowthStep(m_nCount);
    if (m_nCapacity > kMaxCapacity - step)
        return 0;
    return Alloc((int)(m_nCapacity + step));
}

int CRVArray::AddObject(CRVObject* item)
{
    if (m_nCount >= m_nCapacity && !Grow())
        return 0;
    m_pItems[m_nCount++] = item;
    return (int)m_nCount;
}

int CRVArray::InsertAtIndex(int index, CRVObject* item)
{
    RV_ASSERT(index >= 0 && (uint32_t)index <= m_nCount);
    uint32_t at = index < 0 ? 0 : (uint32_t)index > m_nCount ? m_nCount : (uint32_t)index;
    if (m_nCount >= m_nCapacity && !Grow())
        return 0;
    std::memmove(m_pItems + at + 1, m_pItems + at, (m_nCount - at) * sizeof(CRVObject*));
    m_pItems[at] = item;
    return (int)++m_nCount;
}

CRVObject* CRVArray::ObjectAtIndex(int index) const
{
    if (index < 0 || (uint32_t)index >= m_nCount)
        return nullptr;
    return m_pItems[index];
}

int CRVArray::DeleteNode(CRVObject* item)
{
    uint32_t kept = 0;
    for (uint32_t i = 0; i < m_nCount; ++i) {
        if (m_pItems[i] != item)
            m_pItems[kept++] = m_pItems[i];
    }
    int removed = kept != m_nCount;
    m_nCount = kept;
    return removed;
}

void CRVArray::RemoveAllItems()
{
    std::free(m_pItems);
    m_pItems = nullptr;
    m_nCapacity = 0;
    m_nCount = 0;
}

int CRVArray::Alloc(int n)
{
    if (n < 0 || (uint32_t)n < m_nCount || (uint32_t)n > kMaxCapacity) {
        RV_ASSERT(0);
        return 0;
    }
    CRVObject** block = NewBlock((uint32_t)n);
    if (!block)
        return 0;
    if (m_nCount)
        std::memcpy(block, m_pItems, m_nCount * sizeof(CRVObject*));
    std::free(m_pItems);
    m_pItems = block;
    m_nCapacity = (uint32_t)n;
    return 1;
}

int CRVArray::AppendContentsFrom(const CRVArray& other)
{
    // Read the other's count first: appending an array to itself doubles it.
    uint32_t theirs = other.m_nCount;
    if (!theirs)
        return 1;
    if (m_nCount > kMaxCapacity - theirs)
        return 0;
    uint32_t total = m_nCount + theirs;
    if (total > m_nCapacity && !Alloc((int)total))
        return 0;
    std::memcpy(m_pItems + m_nCount, other.m_pItems, theirs * sizeof(CRVObject*));
    m_nCount = total;
    return 1;
}

void CRVArray::TransferContentsFrom(CRVArray& other)
{
    if (&other == this)
        return;
    std::free(m_pItems);
    m_pItems = other.m_pItems;
    m_nCapacity = other.m_nCapacity;
    m_nCount = other.m_nCount;
    other.m_pItems = nullptr;
    other.m_nCapacity = 0;
    other.m_nCount = 0;
}

CRVObject** CRVArray::DetachArray()
{
    CRVObject** block = m_pItems;
    m_pItems = nullptr;
    m_nCapacity = 0;
    m_nCount = 0;
    return block;
}

void CRVArray::FreeArray(CRVObject** block) { std::free(block); }

// ------------------------------------------------------------- CRVLinkList

CRVLinkList::CRVLinkList() : m_pHead(nullptr), m_pTail(nullptr), m_nCount(0) {}

CRVLinkList::~CRVLinkList() { DeleteAllNodes(); }

void CRVLinkList::AppendNode(CRVNode* node) { LinkBefore(nullptr, node); }

void CRVLinkList::AppendNodeAtHead(CRVNode* node) { LinkBefore(m_pHead, node); }

void CRVLinkList::InsertAtIndex(int index, CRVNode* node)
{
    if (index < 1)
        LinkBefore(m_pHead, node);
    else
        LinkBefore(NodeAtIndex(index), node);  // null past the end: append
}

// Links node in front of at; a null at appends.
void CRVLinkList::LinkBefore(CRVNode* at, CRVNode* node)
{
    RV_ASSERT(node);
    if (!node)
        return;
    node->m_pNext = at;
    node->m_pPrev = at ? at->m_pPrev : m_pTail;
    if (node->m_pPrev)
        node->m_pPrev->m_pNext = node;
    else
        m_pHead = node;
    if (at)
        at->m_pPrev = node;
    else
        m_pTail = node;
    ++m_nCount;
}

CRVNode* CRVLinkList::NodeAtIndex(int index) const
{
    if (index < 0 || (uint32_t)index >= m_nCount)
        return nullptr;
    CRVNode* node;
    if ((uint32_t)index < m_nCount / 2) {
        node = m_pHead;
        for (int i = 0; i < index; ++i)
            node = node->m_pNext;
    } else {
        node = m_pTail;
        for (uint32_t i = m_nCount - 1; i > (uint32_t)index; --i)
            node = node->m_pPrev;
    }
    return node;
}

int CRVLinkList::IndexOf(const CRVNode* node) const
{
    int i = 0;
    for (const CRVNode* n = m_pHead; n; n = n->m_pNext, ++i) {
        if (n == node)
            return i;
    }
    return -1;
}

// A cheap plausibility check that a node is linked into this list: its ends
// must agree with our head and tail and its neighbours must point back at it.
// A node of another list whose neighbours are consistent is not caught; the
// full check would make every delete a walk of the list.
static bool Linked(const CRVNode* node, const CRVNode* head, const CRVNode* tail)
{
    if (!node)
        return false;
    if (node->m_pPrev ? node->m_pPrev->m_pNext != node : node != head)
        return false;
    if (node->m_pNext ? node->m_pNext->m_pPrev != node : node != tail)
        return false;
    return true;
}

void CRVLinkList::Unlink(CRVNode* node)
{
    if (node->m_pPrev)
        node->m_pPrev->m_pNext = node->m_pNext;
    else
        m_pHead = node->m_pNext;
    if (node->m_pNext)
        node->m_pNext->m_pPrev = node->m_pPrev;
    else
        m_pTail = node->m_pPrev;
    node->m_pNext = node->m_pPrev = nullptr;
    --m_nCount;
}

void CRVLinkList::SwapNodes(CRVNode* a, CRVNode* b)
{
    if (a == b || !Linked(a, m_pHead, m_pTail) || !Linked(b, m_pHead, m_pTail)) {
        RV_ASSERT(a == b);
        return;
    }
    // Move b in front of a, then a in front of b's old successor. Naming the
    // nodes so that b never directly precedes a keeps that successor distinct
    // from a, which makes adjacent and distant nodes one case.
    if (b->m_pNext == a)
        std::swap(a, b);
    CRVNode* afterB = b->m_pNext;
    Unlink(b);
    LinkBefore(a, b);
    Unlink(a);
    LinkBefore(afterB, a);
}

int CRVLinkList::DeleteNode(CRVNode* node)
{
    if (!Linked(node, m_pHead, m_pTail)) {
        RV_ASSERT(0);
        return 0;
    }
    Unlink(node);
    delete node;
    return 1;
}

int CRVLinkList::DeleteNode(int index)
{
    CRVNode* node = NodeAtIndex(index);
    if (!node)
        return 0;
    Unlink(node);
    delete node;
    return 1;
}

void CRVLinkList::DeleteAllNodes()
{
    CRVNode* node = m_pHead;
    m_pHead = m_pTail = nullptr;
    m_nCount = 0;
    while (node) {
        CRVNode* next = node->m_pNext;
        delete node;
        node = next;
    }
}
