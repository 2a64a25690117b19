#include "rvarray.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Item : CRVObject {
    explicit Item(int v) : value(v) {}
    int value;
};

class ArrayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 1100; ++i)
            items.emplace_back(i);
    }

    void Fill(CRVArray& a, int n)
    {
        for (int i = 0; i < n; ++i)
            a.AddObject(&items[i]);
    }

    // The values of the array's items, in order.
    static std::vector<int> Values(const CRVArray& a)
    {
        std::vector<int> v;
        for (int i = 0; i < a.GetCount(); ++i)
            v.push_back(static_cast<Item*>(a.ObjectAtIndex(i))->value);
        return v;
    }

    std::vector<Item> items;
};

TEST_F(ArrayTest, CapacityGrowsBy8ThenBy32ThenBy256)
{
    // Count after the add -> capacity: steps of 8 up to a full 512, then 32
    // while the count is at most 1024, then 256.
    const struct { int count, capacity; } cases[] = {
        {1, 8}, {8, 8}, {9, 16}, {512, 512}, {513, 520}, {520, 520},
        {521, 552}, {1024, 1032}, {1032, 1032}, {1033, 1288},
    };
    CRVArray a;
    EXPECT_EQ(0, a.GetCapacity());
    int n = 0;
    for (const auto& c : cases) {
        for (; n < c.count; ++n)
            ASSERT_EQ(n + 1, a.AddObject(&items[n]));
        EXPECT_EQ(c.capacity, a.GetCapacity()) << "at count " << c.count;
    }
}

TEST_F(ArrayTest, InsertAtIndexGrowsTheSameWayAndShiftsUp)
{
    CRVArray a;
    Fill(a, 8);
    EXPECT_EQ(9, a.InsertAtIndex(0, &items[100]));
    EXPECT_EQ(16, a.GetCapacity());
    EXPECT_EQ(10, a.InsertAtIndex(9, &items[101]));   // at the end
    EXPECT_EQ(11, a.InsertAtIndex(5, &items[102]));   // in the middle
    EXPECT_EQ((std::vector<int>{100, 0, 1, 2, 3, 102, 4, 5, 6, 7, 101}), Values(a));
    // Out-of-range indexes are clamped to the ends instead of writing outside.
    a.InsertAtIndex(-3, &items[103]);
    a.InsertAtIndex(999, &items[104]);
    EXPECT_EQ(103, Values(a).front());
    EXPECT_EQ(104, Values(a).back());
}

TEST_F(ArrayTest, ObjectAtIndexIsNullOutsideTheItems)
{
    CRVArray a;
    EXPECT_EQ(nullptr, a.ObjectAtIndex(0));
    Fill(a, 3);
    EXPECT_EQ(&items[2], a.ObjectAtIndex(2));
    EXPECT_EQ(nullptr, a.ObjectAtIndex(3));   // capacity is 8: still outside
    EXPECT_EQ(nullptr, a.ObjectAtIndex(-1));
}

TEST_F(ArrayTest, DeleteNodeRemovesEveryOccurrenceKeepingOrder)
{
    CRVArray a;
    Item* x = &items[50];
    for (int v : {0, 50, 1, 2, 50, 3, 50})
        a.AddObject(&items[v]);
    EXPECT_EQ(1, a.DeleteNode(x));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), Values(a));
    EXPECT_EQ(0, a.DeleteNode(x));
    EXPECT_EQ(1, a.DeleteNode(&items[0]));   // at the head
    EXPECT_EQ(1, a.DeleteNode(&items[3]));   // at the tail
    EXPECT_EQ((std::vector<int>{1, 2}), Values(a));
}

TEST_F(ArrayTest, AllocRemoveAllAndDetach)
{
    CRVArray a;
    Fill(a, 5);
    EXPECT_EQ(1, a.Alloc(100));
    EXPECT_EQ(100, a.GetCapacity());
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), Values(a));
    EXPECT_EQ(1, a.Alloc(5));
    EXPECT_EQ(5, a.GetCapacity());
    EXPECT_EQ(0, a.Alloc(4));   // would drop items
    EXPECT_EQ(5, a.GetCount());

    CRVObject** block = a.DetachArray();
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(&items[4], block[4]);
    EXPECT_EQ(0, a.GetCount());
    EXPECT_EQ(0, a.GetCapacity());
    CRVArray::FreeArray(block);

    Fill(a, 3);
    a.RemoveAllItems();
    EXPECT_EQ(0, a.GetCount());
    EXPECT_EQ(0, a.GetCapacity());
    EXPECT_EQ(1, a.AddObject(&items[7]));   // usable again
}

TEST_F(ArrayTest, AppendAndTransferContents)
{
    CRVArray a, b;
    Fill(a, 3);
    for (int v : {10, 11})
        b.AddObject(&items[v]);
    EXPECT_EQ(1, a.AppendContentsFrom(b));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 10, 11}), Values(a));
    EXPECT_EQ(2, b.GetCount());   // the other keeps its items

    // Room is made for exactly both counts.
    CRVArray full;
    Fill(full, 8);
    full.AppendContentsFrom(b);
    EXPECT_EQ(10, full.GetCapacity());

    // Appending an array to itself doubles it.
    b.AppendContentsFrom(b);
    EXPECT_EQ((std::vector<int>{10, 11, 10, 11}), Values(b));

    CRVArray c;
    Fill(c, 1);
    c.TransferContentsFrom(a);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 10, 11}), Values(c));
    EXPECT_EQ(0, a.GetCount());
    EXPECT_EQ(0, a.GetCapacity());
    EXPECT_EQ(nullptr, a.ObjectAtIndex(0));
    c.TransferContentsFrom(c);   // no-op, keeps the items
    EXPECT_EQ(5, c.GetCount());
}

}  // namespace
