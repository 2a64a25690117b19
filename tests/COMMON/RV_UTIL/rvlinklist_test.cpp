#include "rvarray.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A node that counts its destructions, to check the list's ownership.
struct Node : CRVNode {
    Node(int v, int* deaths) : value(v), deaths(deaths) {}
    ~Node() override { ++*deaths; }
    int value;
    int* deaths;
};

class LinkListTest : public ::testing::Test {
protected:
    Node* Make(int v) { return new Node(v, &deaths); }

    // Values walking forwards; also checks that the backward links, head,
    // tail and count agree with the forward walk.
    std::vector<int> Values(const CRVLinkList& l)
    {
        std::vector<int> v;
        const CRVNode* prev = nullptr;
        for (const CRVNode* n = l.GetHead(); n; prev = n, n = n->m_pNext) {
            EXPECT_EQ(prev, n->m_pPrev);
            v.push_back(static_cast<const Node*>(n)->value);
        }
        EXPECT_EQ(prev, l.GetTail());
        EXPECT_EQ((int)v.size(), l.GetCount());
        return v;
    }

    int deaths = 0;
};

TEST_F(LinkListTest, AppendInsertAndIndex)
{
    CRVLinkList l;
    l.AppendNode(Make(1));
    l.AppendNode(Make(2));
    l.AppendNodeAtHead(Make(0));
    l.InsertAtIndex(1, Make(10));    // before the node at 1
    l.InsertAtIndex(0, Make(11));    // below 1: at the head
    l.InsertAtIndex(-5, Make(12));
    l.InsertAtIndex(6, Make(13));    // at the count: appended
    l.InsertAtIndex(100, Make(14));
    EXPECT_EQ((std::vector<int>{12, 11, 0, 10, 1, 2, 13, 14}), Values(l));

    CRVNode* third = l.NodeAtIndex(2);
    EXPECT_EQ(0, static_cast<Node*>(third)->value);
    EXPECT_EQ(2, l.IndexOf(third));
    Node stranger(99, &deaths);
    EXPECT_EQ(-1, l.IndexOf(&stranger));
    EXPECT_EQ(nullptr, l.NodeAtIndex(8));
    EXPECT_EQ(nullptr, l.NodeAtIndex(-1));
}

TEST_F(LinkListTest, NodeAtIndexFromEitherEnd)
{
    CRVLinkList l;
    std::vector<CRVNode*> nodes;
    for (int i = 0; i < 1000; ++i) {
        nodes.push_back(Make(i));
        l.AppendNode(nodes.back());
    }
    for (int i : {0, 1, 499, 500, 501, 998, 999})
        EXPECT_EQ(nodes[i], l.NodeAtIndex(i)) << i;
}

TEST_F(LinkListTest, SwapNodes)
{
    // index pairs to swap in the list 0..4 and the order expected
    const struct { int a, b; std::vector<int> expected; } cases[] = {
        {0, 4, {4, 1, 2, 3, 0}},   // head and tail
        {1, 2, {0, 2, 1, 3, 4}},   // adjacent
        {2, 1, {0, 2, 1, 3, 4}},   // adjacent, named the other way round
        {0, 1, {1, 0, 2, 3, 4}},   // adjacent at the head
        {4, 3, {0, 1, 2, 4, 3}},   // adjacent at the tail
        {1, 3, {0, 3, 2, 1, 4}},   // apart
        {2, 2, {0, 1, 2, 3, 4}},   // the same node
    };
    for (const auto& c : cases) {
        CRVLinkList l;
        for (int i = 0; i < 5; ++i)
            l.AppendNode(Make(i));
        l.SwapNodes(l.NodeAtIndex(c.a), l.NodeAtIndex(c.b));
        EXPECT_EQ(c.expected, Values(l)) << c.a << "<->" << c.b;
    }

    CRVLinkList two;
    CRVNode* a = Make(0);
    CRVNode* b = Make(1);
    two.AppendNode(a);
    two.AppendNode(b);
    two.SwapNodes(a, b);
    EXPECT_EQ(b, two.GetHead());
    EXPECT_EQ(a, two.GetTail());
    EXPECT_EQ((std::vector<int>{1, 0}), Values(two));
}

TEST_F(LinkListTest, DeleteNodesOwnsAndFreesThem)
{
    CRVLinkList l;
    std::vector<CRVNode*> nodes;
    for (int i = 0; i < 5; ++i) {
        nodes.push_back(Make(i));
        l.AppendNode(nodes.back());
    }
    EXPECT_EQ(1, l.DeleteNode(nodes[2]));   // middle
    EXPECT_EQ(1, l.DeleteNode(0));          // head by index
    EXPECT_EQ(1, l.DeleteNode(nodes[4]));   // tail
    EXPECT_EQ(0, l.DeleteNode(5));
    EXPECT_EQ(0, l.DeleteNode(-1));
    EXPECT_EQ(3, deaths);
    EXPECT_EQ((std::vector<int>{1, 3}), Values(l));

    // A node that is not in the list is refused, not unlinked.
    Node* stranger = Make(7);
    EXPECT_EQ(0, l.DeleteNode(stranger));
    EXPECT_EQ(0, l.DeleteNode(nullptr));
    EXPECT_EQ(3, deaths);
    delete stranger;
    deaths = 0;

    l.DeleteAllNodes();
    EXPECT_EQ(2, deaths);
    EXPECT_EQ(nullptr, l.GetHead());
    EXPECT_EQ(nullptr, l.GetTail());
    EXPECT_EQ(0, l.GetCount());

    {
        CRVLinkList scoped;
        scoped.AppendNode(Make(0));
        scoped.AppendNode(Make(1));
    }
    EXPECT_EQ(4, deaths);
}

}  // namespace
