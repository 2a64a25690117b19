// The surface-record writer against the viewer's own reader: what it writes
// becomes, in a main window without a display, the surfaces, properties,
// positions and animations it describes.
#include <gtest/gtest.h>

#include <vector>

#include "mainwnd.h"
#include "rvrect_print.h"
#include "rvutf8.h"
#include "sim_surfaces.h"
#include "surf_animation.h"
#include "surf_borderbox.h"
#include "surf_colorbox.h"
#include "surf_gradient.h"
#include "surf_mirror.h"
#include "surf_rect.h"
#include "surf_test_clock.h"
#include "surf_text.h"
#include "surf_xalign.h"

namespace {

class SimSurfaces : public ::testing::Test
{
protected:
    SimSurfaces() : m_bRenderGLBefore(CSurf::g_bRenderGL)
    {
        CSurf::g_bRenderGL = 0;
        m_pWnd = new CMainWnd(nullptr, 1, 1024, 576, 576, 1024, 1);
    }
    ~SimSurfaces() override
    {
        delete m_pWnd;
        CSurf::g_bRenderGL = m_bRenderGLBefore;
    }

    // As the viewer gets it: the frame's bytes, wrapped in place.
    void Deliver(CRVMSG& msg)
    {
        const unsigned char* p = reinterpret_cast<const unsigned char*>(msg.MSG());
        std::vector<unsigned char> frame(p, p + msg.MSGSize());
        CRVMSG wire(reinterpret_cast<RVT_HEADER*>(frame.data()));
        m_pWnd->ProcessMessage(&wire);
    }
    void Deliver(CSimBatch& batch) { Deliver(batch.Message()); }
    void Deliver(const CSimAnimation& animation)
    {
        CRVMSG msg(0, animation.MessageID(), 0, 1);
        animation.Write(&msg);
        Deliver(msg);
    }
    void AddToRoot(const SIM_SURFACE& s)
    {
        CSimBatch add(SIM_MSG_ADD_SURFACES);
        ASSERT_EQ(1, add.AddSurface(0, s));
        Deliver(add);
    }
    void RunAnimationsTo(long long ms)
    {
        m_clock.Set(ms);
        m_pWnd->AnimationRound();
    }
    template <typename T>
    T* Get(int id)
    {
        return dynamic_cast<T*>(m_pWnd->FindSurface(id));
    }
    std::vector<int> ChildIDs(int id)
    {
        std::vector<int> ids;
        CSurf* p = m_pWnd->FindSurface(id);
        for (CSurf* c = p ? p->FirstChild() : nullptr; c; c = c->NextSibling())
            ids.push_back(c->ID());
        return ids;
    }

