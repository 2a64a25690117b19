// Batch commands to surfaces: record counts from the sender ID, unknown
// surfaces skipped or ending the batch, and every record read exactly.
#include "dispatch_fixture.h"
#include "surf_animation.h"

#include <functional>

namespace {

const int SENTINEL = 0x5A5A5A5A;

} // namespace

class DispatchBatch : public DispatchFixture
{
};

TEST_F(DispatchBatch, SenderIdTwoAppliesThreeAttributeRecords)
{
    CSpySurf* pSpy = AddSpy(5);
    CRVMSG m(2, MSG_SET_ATTRIBUTE, 0, 1);
    for (int i = 0; i < 3; i++) {
        m.PutInt(5);
        m.PutInt(8 << i);
        m.PutInt(i);
        m.PutInt(100 * i);
    }
    Process(m);
    std::vector<SPY_CALL> want = { { "attr", { 8, 0, 0 } }, { "attr", { 16, 1, 100 } }, { "attr", { 32, 2, 200 } } };
    EXPECT_EQ(want, pSpy->calls);
}

TEST_F(DispatchBatch, NegativeSenderIdMeansNoRecord)
{
    CSpySurf* pSpy = AddSpy(5);
    CRVMSG m(-1, MSG_SET_ATTRIBUTE, 0, 1);
    m.PutInt(5);
    m.PutInt(8);
    m.PutInt(1);
    m.PutInt(0);
    Process(m);
    EXPECT_TRUE(pSpy->calls.empty());
    EXPECT_EQ(0u, m.ReadIndex());
}

TEST_F(DispatchBatch, ClearStopsAtTheFirstUnknownSurface)
{
    CSurf* pA = AddPlain(1, m_pWnd);
    AddPlain(10, pA);
    AddPlain(11, pA);
    CSurf* pB = AddPlain(2, m_pWnd);
    AddPlain(20, pB);
    CRVMSG m(2, MSG_CLEAR_SURFACE, 0, 1);
    m.PutInt(1);
    m.PutInt(999);
    m.PutInt(2);
    Process(m);
    EXPECT_EQ(0, ChildCount(pA));
    EXPECT_EQ(1, ChildCount(pB));
    EXPECT_EQ(2, m_pWnd->GarbageSurfaces());
}

TEST_F(DispatchBatch, RemoveStopsAtTheFirstUnknownParent)
{
    CSurf* pParent = AddPlain(1, m_pWnd);
    AddPlain(10, pParent);
    AddPlain(11, pParent);
    CRVMSG m(2, MSG_REMOVE_SURFACES, 0, 1);
    const int records[3][2] = { { 1, 10 }, { 999, 11 }, { 1, 11 } };
    for (const auto& r : records) {
        m.PutInt(r[0]);
        m.PutInt(r[1]);
    }
    Process(m);
    ASSERT_EQ(1, ChildCount(pParent));
    EXPECT_EQ(11, pParent->FirstChild()->ID());
    EXPECT_EQ(1, m_pWnd->GarbageSurfaces());
    EXPECT_TRUE(m_pWnd->State() & CSurf::SS_DEFERRED_REDRAW);
}

TEST_F(DispatchBatch, RemovingAnUnknownChildChangesNothing)
{
    CSurf* pParent = AddPlain(1, m_pWnd);
    AddPlain(10, pParent);
    CRVMSG m(0, MSG_REMOVE_SURFACES, 0, 1);
    m.PutInt(1);
    m.PutInt(12);
    Process(m);
    EXPECT_EQ(1, ChildCount(pParent));
    EXPECT_EQ(0, m_pWnd->GarbageSurfaces());
}

