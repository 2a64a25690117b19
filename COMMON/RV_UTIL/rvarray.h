// The growable pointer array and the owning intrusive linked list of the
// foundation library. Neither is synchronised: an owner that shares one
// between threads takes its own lock.
#pragma once

#include <cstdint>

// Base of the objects kept in a CRVArray; gives them a virtual destructor so
// owners that delete what they took out of an array delete the whole object.
class CRVObject {
public:
    virtual ~CRVObject() {}
};

// Array of object pointers. The array owns only its block, never the items.
class CRVArray {
public:
    CRVArray();
    virtual ~CRVArray();

    CRVArray(const CRVArray&) = delete;
    CRVArray& operator=(const CRVArray&) = delete;

    // Appends; returns the new count, or 0 if the block could not grow.
    int AddObject(CRVObject* item);
    // Inserts before the item at index (clamped to 0..count); returns the new
    // count, or 0 if the block could not grow.
    int InsertAtIndex(int index, CRVObject* item);
    // The item, or null outside 0..count-1.
    CRVObject* ObjectAtIndex(int index) const;
    // Removes every occurrence of item, keeping the order of the rest; 1 if
    // any was removed.
    int DeleteNode(CRVObject* item);
    // Frees the block; count and capacity become 0.
    void RemoveAllItems();
    // Replaces the block with one of exactly n entries holding the current
    // items. Refused (0) when n is below the count.
    int Alloc(int n);
    // Appends the other's items (the other keeps them too); the block is made
    // exactly large enough for both. 1 on success.
    int AppendContentsFrom(const CRVArray& other);
    // Takes over the other's block, count and capacity; the other becomes empty.
    void TransferContentsFrom(CRVArray& other);
    // Hands the block to the caller (release it with FreeArray) and forgets it.
    CRVObject** DetachArray();
    static void FreeArray(CRVObject** block);

    int GetCount() const { return (int)m_nCount; }
    int GetCapacity() const { return (int)m_nCapacity; }

private:
    // Growth step for a full array: small arrays grow a little at a time,
    // large ones in bigger steps so appends stay cheap.
    static uint32_t GrowthStep(uint32_t count);
    int Grow();

    CRVObject** m_pItems;
    uint32_t m_nCapacity;
    uint32_t m_nCount;
};

// A node of a CRVLinkList; classes kept in such a list derive from it.
class CRVNode {
public:
    CRVNode() : m_pNext(nullptr), m_pPrev(nullptr) {}
    virtual ~CRVNode() {}

    CRVNode* m_pNext;
    CRVNode* m_pPrev;
};

// Doubly linked list that owns its nodes: deleting a node from it, emptying it
// and destroying it delete the nodes.
class CRVLinkList {
public:
    CRVLinkList();
    virtual ~CRVLinkList();

    CRVLinkList(const CRVLinkList&) = delete;
    CRVLinkList& operator=(const CRVLinkList&) = delete;

    void AppendNode(CRVNode* node);
    void AppendNodeAtHead(CRVNode* node);
    // Before the node at index; below 1 inserts at the head, at or beyond the
    // count appends.
    void InsertAtIndex(int index, CRVNode* node);
    // Walks from the nearer end; null outside 0..count-1.
    CRVNode* NodeAtIndex(int index) const;
    // Position from the head, or -1.
    int IndexOf(const CRVNode* node) const;
    // Exchanges the places of two nodes of this list, adjacent or not.
    void SwapNodes(CRVNode* a, CRVNode* b);
    // Unlinks and deletes; 0 when the node (or index) is not in the list.
    int DeleteNode(CRVNode* node);
    int DeleteNode(int index);
    void DeleteAllNodes();

    CRVNode* GetHead() const { return m_pHead; }
    CRVNode* GetTail() const { return m_pTail; }
    int GetCount() const { return (int)m_nCount; }

private:
    void Unlink(CRVNode* node);
    void LinkBefore(CRVNode* at, CRVNode* node);

    CRVNode* m_pHead;
    CRVNode* m_pTail;
    uint32_t m_nCount;
};