    CSurfTestClock m_clock;
    int m_bRenderGLBefore;
    CMainWnd* m_pWnd;
};

TEST_F(SimSurfaces, EveryKindReadsBackAsWritten)
{
    const SIM_TEXT_STYLE style = {0xABCDEF, 33, SIM_ALIGN_CENTRE | SIM_ALIGN_MIDDLE};
    SIM_SURFACE page = SimContainer(100, CRVRect(10, 20, 300, 200)).Alpha(200).Attribs(SIM_ATTR_TOUCHABLE);
    page.Add(SimRect(101, CRVRect(1, 2, 3, 4), 0x123456, 9));
    page.Add(SimText(102, CRVRect(5, 6, 200, 40), "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC 5", style));
    page.Add(SimGradient(103, CRVRect(0, 0, 50, 60), 0x010203, 0x040506));
    page.Add(SimMirror(104, CRVRect(0, 0, 100, 100), 77, -55).Add(SimText(105, CRVRect(0, 0, 10, 10), "x", style)));
    page.Add(SimRow(106, CRVRect(0, 0, 200, 30), 120)
                 .Add(SimRect(107, CRVRect(0, 0, 30, 30), 0xFF0000))
                 .Add(SimRect(108, CRVRect(0, 0, 40, 30), 0x00FF00)));
    page.Add(SimBorderBox(109, CRVRect(0, 0, 80, 80), {0x010101, 0x020202, 0x030303, 0x040404, 0x050505, 0x060606},
                          5));
    page.Add(SimColorBox(110, CRVRect(0, 0, 80, 80), {0x111111, 11}, {0x222222, 22}, {0x333333, 33},
                         {0x444444, 44}));
    AddToRoot(page);

    CSurf* pPage = m_pWnd->FindSurface(100);
    ASSERT_NE(nullptr, pPage);
    EXPECT_EQ(200, pPage->Alpha());
    EXPECT_EQ(SIM_ATTR_TOUCHABLE, pPage->Attributes());
    EXPECT_EQ(CRVRect(10, 20, 300, 200), pPage->Position(ORIENT_0));
    EXPECT_EQ(CRVRect(10, 20, 300, 200), pPage->Position(ORIENT_1));
    EXPECT_EQ((std::vector<int>{101, 102, 103, 104, 106, 109, 110}), ChildIDs(100));

    CSurfRect* pRect = Get<CSurfRect>(101);
    ASSERT_NE(nullptr, pRect);
    EXPECT_EQ(0x123456u, pRect->Color(ORIENT_0));
    EXPECT_EQ(0x123456u, pRect->Color(ORIENT_1));
    EXPECT_EQ(9, pRect->Radius());
    EXPECT_EQ(CRVRect(1, 2, 3, 4), pRect->Position(ORIENT_0));

    CSurfText* pText = Get<CSurfText>(102);
    ASSERT_NE(nullptr, pText);
    EXPECT_EQ(6, pText->Kind());
    EXPECT_EQ("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC 5", RVToUtf8(pText->Text()));
    EXPECT_EQ(0xABCDEFu, pText->Color());
    EXPECT_EQ(33, pText->FontSize());
    EXPECT_EQ(SIM_ALIGN_CENTRE | SIM_ALIGN_MIDDLE, pText->Alignment());
    EXPECT_EQ(0, pText->LayoutStyle());
    EXPECT_EQ(100, pText->LineSpacing());

    CSurfGradient* pGradient = Get<CSurfGradient>(103);
    ASSERT_NE(nullptr, pGradient);
    for (ORIENT o : {ORIENT_0, ORIENT_1}) {
        EXPECT_EQ(0x010203u, pGradient->Color(o, 0));
        EXPECT_EQ(0x040506u, pGradient->Color(o, 1));
    }

    CSurfMirror* pMirror = Get<CSurfMirror>(104);
    ASSERT_NE(nullptr, pMirror);
    EXPECT_EQ(77, pMirror->MirrorLevel(ORIENT_0));
    EXPECT_EQ(-55, pMirror->MirrorOffset(ORIENT_1));
    EXPECT_EQ((std::vector<int>{105}), ChildIDs(104));

    CSurfXAlign* pRow = Get<CSurfXAlign>(106);
    ASSERT_NE(nullptr, pRow);
    EXPECT_EQ(120, pRow->AnchorX(ORIENT_0));
    EXPECT_EQ(120, pRow->AnchorX(ORIENT_1));
    EXPECT_EQ((std::vector<int>{107, 108}), ChildIDs(106));

    CSurfBorderBox* pBorder = Get<CSurfBorderBox>(109);
    ASSERT_NE(nullptr, pBorder);
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(0x010101u * (unsigned int)(i + 1), pBorder->Color(i)) << i;
        EXPECT_EQ(255, pBorder->ColorAlpha(i)) << i;
    }
    EXPECT_EQ(5, pBorder->BorderWidth());

    CSurfColorBox* pBox = Get<CSurfColorBox>(110);
    ASSERT_NE(nullptr, pBox);
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(0x111111u * (unsigned int)(i + 1), pBox->Color(i)) << i;
        EXPECT_EQ(11 * (i + 1), pBox->ColorAlpha(i)) << i;
    }
}

