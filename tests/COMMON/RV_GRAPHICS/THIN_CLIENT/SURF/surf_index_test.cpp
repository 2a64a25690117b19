// The ID index of a tree: whatever is linked, unlinked, moved or deleted,
// a search on the indexed root finds what a depth-first walk finds.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "surf.h"

namespace {

CRVRect R1()
{
    return CRVRect(0, 0, 1, 1);
}

// The search without the index: the surface itself, then each child's subtree.
CSurf* WalkFind(CSurf* p, int iID)
{
    if (p->ID() == iID)
        return p;
    for (CSurf* c = p->FirstChild(); c; c = c->NextSibling())
        if (CSurf* f = WalkFind(c, iID))
            return f;
    return nullptr;
}

void Collect(CSurf* p, std::vector<CSurf*>* pAll)
{
    pAll->push_back(p);
    for (CSurf* c = p->FirstChild(); c; c = c->NextSibling())
        Collect(c, pAll);
}

bool Contains(CSurf* pTop, CSurf* p)
{
    for (; p; p = p->Parent())
        if (p == pTop)
            return true;
    return false;
}

class SurfIndex : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CSurf::g_bRenderGL = 0;
        m_pRoot.reset(new CSurf(nullptr, 0, R1(), R1()));
        m_pRoot->EnableIDIndex();
    }
    void ExpectSameAsWalk(const char* pszAfter)
    {
        for (int id = -1; id <= kMaxID + 1; ++id)
            ASSERT_EQ(WalkFind(m_pRoot.get(), id), m_pRoot->FindSurface(id)) << "ID " << id << " after " << pszAfter;
    }

    static const int kMaxID = 12;   // few IDs, so that many are shared
    std::unique_ptr<CSurf> m_pRoot;
};

TEST_F(SurfIndex, UniqueDuplicateAndMissingIDs)
{
    CSurf* a = new CSurf(m_pRoot.get(), 5, R1(), R1());
    m_pRoot->AddChildTail(a);
    EXPECT_EQ(a, m_pRoot->FindSurface(5));
    EXPECT_EQ(nullptr, m_pRoot->FindSurface(6));
    EXPECT_EQ(m_pRoot.get(), m_pRoot->FindSurface(0));
    // A second 5 linked first in the walk order wins, as the walk says.
    CSurf* b = new CSurf(m_pRoot.get(), 5, R1(), R1());
    m_pRoot->AddChildHead(b);
    EXPECT_EQ(b, m_pRoot->FindSurface(5));
    delete m_pRoot->RemoveSubSurf(b);
    EXPECT_EQ(a, m_pRoot->FindSurface(5));
}

TEST_F(SurfIndex, SubtreeBuiltApartIsFoundOnceLinkedAndNotAfterUnlinking)
{
    std::unique_ptr<CSurf> page(new CSurf(nullptr, 7, R1(), R1()));
    CSurf* child = new CSurf(page.get(), 8, R1(), R1());
    page->AddChildTail(child);
    CSurf* grandchild = new CSurf(child, 9, R1(), R1());
    child->AddChildTail(grandchild);
    EXPECT_EQ(nullptr, m_pRoot->FindSurface(9));

    CSurf* pPage = page.release();
    m_pRoot->AddChildTail(pPage);
    EXPECT_EQ(grandchild, m_pRoot->FindSurface(9));
    // Linked below a linked surface: found at once.
    CSurf* late = new CSurf(grandchild, 10, R1(), R1());
    grandchild->AddChildHead(late);
    EXPECT_EQ(late, m_pRoot->FindSurface(10));

    page.reset(m_pRoot->RemoveSubSurf(pPage));
    for (int id : { 7, 8, 9, 10 })
        EXPECT_EQ(nullptr, m_pRoot->FindSurface(id)) << id;
    // The unlinked page searches itself by walking.
    EXPECT_EQ(late, page->FindSurface(10));
}

// Random links, unlinks, moves and deletions; after each, every ID is found
// where the walk finds it. Under the sanitizer a stale entry would also show
// as a use after free.
TEST_F(SurfIndex, RandomEditsAgreeWithTheWalk)
{
    std::mt19937 rng(1234);
    std::vector<std::unique_ptr<CSurf>> detached;
    for (int step = 0; step < 3000; ++step) {
        std::vector<CSurf*> linked;
        Collect(m_pRoot.get(), &linked);
        CSurf* pAt = linked[rng() % linked.size()];
        switch (rng() % 5) {
        case 0:
        case 1: {   // a new surface, at the head or the tail
            CSurf* p = new CSurf(pAt, (int)(rng() % (kMaxID + 1)), R1(), R1());
            (rng() & 1) ? pAt->AddChildHead(p) : pAt->AddChildTail(p);
            ExpectSameAsWalk("adding");
            break;
        }
        case 2:     // unlink a subtree and delete it
            if (pAt != m_pRoot.get()) {
                delete pAt->Parent()->RemoveSubSurf(pAt);
                ExpectSameAsWalk("deleting");
            }
            break;
        case 3:     // unlink a subtree and keep it aside
            if (pAt != m_pRoot.get()) {
                detached.emplace_back(pAt->Parent()->RemoveSubSurf(pAt));
                ExpectSameAsWalk("unlinking");
            }
            break;
        case 4:     // link a kept subtree again somewhere, or move a linked one
            if (!detached.empty()) {
                CSurf* p = detached.back().release();
                detached.pop_back();
                pAt->AddChildTail(p);
                ExpectSameAsWalk("relinking");
            } else if (pAt != m_pRoot.get()) {
                CSurf* pTo = linked[rng() % linked.size()];
                if (Contains(pAt, pTo))
                    break;  // not below itself
                CSurf* p = pAt->Parent()->RemoveSubSurf(pAt);
                pTo->AddChildHead(p);
                ExpectSameAsWalk("moving");
            }
            break;
        }
        if (HasFatalFailure())
            return;
    }
}

}  // namespace