TEST_F(DispatchBatch, PositionSkipsUnknownSurfaces)
{
    CSpySurf* pSpy = AddSpy(5);
    CRVMSG m(2, MSG_SET_POSITION, 0, 1);
    m.PutInt(999);
    m.PutRECT(CRVRect(1, 2, 3, 4));
    m.PutInt(5);
    m.PutRECT(CRVRect(10, 20, 30, 40));
    m.PutInt(998);
    m.PutRECT(CRVRect(5, 6, 7, 8));
    Process(m);
    EXPECT_EQ(CRVRect(10, 20, 30, 40), pSpy->Position(ORIENT_0));
    EXPECT_EQ(CRVRect(0, 0, 50, 100), pSpy->Position(ORIENT_1));
    EXPECT_EQ((unsigned)m.DataSize(), m.ReadIndex());
}

TEST_F(DispatchBatch, PropertiesEndAtAnUnknownSurface)
{
    // Past an unknown surface the length of its properties is unknown.
    CSpySurf* pSpy = AddSpy(5);
    CRVMSG m(1, MSG_SURFACE_PROPS, 0, 1);
    m.PutInt(999);
    m.PutInt(1);
    m.PutInt(5);
    m.PutInt(2);
    Process(m);
    EXPECT_TRUE(pSpy->calls.empty());
}

TEST_F(DispatchBatch, ScaleLimitsSkipUnknownSurfacesAndTheRoot)
{
    CSpySurf* pSpy = AddSpy(5);
    CRVMSG m(2, MSG_SCALE_LIMITS, 0, 1);
    for (int id : { 0, 999, 5 }) {
        m.PutInt(id);
        for (int i = 0; i < 8; i++)
            m.PutInt(id * 100 + i);
    }
    m.PutInt(SENTINEL);
    Process(m);
    std::vector<SPY_CALL> want = { { "scale", { 500 } } };
    EXPECT_EQ(want, pSpy->calls);
    EXPECT_EQ(1000, m_pWnd->PinchMin());
    EXPECT_EQ(20000, m_pWnd->PinchMax());
    EXPECT_EQ((unsigned)m.DataSize() - 4, m.ReadIndex());
}

// A record cut short is not applied, and a surface ID that is missing from
// the data is not taken for the root's 0.
TEST_F(DispatchBatch, TruncatedRecordsAreNotApplied)
{
    CSpySurf* pSpy = AddSpy(5);
    AddPlain(50, pSpy);

    CRVMSG attrs(1, MSG_SET_ATTRIBUTE, 0, 1);
    attrs.PutInt(5);
    attrs.PutInt(8);
    attrs.PutInt(1);
    attrs.PutInt(0);
    attrs.PutInt(5);
    attrs.PutInt(16);
    attrs.PutInt(1);   // the time is missing
    Process(attrs);
    std::vector<SPY_CALL> want = { { "attr", { 8, 1, 0 } } };
    EXPECT_EQ(want, pSpy->calls);

    CRVMSG clear(500, MSG_CLEAR_SURFACE, 0, 1);
    Process(clear);
    EXPECT_EQ(1, ChildCount(m_pWnd));
    EXPECT_EQ(1, ChildCount(pSpy));

    CRVMSG position(3, MSG_SET_POSITION, 0, 1);
    position.PutInt(5);
    position.PutInt(1);
    position.PutInt(2);
    Process(position);
    EXPECT_EQ(CRVRect(0, 0, 100, 50), pSpy->Position(ORIENT_0));
}

// Each batch command with two records for two surfaces and an int after
// them: both records take effect and the int is left unread.
struct BATCH_CASE
{
    const char* name;
    short sMessage;
    std::function<void(CRVMSG&, int iID)> record;       // after the surface ID
    std::function<void(CSpySurf*, int iID)> check;      // null: no visible effect here
};

class DispatchBatchConsumption : public DispatchFixture, public ::testing::WithParamInterface<BATCH_CASE>
{
};

TEST_P(DispatchBatchConsumption, TwoRecordsReadExactly)
{
    const BATCH_CASE& c = GetParam();
    CSpySurf* spies[2] = { AddSpy(11), AddSpy(12) };
    for (CSpySurf* p : spies)
        AddPlain(p->ID() * 10, p);
    CRVMSG m(1, c.sMessage, 0, 1);
    for (CSpySurf* p : spies) {
        m.PutInt(p->ID());
        c.record(m, p->ID());
    }
    m.PutInt(SENTINEL);
    Process(m);
    EXPECT_EQ((unsigned)m.DataSize() - 4, m.ReadIndex());
    if (c.check)
        for (CSpySurf* p : spies) {
            SCOPED_TRACE(p->ID());
            c.check(p, p->ID());
        }
}