// Coordinates beyond 16 bits go as ints; the records after such a one are
// still read in step.
TEST_F(SimSurfaces, PositionsOfEverySize)
{
    const CRVRect rects[] = {
        CRVRect(-32768, 32767, 1, 1),
        CRVRect(40000, -5, 10, 10),
        CRVRect(0, 0, 70000, 2),
        CRVRect(-100000, 3, 4, 5),
    };
    CSimBatch add(SIM_MSG_ADD_SURFACES);
    int id = 200;
    for (const CRVRect& rc : rects) {
        SIM_SURFACE s = SimRect(id++, rc, 0x00FF00, 3);
        s.rc[1] = CRVRect(rc.y, rc.x, rc.height, rc.width);
        ASSERT_EQ(1, add.AddSurface(0, s));
    }
    Deliver(add);
    id = 200;
    for (const CRVRect& rc : rects) {
        CSurfRect* p = Get<CSurfRect>(id++);
        ASSERT_NE(nullptr, p) << id;
        EXPECT_EQ(rc, p->Position(ORIENT_0));
        EXPECT_EQ(CRVRect(rc.y, rc.x, rc.height, rc.width), p->Position(ORIENT_1));
        EXPECT_EQ(0x00FF00u, p->Color(ORIENT_0));
        EXPECT_EQ(3, p->Radius());
    }
}

TEST_F(SimSurfaces, BatchSenderIDCountsItsRecords)
{
    for (int n : {0, 1, 3}) {
        CSimBatch batch(SIM_MSG_SET_POSITION);
        for (int i = 0; i < n; i++)
            batch.Position(300 + i, CRVRect(i, 2 * i, 7, 8));
        EXPECT_EQ(n, batch.Records());
        EXPECT_EQ(n - 1, batch.Message().SenderID()) << n;
        EXPECT_EQ(20 * n, batch.Message().DataSize());
    }
    // The viewer applies every record.
    for (int i = 0; i < 3; i++)
        AddToRoot(SimRect(300 + i, CRVRect(0, 0, 1, 1), 0));
    CSimBatch move(SIM_MSG_SET_POSITION);
    for (int i = 0; i < 3; i++)
        move.Position(300 + i, CRVRect(10 * i, 5, 7, 8));
    Deliver(move);
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(CRVRect(10 * i, 5, 7, 8), m_pWnd->FindSurface(300 + i)->Position(ORIENT_0)) << i;
}

TEST_F(SimSurfaces, ChildCountsBeyondTheRecordFieldAreRefused)
{
    const struct
    {
        size_t uChildren;
        bool bNested;
        int iWritten;
    } cases[] = {{1023, false, 1}, {1024, false, 0}, {1024, true, 0}};
    for (const auto& c : cases) {
        SIM_SURFACE big = SimContainer(400, CRVRect(0, 0, 10, 10));
        for (size_t i = 0; i < c.uChildren; i++)
            big.Add(SimContainer(401 + (int)i, CRVRect(0, 0, 1, 1)));
        SIM_SURFACE top = c.bNested ? SimContainer(399, CRVRect(0, 0, 10, 10)).Add(big) : big;

        CSimBatch add(SIM_MSG_ADD_SURFACES);
        add.Begin(0);   // one record already there
        SimPutSurface(&add.Message(), SimContainer(398, CRVRect(0, 0, 1, 1)));
        const int iSizeBefore = add.Message().DataSize();
        EXPECT_EQ(c.iWritten, add.AddSurface(0, top)) << c.uChildren;
        if (!c.iWritten) {
            EXPECT_EQ(1, add.Records());
            EXPECT_EQ(0, add.Message().SenderID());
            EXPECT_EQ(iSizeBefore, add.Message().DataSize());
            continue;
        }
        Deliver(add);
        const std::vector<int> ids = ChildIDs(400);
        ASSERT_EQ(c.uChildren, ids.size());
        EXPECT_EQ(401, ids.front());
        EXPECT_EQ(401 + (int)c.uChildren - 1, ids.back());
    }
}

