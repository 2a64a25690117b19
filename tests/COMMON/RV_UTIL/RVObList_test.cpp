#include "RVObList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

int g_items[16];

void* P(int i) { return &g_items[i]; }

int Id(void* p) { return p ? (int)(static_cast<int*>(p) - g_items) : -1; }

// Items walking forwards with GetNext; checks the backward walk, the count
// and the ends against it.
std::vector<int> Values(const CRVObList& l)
{
    std::vector<int> v;
    for (CRVPos* pos = l.GetHeadPosition(); pos;)
        v.push_back(Id(l.GetNext(pos)));
    std::vector<int> back;
    for (CRVPos* pos = l.GetTailPosition(); pos;)
        back.insert(back.begin(), Id(l.GetPrev(pos)));
    EXPECT_EQ(v, back);
    EXPECT_EQ((int)v.size(), l.GetCount());
    EXPECT_EQ(v.empty(), (bool)l.IsEmpty());
    EXPECT_EQ(v.empty() ? -1 : v.front(), Id(l.GetHead()));
    EXPECT_EQ(v.empty() ? -1 : v.back(), Id(l.GetTail()));
    return v;
}

CRVObList* Make(std::initializer_list<int> ids, CRVObList* l)
{
    for (int i : ids)
        l->AddTail(P(i));
    return l;
}

TEST(ObList, AddAtEndsAndInsertBefore)
{
    CRVObList l;
    EXPECT_EQ((std::vector<int>{}), Values(l));
    CRVPos* one = l.AddTail(P(1));
    EXPECT_EQ(P(1), l.GetAt(one));
    l.AddHead(P(0));
    l.AddTail(P(3), 77);   // the int is ignored
    l.InsertBefore(l.Find(P(3)), P(2));
    l.InsertBefore(nullptr, P(4));           // null: at the tail
    l.InsertBefore(l.GetHeadPosition(), P(5));
    EXPECT_EQ((std::vector<int>{5, 0, 1, 2, 3, 4}), Values(l));
    EXPECT_EQ(nullptr, l.GetAt(nullptr));
}

TEST(ObList, IterationWithPositions)
{
    CRVObList l;
    Make({0, 1, 2}, &l);
    CRVPos* pos = l.GetTailPosition();
    EXPECT_EQ(P(2), l.GetNext(pos));   // the tail item, then past the end
    EXPECT_EQ(nullptr, pos);
    EXPECT_EQ(nullptr, l.GetNext(pos));
    pos = l.GetHeadPosition();
    EXPECT_EQ(P(0), l.GetPrev(pos));
    EXPECT_EQ(nullptr, pos);

    // Removing the current cell while walking, with the position already moved on.
    Make({3, 1, 4}, &l);
    for (pos = l.GetHeadPosition(); pos;) {
        CRVPos* here = pos;
        if (l.GetNext(pos) == P(1))
            l.RemoveAt(here);
    }
    EXPECT_EQ((std::vector<int>{0, 2, 3, 4}), Values(l));
}

TEST(ObList, FindIndexFromEitherEnd)
{
    CRVObList l;
    std::vector<CRVPos*> cells;
    for (int i = 0; i < 7; ++i)
        cells.push_back(l.AddTail(P(i)));
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(cells[i], l.FindIndex(i)) << i;
    EXPECT_EQ(nullptr, l.FindIndex(7));
    EXPECT_EQ(nullptr, l.FindIndex(-1));
    CRVObList empty;
    EXPECT_EQ(nullptr, empty.FindIndex(0));
}

TEST(ObList, FindContainsRemove)
{
    CRVObList l;
    Make({0, 1, 2, 1, 3}, &l);
    EXPECT_EQ(l.FindIndex(1), l.Find(P(1)));   // the first of two
    EXPECT_EQ(1, l.Contains(P(3)));
    EXPECT_EQ(0, l.Contains(P(9)));
    EXPECT_EQ(nullptr, l.Find(P(9)));

    EXPECT_EQ(1, l.Remove(P(1)));   // only the first
    EXPECT_EQ((std::vector<int>{0, 2, 1, 3}), Values(l));
    EXPECT_EQ(0, l.Remove(P(9)));
    EXPECT_EQ(P(0), l.RemoveHead());
    EXPECT_EQ(P(3), l.RemoveTail());
    EXPECT_EQ((std::vector<int>{2, 1}), Values(l));
    l.RemoveAt(l.GetTailPosition());
    l.RemoveAt(l.GetHeadPosition());
    EXPECT_EQ((std::vector<int>{}), Values(l));

    EXPECT_EQ(nullptr, l.RemoveHead());
    EXPECT_EQ(nullptr, l.RemoveTail());
    EXPECT_EQ(0, l.GetCount());

    Make({5, 6}, &l);
    l.RemoveAll();
    EXPECT_EQ((std::vector<int>{}), Values(l));
    l.AddTail(P(7));   // usable after RemoveAll
    EXPECT_EQ((std::vector<int>{7}), Values(l));
}

TEST(ObList, InsertAfterObject)
{
    const struct { std::vector<int> list; int after; std::vector<int> expected; } cases[] = {
        {{0, 1, 2}, 1, {0, 1, 8, 9, 2}},   // middle
        {{0, 1, 2}, 2, {0, 1, 2, 8, 9}},   // after the tail
        {{0, 1, 2}, 5, {0, 1, 2, 8, 9}},   // not present: appended
        {{}, 5, {8, 9}},
        {{1, 0, 1}, 1, {1, 8, 9, 0, 1}},   // after the first match only
    };
    for (const auto& c : cases) {
        CRVObList l, other;
        for (int i : c.list)
            l.AddTail(P(i));
        Make({8, 9}, &other);
        l.InsertAfterObject(&other, P(c.after));
        EXPECT_EQ(c.expected, Values(l)) << "after " << c.after;
        EXPECT_EQ((std::vector<int>{8, 9}), Values(other));
    }

    // A list inserted into itself gets a copy of its old items.
    CRVObList self;
    Make({0, 1, 2}, &self);
    self.InsertAfterObject(&self, P(1));
    EXPECT_EQ((std::vector<int>{0, 1, 0, 1, 2, 2}), Values(self));
}

TEST(ObList, CreateSortedListCopiesTheCells)
{
    CRVObList* l = Make({2, 0, 1}, new CRVObList);
    CRVObList* copy = l->CreateSortedList();
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ((std::vector<int>{2, 0, 1}), Values(*copy));
    EXPECT_NE(l->GetHeadPosition(), copy->GetHeadPosition());
    // Both lists own their cells: changing or deleting one leaves the other whole.
    l->RemoveHead();
    delete l;
    EXPECT_EQ((std::vector<int>{2, 0, 1}), Values(*copy));
    delete copy;
}

}  // namespace