namespace {

void ExpectCalls(CSpySurf* p, std::vector<SPY_CALL> want)
{
    EXPECT_EQ(want, p->calls);
}

// A plain surface record (kind 0, alpha 255, short positions, no children).
void PlainSurfaceRecord(CRVMSG& m, int iID)
{
    m.PutInt(iID);
    m.PutInt(255 << 20);
    m.PutShortRECT(CRVRect(1, 2, 3, 4));
    m.PutShortRECT(CRVRect(5, 6, 7, 8));
    m.PutInt(0);
}

const BATCH_CASE g_BatchCases[] = {
    { "AddBelow", MSG_ADD_SURFACES_BELOW, [](CRVMSG& m, int id) { PlainSurfaceRecord(m, id + 100); },
      [](CSpySurf* p, int id) {
          ASSERT_EQ(2, ChildCount(p));
          EXPECT_EQ(id + 100, p->FirstChild()->ID());
          EXPECT_EQ(CRVRect(5, 6, 7, 8), p->FirstChild()->Position(ORIENT_1));
      } },
    { "AddOnTop", MSG_ADD_SURFACES, [](CRVMSG& m, int id) { PlainSurfaceRecord(m, id + 100); },
      [](CSpySurf* p, int id) {
          ASSERT_EQ(2, ChildCount(p));
          EXPECT_EQ(id + 100, p->LastChild()->ID());
      } },
    { "Remove", MSG_REMOVE_SURFACES, [](CRVMSG& m, int id) { m.PutInt(id * 10); },
      [](CSpySurf* p, int) { EXPECT_EQ(0, ChildCount(p)); } },
    { "Clear", MSG_CLEAR_SURFACE, [](CRVMSG&, int) {},
      [](CSpySurf* p, int) { EXPECT_EQ(0, ChildCount(p)); } },
    { "Properties", MSG_SURFACE_PROPS, [](CRVMSG& m, int id) { m.PutInt(id + 7); },
      [](CSpySurf* p, int id) { ExpectCalls(p, { { "props", { id + 7, 0 } } }); } },
    { "Position", MSG_SET_POSITION, [](CRVMSG& m, int id) { m.PutRECT(CRVRect(id, 2, 3, 4)); },
      [](CSpySurf* p, int id) { EXPECT_EQ(CRVRect(id, 2, 3, 4), p->Position(ORIENT_0)); } },
    { "PositionAlt", MSG_SET_POSITION_ALT, [](CRVMSG& m, int id) { m.PutRECT(CRVRect(id, 2, 3, 4)); },
      [](CSpySurf* p, int id) { EXPECT_EQ(CRVRect(id, 2, 3, 4), p->Position(ORIENT_1)); } },
    { "Attribute", MSG_SET_ATTRIBUTE,
      [](CRVMSG& m, int id) {
          m.PutInt(16);
          m.PutInt(id);
          m.PutInt(250);
      },
      [](CSpySurf* p, int id) { ExpectCalls(p, { { "attr", { 16, id, 250 } } }); } },
    { "UpdateImage", MSG_UPDATE_IMAGE,
      [](CRVMSG& m, int id) {
          static const unsigned char bytes[5] = { 1, 2, 3, 4, 5 };
          m.PutInt(0x10005);   // PNG, with a position for orientation 0
          m.PutRECT(CRVRect(id, 1, 2, 3));
          m.PutInt(5);
          m.PutData(bytes, 5);
      },
      [](CSpySurf* p, int id) {
          ExpectCalls(p, { { "image", { 0x10005 } } });
          EXPECT_EQ(CRVRect(id, 1, 2, 3), p->Position(ORIENT_0));
      } },
    { "AttributeExt", MSG_SET_ATTRIBUTE_EXT,
      [](CRVMSG& m, int id) {
          for (int v : { 1, 2, 3, id })
              m.PutInt(v);
      },
      [](CSpySurf* p, int id) { ExpectCalls(p, { { "attrext", { 1, 2, 3, id } } }); } },
    { "CursorToSurface", MSG_CURSOR_TO_SURFACE,
      [](CRVMSG& m, int) {
          for (int b = 0; b < 4; b++)
              m.PutBYTE((unsigned char)b);
      },
      nullptr },
    { "MovePage", MSG_MOVE_PAGE, [](CRVMSG& m, int id) { m.PutInt(id + 1); },
      [](CSpySurf* p, int id) { ExpectCalls(p, { { "page", { 0, id + 1 } } }); } },
    { "MoveCommand", MSG_MOVE_COMMAND,
      [](CRVMSG& m, int id) {
          m.PutInt(3);
          m.PutInt(id);
          m.PutShortRECT(CRVRect(-1, 2, 30, 40));
      },
      [](CSpySurf* p, int id) { ExpectCalls(p, { { "move", { 0, 3, id, -1, 2, 30, 40 } } }); } },
    { "Rotation", MSG_SET_ROTATION,
      [](CRVMSG& m, int id) {
          for (int v : { 2, id, 300, 0 })
              m.PutInt(v);
      },
      [](CSpySurf* p, int id) { ExpectCalls(p, { { "rotation", { 2, id, 300, 0 } } }); } },
    { "Transform", MSG_SET_TRANSFORM, [](CRVMSG& m, int id) { m.PutShortRECT(CRVRect(id, -5, 1500, 500)); },
      [](CSpySurf* p, int id) { EXPECT_EQ(CRVRect(id, -5, 1500, 500), p->GetTransform()); } },
    { "ScaleLimits", MSG_SCALE_LIMITS,
      [](CRVMSG& m, int id) {
          for (int i = 0; i < 8; i++)
              m.PutInt(id + i);
      },
      [](CSpySurf* p, int id) { ExpectCalls(p, { { "scale", { id } } }); } },
    { "AnimateTransform", MSG_ANIMATE_TRANSFORM,
      [](CRVMSG& m, int id) {
          m.PutShortRECT(CRVRect(id, 7, 2000, 2000));
          m.PutInt(400);
      },
      [](CSpySurf* p, int id) {
          // Under way towards the record's transform over its 400 ms.
          auto* a = static_cast<CSurfAnimationPosition*>(p->FindAnimation(AK_TRANSFORM));
          ASSERT_NE(nullptr, a);
          EXPECT_EQ(CRVRect(id, 7, 2000, 2000), a->EndRect());
          EXPECT_EQ(400u, a->Duration());
      } },
};

} // namespace

INSTANTIATE_TEST_SUITE_P(EveryBatch, DispatchBatchConsumption, ::testing::ValuesIn(g_BatchCases),
                         [](const ::testing::TestParamInfo<BATCH_CASE>& info) { return std::string(info.param.name); });

TEST_F(DispatchBatch, ImageUpdatesFindTheNextRecordPastCacheKeys)
{
    // A JPEG record whose bytes go to the cache carries a 16-byte key after
    // the padded data; a vector primitive keeps the rest of the message.
    CSpySurf* pA = AddSpy(11);
    CSpySurf* pB = AddSpy(12);
    CRVMSG m(1, MSG_UPDATE_IMAGE, 0, 1);
    static const unsigned char bytes[21] = {};
    m.PutInt(11);
    m.PutInt(0x100002);
    m.PutInt(21);
    m.PutData(bytes, 21);
    m.PutData(bytes, 16);
    m.PutInt(12);
    m.PutInt(7);
    m.PutInt(21);
    m.PutData(bytes, 21);
    m.PutInt(SENTINEL);
    Process(m);
    ExpectCalls(pA, { { "image", { 0x100002 } } });
    ExpectCalls(pB, { { "image", { 7 } } });
}