TEST_F(SimSurfaces, PropertyChangesOfExistingSurfaces)
{
    AddToRoot(SimContainer(500, CRVRect(0, 0, 100, 100))
                  .Add(SimText(501, CRVRect(0, 0, 100, 30), "Off", {0x808080, 20, 0}))
                  .Add(SimRect(502, CRVRect(0, 0, 10, 10), 0x000000, 0)));
    CSimBatch props(SIM_MSG_SURFACE_PROPS);
    props.Props(SimText(501, CRVRect(), "On", {0xFFC000, 22, SIM_ALIGN_RIGHT}));
    props.Props(502, SimRectProps(0x00FF00, 5));
    Deliver(props);
    CSurfText* pText = Get<CSurfText>(501);
    ASSERT_NE(nullptr, pText);
    EXPECT_EQ("On", RVToUtf8(pText->Text()));
    EXPECT_EQ(0xFFC000u, pText->Color());
    EXPECT_EQ(22, pText->FontSize());
    EXPECT_EQ(SIM_ALIGN_RIGHT, pText->Alignment());
    EXPECT_EQ(0x00FF00u, Get<CSurfRect>(502)->Color(ORIENT_0));
    EXPECT_EQ(5, Get<CSurfRect>(502)->Radius());
}

// Steps at once, animated, and delayed (the delay adds two bytes to its step:
// a step after it must still be read in step).
TEST_F(SimSurfaces, AnimationStepsMoveAndFade)
{
    AddToRoot(SimRect(600, CRVRect(0, 0, 100, 100), 0xFF0000));
    AddToRoot(SimRect(601, CRVRect(0, 0, 100, 100), 0x0000FF));
    CSimAnimation a(0, CSimAnimation::EASE_OUT);
    a.Fade(600, 0, 1);
    a.Move(601, CRVRect(300, 40, 100, 100), 200);
    a.Fade(601, 50);
    a.Move(600, CRVRect(8, 9, 100, 100));
    EXPECT_EQ(4, a.Steps());
    Deliver(a);
    EXPECT_EQ(0, m_pWnd->FindSurface(600)->Alpha());

    // 100 ms in: the delayed move has not started, the fade has.
    RunAnimationsTo(100);
    CSurf* p = m_pWnd->FindSurface(601);
    EXPECT_EQ(CRVRect(0, 0, 100, 100), p->Position(ORIENT_0));
    EXPECT_LT(p->Alpha(), 255);
    EXPECT_GT(p->Alpha(), 50);

    RunAnimationsTo(5000);
    EXPECT_EQ(CRVRect(300, 40, 100, 100), p->Position(ORIENT_0));
    EXPECT_EQ(50, p->Alpha());
    EXPECT_EQ(CRVRect(8, 9, 100, 100), m_pWnd->FindSurface(600)->Position(ORIENT_0));
}

TEST_F(SimSurfaces, TransformsSetAndAnimated)
{
    AddToRoot(SimRect(700, CRVRect(0, 0, 100, 100), 0xFF0000));
    AddToRoot(SimRect(701, CRVRect(0, 0, 100, 100), 0xFF0000));
    CSimBatch set(SIM_MSG_SET_TRANSFORM);
    set.Transform(700, 4, -6, 900, 1100);
    Deliver(set);
    EXPECT_EQ(CRVRect(4, -6, 900, 1100), m_pWnd->FindSurface(700)->GetTransform());

    CSimBatch animate(SIM_MSG_ANIMATE_TRANSFORM);
    animate.AnimateTransform(700, 0, 0, 1000, 1000, 200);
    animate.AnimateTransform(701, 10, 20, 500, 500, 200);
    Deliver(animate);
    EXPECT_EQ(CRVRect(4, -6, 900, 1100), m_pWnd->FindSurface(700)->GetTransform());
    RunAnimationsTo(1000);
    EXPECT_EQ(CRVRect(0, 0, 1000, 1000), m_pWnd->FindSurface(700)->GetTransform());
    EXPECT_EQ(CRVRect(10, 20, 500, 500), m_pWnd->FindSurface(701)->GetTransform());
}

}  // namespace
