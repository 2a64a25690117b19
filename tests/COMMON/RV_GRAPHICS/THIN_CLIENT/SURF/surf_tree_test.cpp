// The surface tree: linking, removal, search order, inherited and subtree
// state, attribute rules and the controller's attribute commands.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine_fixture.h"
#include "surf.h"

namespace {

CRVRect R(int x, int y, int w, int h)
{
    return CRVRect(x, y, w, h);
}

std::vector<int> ChildIDs(const CSurf* p)
{
    std::vector<int> ids;
    for (CSurf* c = p->FirstChild(); c; c = c->NextSibling())
        ids.push_back(c->ID());
    return ids;
}

std::vector<int> ChildIDsBackwards(const CSurf* p)
{
    std::vector<int> ids;
    for (CSurf* c = p->LastChild(); c; c = c->PrevSibling())
        ids.push_back(c->ID());
    return ids;
}

class SurfTree : public ::testing::Test
{
protected:
    void SetUp() override { CSurf::g_bRenderGL = 0; }
    CSurf root{ nullptr, 0, R(0, 0, 800, 600), R(0, 0, 600, 800) };
};

TEST_F(SurfTree, HeadAndTailLinkingKeepsBothDirections)
{
    CSurf* a = new CSurf(&root, 1, R(0, 0, 10, 10), R(0, 0, 10, 10));
    CSurf* b = new CSurf(&root, 2, R(0, 0, 10, 10), R(0, 0, 10, 10));
    CSurf* c = new CSurf(&root, 3, R(0, 0, 10, 10), R(0, 0, 10, 10));
    root.AddChildTail(c);
    root.AddChildHead(a);   // under c
    root.AddChildHead(b);   // under a: drawn first
    EXPECT_EQ(ChildIDs(&root), (std::vector<int>{ 2, 1, 3 }));
    EXPECT_EQ(ChildIDsBackwards(&root), (std::vector<int>{ 3, 1, 2 }));
    EXPECT_TRUE(root.State() & CSurf::SS_CHILDREN);
    EXPECT_EQ(a->Parent(), &root);
}

TEST_F(SurfTree, RemoveByIDTakesTheFirstMatchAndRelinks)
{
    for (int id : { 1, 2, 2, 3 })
        root.AddChildTail(new CSurf(&root, id, R(0, 0, 1, 1), R(0, 0, 1, 1)));
    CSurf* first2 = root.FirstChild()->NextSibling();
    std::unique_ptr<CSurf> removed(root.RemoveSubSurf(2));
    EXPECT_EQ(removed.get(), first2);
    EXPECT_EQ(removed->NextSibling(), nullptr);
    EXPECT_EQ(removed->PrevSibling(), nullptr);
    EXPECT_EQ(ChildIDs(&root), (std::vector<int>{ 1, 2, 3 }));
    EXPECT_EQ(root.RemoveSubSurf(99), nullptr);

    // Removing the last and the first keeps head and tail right.
    std::unique_ptr<CSurf> last(root.RemoveSubSurf(3));
    std::unique_ptr<CSurf> head(root.RemoveSubSurf(root.FirstChild()));
    EXPECT_EQ(ChildIDs(&root), (std::vector<int>{ 2 }));
    EXPECT_EQ(root.FirstChild(), root.LastChild());
    // A surface that is not a child is refused.
    EXPECT_EQ(root.RemoveSubSurf(head.get()), nullptr);
}

TEST_F(SurfTree, FindSurfaceSearchesDepthFirstSelfFirst)
{
    // root(0) -> a(5) -> a1(7); b(7) : the 7 below a is found before b.
    CSurf* a = new CSurf(&root, 5, R(0, 0, 1, 1), R(0, 0, 1, 1));
    CSurf* a1 = new CSurf(a, 7, R(0, 0, 1, 1), R(0, 0, 1, 1));
    CSurf* b = new CSurf(&root, 7, R(0, 0, 1, 1), R(0, 0, 1, 1));
    a->AddChildTail(a1);
    root.AddChildTail(a);
    root.AddChildTail(b);
    EXPECT_EQ(root.FindSurface(7), a1);
    EXPECT_EQ(root.FindSurface(0), &root);
    EXPECT_EQ(b->FindSurface(7), b);
    EXPECT_EQ(a->FindSurface(99), nullptr);
    EXPECT_EQ(root.FindSurface(b), b);
    EXPECT_EQ(a->FindSurface(b), nullptr);
}

TEST_F(SurfTree, ConstructionInheritsStateAndStartsNeutral)
{
    CRecordingSurf parent(nullptr, 1, R(0, 0, 1, 1));
    parent.m_iState = 0x20 | 0x80;
    CSurf child(&parent, 2, R(0, 0, 1, 1), R(0, 0, 1, 1));
    EXPECT_EQ(child.State(), CSurf::SS_INHERIT_40 | CSurf::SS_INHERIT_100);
    EXPECT_EQ(child.Alpha(), 255);
    EXPECT_EQ(child.GetTransform(), R(0, 0, 1000, 1000));
    EXPECT_EQ(child.TouchScale(), 1000);
    EXPECT_EQ(child.PinchMin(), 1000);
    EXPECT_EQ(child.PinchMax(), 20000);
    // Linked only by the caller.
    EXPECT_EQ(parent.FirstChild(), nullptr);

    // A parent with 0x80 also marks its font state when children come.
    parent.AddChildTail(new CSurf(&parent, 3, R(0, 0, 1, 1), R(0, 0, 1, 1)));
    EXPECT_TRUE(parent.State() & CSurf::SS_FONT_CHANGED);
}

TEST_F(SurfTree, StateFlagsReachTheWholeSubtree)
{
    CSurf* a = new CSurf(&root, 1, R(0, 0, 1, 1), R(0, 0, 1, 1));
    CSurf* a1 = new CSurf(a, 2, R(0, 0, 1, 1), R(0, 0, 1, 1));
    a->AddChildTail(a1);
    root.AddChildTail(a);
    root.SetStateFlags(0x10200);
    EXPECT_EQ(a1->State() & 0x10200, 0x10200);
    a->ClearStateFlags(0x200);
    EXPECT_EQ(a1->State() & 0x10200, 0x10000);
    EXPECT_EQ(root.State() & 0x10200, 0x10200);
}

TEST_F(SurfTree, AttribsMakeOwnersAndDropCachingForAtlasOwners)
{
    CSurf s(nullptr, 1, R(0, 0, 1, 1), R(0, 0, 1, 1));
    s.Attribs(0x8);
    EXPECT_EQ(s.CacheOwner(), &s);
    CSurf t(nullptr, 2, R(0, 0, 1, 1), R(0, 0, 1, 1));
    t.Attribs(0x208);
    EXPECT_EQ(t.TextAtlasOwner(), &t);
    EXPECT_EQ(t.Attributes(), 0x200);
    EXPECT_EQ(t.CacheOwner(), nullptr);
}

TEST_F(SurfTree, SetAttributeCommands)
{
    struct Case { int iStart; int iKind; int iValue; int iExpected; } cases[] = {
        { 0, 8, 1, 0x8 },
        { 0x8, 8, 0, 0 },
        { 0, 16, 5, 0x10 },
        { 0x200, 16, 1, 0x200 },        // an atlas owner never takes 0x10 ...
        { 0x200, 8, 1, 0x200 },         // ... nor 0x8
        { 0, 0x2000, 1, 0x2000 },
        { 0x2400, 0x2000, 0, 0x400 },
        { 0, 0x80000, 1, 0x80000 },
        { 0x400, 0x400, 1, 0x400 },     // other kinds belong to the surface kinds
    };
    for (const Case& c : cases) {
        CSurf s(nullptr, 1, R(0, 0, 1, 1), R(0, 0, 1, 1));
        s.Attribs(c.iStart);
        s.SetAttribute(c.iKind, c.iValue, 0);
        EXPECT_EQ(s.Attributes(), c.iExpected) << std::hex << c.iStart << " kind " << c.iKind;
    }
}

TEST_F(SurfTree, AlphaAndRotationCommandsWithoutTimeApplyAtOnce)
{
    CSurf s(nullptr, 1, R(0, 0, 1, 1), R(0, 0, 1, 1));
    s.SetAttribute(1, 40, 0);
    EXPECT_EQ(s.Alpha(), 40);
    s.SetRotation(2, 90, 0, 0);
    EXPECT_EQ(s.GetRotation(2), 90);
    s.SetRotation(3, 45, 0, 0);     // no such axis
    EXPECT_EQ(s.GetRotation(0), 0);
    EXPECT_EQ(s.GetRotation(3), 0);
}

TEST_F(SurfTree, PinchResetCommandRestoresTheIdentityTransform)
{
    CSurf s(nullptr, 1, R(0, 0, 100, 100), R(0, 0, 100, 100));
    s.SetTransform(R(5, 6, 2000, 2000));
    EXPECT_TRUE(s.State() & CSurf::SS_HAS_TRANSFORM);
    s.SetAttribute(128, 0, 0);
    EXPECT_EQ(s.GetTransform(), R(0, 0, 1000, 1000));
    EXPECT_FALSE(s.State() & CSurf::SS_HAS_TRANSFORM);
    EXPECT_EQ(s.TouchScale(), 1000);
}

TEST_F(SurfTree, ChangesRequestARedrawOfTheRoot)
{
    CSurf* a = new CSurf(&root, 1, R(0, 0, 10, 10), R(0, 0, 10, 10));
    root.AddChildTail(a);
    root.StateFlags(0);
    EXPECT_EQ(a->SetPosition(ORIENT_0, R(0, 0, 10, 10)), 0);   // unchanged
    EXPECT_EQ(root.State() & CSurf::SS_NEEDS_REDRAW, 0);
    EXPECT_EQ(a->SetPosition(ORIENT_0, R(1, 0, 10, 10)), 1);
    EXPECT_TRUE(root.State() & CSurf::SS_NEEDS_REDRAW);
    EXPECT_FALSE(a->State() & CSurf::SS_SIZE_CHANGED);       // moved, same size
    root.StateFlags(0);
    EXPECT_EQ(a->SetPosition(ORIENT_1, R(1, 0, 11, 10), 1), 1);  // context: no redraw
    EXPECT_EQ(root.State() & CSurf::SS_NEEDS_REDRAW, 0);
    EXPECT_TRUE(a->State() & CSurf::SS_SIZE_CHANGED);

    a->CacheOwner(&root);
    EXPECT_EQ(a->SetAlpha(255), 0);
    EXPECT_EQ(a->SetAlpha(10), 1);
    EXPECT_TRUE(root.State() & CSurf::SS_APPEARANCE);
    EXPECT_TRUE(root.State() & CSurf::SS_NEEDS_REDRAW);
    EXPECT_EQ(a->SetAlpha(300), 1);     // above 255 is a programming error: clamped
    EXPECT_EQ(a->Alpha(), 255);

    root.StateFlags(0);
    a->SetHidden(1);
    EXPECT_TRUE(a->State() & CSurf::SS_HIDDEN);
    EXPECT_TRUE(root.State() & CSurf::SS_NEEDS_REDRAW);
}

TEST_F(SurfTree, DeletingATreeWithoutMainWindowFreesEverything)
{
    // Run under AddressSanitizer this shows that children are owned and freed.
    CSurf* a = new CSurf(&root, 1, R(0, 0, 1, 1), R(0, 0, 1, 1));
    for (int i = 0; i < 3; i++)
        a->AddChildTail(new CSurf(a, 10 + i, R(0, 0, 1, 1), R(0, 0, 1, 1)));
    root.AddChildTail(a);
    a->DeleteAllSubSurf();
    EXPECT_EQ(a->FirstChild(), nullptr);
    EXPECT_EQ(a->LastChild(), nullptr);
}

}  // namespace
