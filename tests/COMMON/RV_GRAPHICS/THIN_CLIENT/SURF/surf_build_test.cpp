// Building surfaces from surface records: the record layout, the kind table,
// every kind's property payload, order of linking, inheritance, and what a
// truncated, unknown or over-deep record does.
//
// The record bytes are written here from the documented field lists, not by
// any code under test, so a kind that reads one byte too few or too many
// shows up in the record that follows it.
#include "surf_audiofx.h"
#include "surf_borderbox.h"
#include "surf_build.h"
#include "surf_button.h"
#include "surf_buttonbar.h"
#include "surf_colorbox.h"
#include "surf_draw.h"
#include "surf_gradient.h"
#include "surf_image_local.h"
#include "surf_image_store.h"
#include "surf_mirror.h"
#include "surf_panel.h"
#include "surf_rect.h"
#include "surf_rtsp.h"
#include "surf_scroll.h"
#include "surf_scrollbar.h"
#include "surf_text.h"
#include "surf_toolbar.h"
#include "surf_waitgraphic.h"
#include "surf_xalign.h"

#include "rvmsg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// ---- wire encodings ----

void Add(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }
Bytes U8(unsigned v) { return {(unsigned char)v}; }
Bytes I16(int v) { return {(unsigned char)v, (unsigned char)(v >> 8)}; }
Bytes I32(long long v)
{
    unsigned int u = (unsigned int)v;
    return {(unsigned char)u, (unsigned char)(u >> 8), (unsigned char)(u >> 16), (unsigned char)(u >> 24)};
}
// Colour bytes: red, green, blue.
Bytes RGB(unsigned int c) { return {(unsigned char)(c >> 16), (unsigned char)(c >> 8), (unsigned char)c}; }
// Narrow string: byte count, characters, zero pad to a multiple of 4.
Bytes Str(const std::string& s)
{
    Bytes b = I32((long long)s.size());
    b.insert(b.end(), s.begin(), s.end());
    while ((b.size() - 4) % 4)
        b.push_back(0);
    return b;
}
Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        Add(all, p);
    return all;
}

// ---- records ----

struct REC
{
    int iID = 1;
    int iKind = 0;
    int iChildren = 0;
    int iAlpha = 255;
    int iVariant = 0;                   // bit 0 also selects int positions
    CRVRect rc0 = CRVRect(1, 2, 30, 40);
    CRVRect rc1 = CRVRect(5, 6, 70, 80);
    const int* pRotations = nullptr;    // three values when given
    const int* pTransform = nullptr;    // four values when given
    int iAttribs = 0;
    Bytes props;
};

int FlagsOf(const REC& r)
{
    return r.iKind | r.iChildren << 8 | (r.pTransform ? 1 << 18 : 0) | (r.pRotations ? 1 << 19 : 0) | r.iAlpha << 20 |
           (int)((unsigned int)r.iVariant << 28);
}

Bytes Record(const REC& r)
{
    Bytes b = Cat({I32(r.iID), I32(FlagsOf(r))});
    for (const CRVRect* rc : {&r.rc0, &r.rc1}) {
        for (int v : {rc->x, rc->y, rc->width, rc->height})
            Add(b, (r.iVariant & 1) ? I32(v) : I16(v));
    }
    if (r.pRotations)
        for (int i = 0; i < 3; ++i)
            Add(b, I32(r.pRotations[i]));
    if (r.pTransform)
        for (int i = 0; i < 4; ++i)
            Add(b, I16(r.pTransform[i]));
    Add(b, I32(r.iAttribs));
    Add(b, r.props);
    return b;
}

// A received frame in a heap block of exactly its size (the address
// sanitizer sees any read past it), wrapped in place as the session does.
class Received
{
public:
    explicit Received(const Bytes& data) : m_Frame(RV_HEADER_SIZE + data.size())
    {
        RVT_HEADER h{0, 20114, (unsigned int)data.size()};
        memcpy(m_Frame.data(), &h, sizeof h);
        std::copy(data.begin(), data.end(), m_Frame.begin() + RV_HEADER_SIZE);
        m_pMsg.reset(new CRVMSG(reinterpret_cast<RVT_HEADER*>(m_Frame.data())));
    }
    CRVMSG* operator->() { return m_pMsg.get(); }
    CRVMSG* get() { return m_pMsg.get(); }

private:
    Bytes m_Frame;
    std::unique_ptr<CRVMSG> m_pMsg;
};

std::vector<CSurf*> Children(const CSurf* p)
{
    std::vector<CSurf*> v;
    for (CSurf* c = p->FirstChild(); c; c = c->NextSibling())
        v.push_back(c);
    return v;
}

std::vector<int> ChildIDs(const CSurf* p)
{
    std::vector<int> v;
    for (CSurf* c : Children(p))
        v.push_back(c->ID());
    return v;
}

int Depth(const CSurf* p)
{
    int d = 0;
    for (const CSurf* c = p->FirstChild(); c; c = c->FirstChild())
        ++d;
    return d;
}

class SurfBuild : public ::testing::Test
{
protected:
    SurfBuild() : m_Root(nullptr, 0, CRVRect(0, 0, 800, 480), CRVRect(0, 0, 480, 800)) {}

    // Builds `data` as `count` records into the root at the tail.
    int Build(const Bytes& data, int iCount, CSurf* pParent = nullptr, int bAtHead = 0)
    {
        Received msg(data);
        int r = (pParent ? pParent : &m_Root)->AddSubSurfaces(msg.get(), bAtHead, iCount);
        m_iLeft = msg->BytesLeft();
        return r;
    }

    CSurf m_Root;
    int m_iLeft = -1;   // bytes the last build left unread
};

// ---- the common record ----

const int kRot[3] = {10, -20, 30};
const int kTransform[4] = {5, -6, 500, 2000};

// A plain rectangle's properties: colours for orientation 0 and 1, radius.
Bytes RectProps(unsigned int c0, unsigned int c1, int r) { return Cat({RGB(c0), RGB(c1), U8(r)}); }

struct HeaderCase
{
    const char* name;
    REC rec;
};

TEST_F(SurfBuild, RecordHeaderFieldsAreReadByTheirFlags)
{
    const HeaderCase cases[] = {
        {"short positions, nothing optional", {}},
        {"int positions beyond the short range", [] {
             REC r;
             r.iVariant = 1;
             r.rc0 = CRVRect(70000, -70000, 100000, 5);
             r.rc1 = CRVRect(-1, 40000, 3, 65536);
             return r;
         }()},
        {"rotations", [] {
             REC r;
             r.pRotations = kRot;
             return r;
         }()},
        {"transform", [] {
             REC r;
             r.pTransform = kTransform;
             return r;
         }()},
        {"rotations before transform, int positions, alpha 0x80", [] {
             REC r;
             r.iVariant = 1;
             r.pRotations = kRot;
             r.pTransform = kTransform;
             r.iAlpha = 0x80;
             r.rc0 = CRVRect(-3, 4, 5, 6);
             return r;
         }()},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        CSurf root(nullptr, 0, CRVRect(0, 0, 800, 480), CRVRect(0, 0, 480, 800));
        REC r = c.rec;
        r.iKind = 1;
        r.iID = 33;
        r.props = RectProps(0x102030, 0x405060, 4);
        Received msg(Record(r));
        ASSERT_EQ(1, root.AddSubSurfaces(msg.get(), 0, 1));
        EXPECT_EQ(0, msg->BytesLeft());
        CSurfRect* p = dynamic_cast<CSurfRect*>(root.FirstChild());
        ASSERT_NE(nullptr, p);
        EXPECT_EQ(33, p->ID());
        EXPECT_EQ(r.rc0, p->Position(ORIENT_0));
        EXPECT_EQ(r.rc1, p->Position(ORIENT_1));
        EXPECT_EQ(r.iAlpha, p->Alpha());
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_EQ(r.pRotations ? r.pRotations[axis] : 0, p->GetRotation(axis));
        CRVRect expectT = r.pTransform ? CRVRect(kTransform[0], kTransform[1], kTransform[2], kTransform[3])
                                       : CRVRect(0, 0, 1000, 1000);
        EXPECT_EQ(expectT, p->GetTransform());
        EXPECT_EQ(r.pTransform != nullptr, (p->State() & CSurf::SS_HAS_TRANSFORM) != 0);
        EXPECT_EQ(0x102030u, p->Color(ORIENT_0));
        EXPECT_EQ(0x405060u, p->Color(ORIENT_1));
        EXPECT_EQ(4, p->Radius());
    }
}

TEST_F(SurfBuild, FlagsFF00101MakeAnOpaqueRectWithOneChild)
{
    // 0x0FF00101: kind 1, one child, alpha 255, variant 0 (short positions),
    // no rotations, no transform.
    Bytes data = Cat({I32(7), I32(0x0FF00101), I16(1), I16(2), I16(3), I16(4), I16(5), I16(6), I16(7), I16(8),
                      I32(0), RectProps(0xFF0000, 0x00FF00, 0)});
    REC child;
    child.iID = 8;
    Add(data, Record(child));
    ASSERT_EQ(1, Build(data, 1));
    EXPECT_EQ(0, m_iLeft);
    CSurfRect* p = dynamic_cast<CSurfRect*>(m_Root.FirstChild());
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(255, p->Alpha());
    EXPECT_EQ(CRVRect(1, 2, 3, 4), p->Position(ORIENT_0));
    EXPECT_EQ(CRVRect(5, 6, 7, 8), p->Position(ORIENT_1));
    EXPECT_EQ(CRVRect(0, 0, 1000, 1000), p->GetTransform());
    EXPECT_EQ(0, p->GetRotation(0) | p->GetRotation(1) | p->GetRotation(2));
    EXPECT_EQ(std::vector<int>{8}, ChildIDs(p));
    EXPECT_EQ(p, p->FirstChild()->Parent());
}

// ---- linking order ----

TEST_F(SurfBuild, HeadAndTailAddingGiveTheDrawingOrder)
{
    struct Case
    {
        int bAtHead;
        std::vector<int> order;
    };
    for (const Case& c : {Case{1, {2, 1, 9}}, Case{0, {9, 1, 2}}}) {
        SCOPED_TRACE(c.bAtHead ? "20113 (head)" : "20114 (tail)");
        CSurf parent(nullptr, 0, CRVRect(), CRVRect());
        parent.AddChildTail(new CSurf(&parent, 9, CRVRect(), CRVRect()));
        REC a, b;
        a.iID = 1;
        b.iID = 2;
        // A's own children are always added at the tail.
        a.iChildren = 2;
        REC x, y;
        x.iID = 11;
        y.iID = 12;
        Bytes data = Cat({Record(a), Record(x), Record(y), Record(b)});
        Received msg(data);
        ASSERT_EQ(1, parent.AddSubSurfaces(msg.get(), c.bAtHead, 2));
        EXPECT_EQ(c.order, ChildIDs(&parent));
        EXPECT_EQ((std::vector<int>{11, 12}), ChildIDs(parent.FindSurface(1)));
        EXPECT_NE(0, parent.State() & CSurf::SS_CHILDREN);
    }
}

// ---- attributes and inherited owners ----

TEST_F(SurfBuild, RecordAttributeEightNeverMakesACacheOwner)
{
    CSurf parent(nullptr, 0, CRVRect(), CRVRect());
    parent.Attribs(0x8);
    REC r;
    r.iAttribs = 0x8 | 0x400;
    ASSERT_EQ(1, Build(Record(r), 1, &parent));
    CSurf* p = parent.FirstChild();
    EXPECT_EQ(0x400, p->Attributes());
    EXPECT_EQ(&parent, p->CacheOwner());
}

TEST_F(SurfBuild, CacheAndTextAtlasOwnersAreInherited)
{
    struct Case
    {
        const char* name;
        int iAttribs;
        bool bOwnAtlas;         // the new surface owns its text atlas
        bool bInheritsAtlas;    // it takes the parent's text-atlas owner
    };
    const Case cases[] = {
        {"plain", 0, false, true},
        {"text-atlas owner", 0x200, true, false},
        {"own content offset", (int)0x80000000, false, false},
        {"touchable", 0x400, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSurf atlas(nullptr, 0, CRVRect(), CRVRect());
        CSurf parent(nullptr, 5, CRVRect(), CRVRect());
        parent.Attribs(0x8);
        parent.TextAtlasOwner(&atlas);
        REC r, grandchild;
        r.iID = 1;
        r.iAttribs = c.iAttribs;
        r.iChildren = 1;
        grandchild.iID = 2;
        ASSERT_EQ(1, Build(Cat({Record(r), Record(grandchild)}), 1, &parent));
        CSurf* p = parent.FirstChild();
        CSurf* g = p->FirstChild();
        EXPECT_EQ(&parent, p->CacheOwner());
        EXPECT_EQ(&parent, g->CacheOwner());
        CSurf* expectAtlas = c.bOwnAtlas ? p : (c.bInheritsAtlas ? &atlas : nullptr);
        EXPECT_EQ(expectAtlas, p->TextAtlasOwner());
        // The grandchild takes whatever its parent has.
        EXPECT_EQ(expectAtlas, g->TextAtlasOwner());
    }
}

// ---- kind 13 and kinds nobody creates ----

Bytes BarProps(int base) { return Cat({I32(base), I32(base + 1), I32(base + 2), I32(base + 3), I32(base + 4), I32(base + 5)}); }

TEST_F(SurfBuild, KindThirteenIsABarButtonUnderABarOnly)
{
    REC bar;
    bar.iKind = 12;
    bar.iID = 50;
    bar.iChildren = 2;
    bar.props = BarProps(100);
    REC button, plainButton;
    button.iKind = 13;
    button.iID = 51;
    plainButton.iKind = 13;
    plainButton.iID = 52;
    plainButton.iAttribs = 0x40000;   // no normal image
    REC after;
    after.iID = 60;
    ASSERT_EQ(1, Build(Cat({Record(bar), Record(button), Record(plainButton), Record(after)}), 2));
    EXPECT_EQ(0, m_iLeft);
    EXPECT_EQ((std::vector<int>{50, 60}), ChildIDs(&m_Root));
    CSurf* pBar = m_Root.FirstChild();
    ASSERT_NE(nullptr, dynamic_cast<CSurfButtonBar*>(pBar));
    auto* b1 = dynamic_cast<CSurfButtonBarButton*>(pBar->FindSurface(51));
    auto* b2 = dynamic_cast<CSurfButtonBarButton*>(pBar->FindSurface(52));
    ASSERT_NE(nullptr, b1);
    ASSERT_NE(nullptr, b2);
    EXPECT_EQ(4, b1->Kind());
    EXPECT_EQ(100, b1->ImageID(BUTTON_IMAGE_NORMAL, ORIENT_0));
    EXPECT_EQ(105, b1->ImageID(BUTTON_IMAGE_ON, ORIENT_1));
    EXPECT_EQ(0, b2->ImageID(BUTTON_IMAGE_NORMAL, ORIENT_0));
    EXPECT_EQ(0, b2->ImageID(BUTTON_IMAGE_NORMAL, ORIENT_1));
    EXPECT_EQ(101, b2->ImageID(BUTTON_IMAGE_PRESSED, ORIENT_0));
}

TEST_F(SurfBuild, AKindNobodyCreatesEndsTheMessage)
{
    struct Case
    {
        const char* name;
        int iKind;
        int iParentKind;    // kind of the record the unknown one is a child of; -1 top level
    };
    const Case cases[] = {
        {"kind 13 at the top", 13, -1},
        {"kind 13 under a plain surface", 13, 0},
        {"kind 11", 11, -1},
        {"kind 16 nested", 16, 0},
        {"kind 29", 29, -1},
        {"kind 255 under a button bar", 255, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSurf root(nullptr, 0, CRVRect(), CRVRect());
        REC first, unknown, later, sibling;
        first.iID = 1;
        unknown.iID = 2;
        unknown.iKind = c.iKind;
        later.iID = 3;
        sibling.iID = 4;
        Bytes data = Record(first);
        int iCount = 3;
        if (c.iParentKind >= 0) {
            REC parent;
            parent.iID = 5;
            parent.iKind = c.iParentKind;
            if (c.iParentKind == 12)
                parent.props = BarProps(1);
            parent.iChildren = 2;
            Add(data, Record(parent));
            iCount = 3;
        }
        Add(data, Record(unknown));
        Add(data, Record(later));
        Add(data, Record(sibling));
        Received msg(data);
        EXPECT_EQ(0, root.AddSubSurfaces(msg.get(), 0, iCount));
        // What was built stays; nothing after the unknown record is read,
        // and nothing more can be read by the caller either.
        std::vector<int> expect = c.iParentKind >= 0 ? std::vector<int>{1, 5} : std::vector<int>{1};
        EXPECT_EQ(expect, ChildIDs(&root));
        EXPECT_EQ(nullptr, root.FindSurface(2));
        EXPECT_EQ(nullptr, root.FindSurface(3));
        EXPECT_EQ(0, msg->BytesLeft());
    }
}

// ---- every kind's properties, followed by a record that must still parse ----

// The guard record after every kind: a rectangle whose every field is distinct.
REC Guard()
{
    REC g;
    g.iID = 4242;
    g.iKind = 1;
    g.iAlpha = 0x77;
    g.rc0 = CRVRect(11, 12, 13, 14);
    g.rc1 = CRVRect(15, 16, 17, 18);
    g.iAttribs = 0x400;
    g.props = RectProps(0x123456, 0x789ABC, 21);
    return g;
}

void ExpectGuard(CSurf* p)
{
    auto* g = dynamic_cast<CSurfRect*>(p);
    ASSERT_NE(nullptr, g);
    EXPECT_EQ(4242, g->ID());
    EXPECT_EQ(0x77, g->Alpha());
    EXPECT_EQ(CRVRect(11, 12, 13, 14), g->Position(ORIENT_0));
    EXPECT_EQ(CRVRect(15, 16, 17, 18), g->Position(ORIENT_1));
    EXPECT_EQ(0x400, g->Attributes());
    EXPECT_EQ(0x123456u, g->Color(ORIENT_0));
    EXPECT_EQ(0x789ABCu, g->Color(ORIENT_1));
    EXPECT_EQ(21, g->Radius());
}

// The stream-profile encoding: five strings, eight ints, int length, the
// start-up data padded to a multiple of 4.
Bytes Profile(const Bytes& startup)
{
    Bytes b = Cat({Str("rtsp://127.0.0.1/cam"), Str("track1"), Str("user"), Str("pw"), Str("x"), I32(2), I32(1),
                   I32(96), I32(1), I32(2), I32(3), I32(4), I32(5), I32((long long)startup.size())});
    Add(b, startup);
    while (b.size() % 4)
        b.push_back(0);
    return b;
}

template <typename T>
T* As(CSurf* p)
{
    T* t = dynamic_cast<T*>(p);
    EXPECT_NE(nullptr, t) << "built as " << typeid(*p).name();
    return t;
}

struct KindCase
{
    const char* name;
    int iKind;
    int iVariant;
    int iAttribs;
    Bytes props;
    std::function<void(CSurf*)> check;
};

std::vector<KindCase> KindCases()
{
    const Bytes startup = {0, 0, 0, 1, 0x67, 0x42};
    std::vector<KindCase> v;
    v.push_back({"0 container", 0, 0, 0, {}, [](CSurf* p) { EXPECT_EQ(typeid(CSurf), typeid(*p)); }});
    v.push_back({"1 rectangle", 1, 0, 0, RectProps(0xA1B2C3, 0x0D0E0F, 9), [](CSurf* p) {
                     if (auto* r = As<CSurfRect>(p)) {
                         EXPECT_EQ(0xA1B2C3u, r->Color(ORIENT_0));
                         EXPECT_EQ(0x0D0E0Fu, r->Color(ORIENT_1));
                         EXPECT_EQ(9, r->Radius());
                     }
                 }});
    v.push_back({"2 stored image, two IDs", 2, 0, 0, Cat({I32(101), I32(102)}), [](CSurf* p) {
                     if (auto* s = As<CSurfImageStore>(p)) {
                         EXPECT_EQ(101, s->ImageID(ORIENT_0));
                         EXPECT_EQ(102, s->ImageID(ORIENT_1));
                     }
                 }});
    v.push_back({"2 stored image, variant 2: one ID", 2, 2, 0, I32(103), [](CSurf* p) {
                     if (auto* s = As<CSurfImageStore>(p)) {
                         EXPECT_EQ(103, s->ImageID(ORIENT_0));
                         EXPECT_EQ(103, s->ImageID(ORIENT_1));
                     }
                 }});
    v.push_back({"3 local image with view parameters", 3, 0, 0, Cat({I32(77), U8(1), U8(1), U8(2), U8(3), U8(4), U8(5), U8(6)}),
                 [](CSurf* p) {
                     if (auto* s = As<CSurfImageLocal>(p)) {
                         EXPECT_EQ(77, s->SourceID());
                         EXPECT_EQ(1, s->HasViewParams());
                         for (int i = 0; i < 6; ++i)
                             EXPECT_EQ(i + 1, s->ViewParam(i));
                         EXPECT_EQ(0, s->RenderMode());
                     }
                 }});
    v.push_back({"3 local image without, render mode 2", 3, 0, 0x1000000, Cat({I32(0), U8(0)}), [](CSurf* p) {
                     if (auto* s = As<CSurfImageLocal>(p)) {
                         EXPECT_EQ(0, s->SourceID());
                         EXPECT_EQ(0, s->HasViewParams());
                         EXPECT_EQ(2, s->RenderMode());
                     }
                 }});
    v.push_back({"4 button, both orientations", 4, 0, 0, BarProps(10), [](CSurf* p) {
                     if (auto* b = As<CSurfButton>(p)) {
                         EXPECT_EQ(4, b->Kind());
                         EXPECT_EQ(10, b->ImageID(BUTTON_IMAGE_NORMAL, ORIENT_0));
                         EXPECT_EQ(12, b->ImageID(BUTTON_IMAGE_ON, ORIENT_0));
                         EXPECT_EQ(13, b->ImageID(BUTTON_IMAGE_NORMAL, ORIENT_1));
                         EXPECT_EQ(15, b->ImageID(BUTTON_IMAGE_ON, ORIENT_1));
                         EXPECT_NE(0, b->State() & CSurfButton::SS_BUTTON_RELOAD);
                     }
                 }});
    v.push_back({"4 button with a fourth image", 4, 0, 0x20000000,
                 Cat({I32(1), I32(2), I32(3), I32(4), I32(5), I32(6), I32(7), I32(8)}), [](CSurf* p) {
                     if (auto* b = As<CSurfButton>(p)) {
                         EXPECT_EQ(4, b->ImageID(BUTTON_IMAGE_FOURTH, ORIENT_0));
                         EXPECT_EQ(5, b->ImageID(BUTTON_IMAGE_NORMAL, ORIENT_1));
                         EXPECT_EQ(8, b->ImageID(BUTTON_IMAGE_FOURTH, ORIENT_1));
                     }
                 }});
    for (int variant : {2, 4, 6}) {
        v.push_back({"4 button, variant without orientation 1", 4, variant, 0, Cat({I32(21), I32(22), I32(23)}),
                     [](CSurf* p) {
                         if (auto* b = As<CSurfButton>(p)) {
                             EXPECT_EQ(21, b->ImageID(BUTTON_IMAGE_NORMAL, ORIENT_1));
                             EXPECT_EQ(23, b->ImageID(BUTTON_IMAGE_ON, ORIENT_1));
                             EXPECT_EQ(23, b->ImageID(BUTTON_IMAGE_ON, ORIENT_0));
                         }
                     }});
    }
    v.push_back({"4 button, variant 8: orientation 1 only", 4, 8, 0x20000000, Cat({I32(31), I32(32), I32(33)}),
                 [](CSurf* p) {
                     if (auto* b = As<CSurfButton>(p)) {
                         EXPECT_EQ(0, b->ImageID(BUTTON_IMAGE_NORMAL, ORIENT_0));
                         EXPECT_EQ(31, b->ImageID(BUTTON_IMAGE_NORMAL, ORIENT_1));
                         EXPECT_EQ(33, b->ImageID(BUTTON_IMAGE_ON, ORIENT_1));
                         EXPECT_EQ(0, b->ImageID(BUTTON_IMAGE_FOURTH, ORIENT_1));
                     }
                 }});
    v.push_back({"26 button with overlay", 26, 0, 0, Cat({BarProps(40), I32(555), U8(200)}), [](CSurf* p) {
                     if (auto* b = As<CSurfButton>(p)) {
                         EXPECT_EQ(26, b->Kind());
                         EXPECT_EQ(45, b->ImageID(BUTTON_IMAGE_ON, ORIENT_1));
                         EXPECT_EQ(555, b->OverlayID());
                         EXPECT_EQ(200, b->OverlayLevel());
                     }
                 }});
    v.push_back({"27 button with blend bits", 27, 0, 0, Cat({BarProps(40), I32(5), I32(-1)}), [](CSurf* p) {
                     if (auto* b = As<CSurfButton>(p)) {
                         EXPECT_EQ(27, b->Kind());
                         EXPECT_EQ(5u, b->BlendBits());
                     }
                 }});
    v.push_back({"5 scroll view with bars", 5, 0, 0x10000,
                 Cat({I32(100), I32(2000), I32(200), I32(1000), I32(0x0A030405), I32(77), I32(0x0708), I32(0x12345),
                      I32(0x0B000000), I32(78), I32(0x0102), I32(0)}),
                 [](CSurf* p) {
                     if (auto* s = As<CSurfScroll>(p)) {
                         EXPECT_EQ(100, s->ContentSize(ORIENT_0).cx);
                         EXPECT_EQ(2000, s->ContentSize(ORIENT_0).cy);
                         EXPECT_EQ(200, s->ContentSize(ORIENT_1).cx);
                         EXPECT_EQ(1000, s->ContentSize(ORIENT_1).cy);
                         const RVT_SCROLLBAR_INFO& vb = s->Bar(SCROLLBAR_VERTICAL);
                         EXPECT_EQ(10, vb.iThickness);
                         EXPECT_EQ(3, vb.wOuterMargin);
                         EXPECT_EQ(4, vb.wStartMargin);
                         EXPECT_EQ(5, vb.wEndMargin);
                         EXPECT_EQ(77, vb.iGraphicID);
                         EXPECT_EQ(7, vb.wStartCap);
                         EXPECT_EQ(8, vb.wEndCap);
                         EXPECT_EQ(0x2345, vb.wReportStep);
                         EXPECT_EQ(1, vb.bEnabled);
                         const RVT_SCROLLBAR_INFO& hb = s->Bar(SCROLLBAR_HORIZONTAL);
                         EXPECT_EQ(11, hb.iThickness);
                         EXPECT_EQ(78, hb.iGraphicID);
                         EXPECT_EQ(1, hb.wStartCap);
                         EXPECT_EQ(0, hb.bEnabled);
                         EXPECT_EQ(0, s->Offset(ORIENT_0).y);
                     }
                 }});
    v.push_back({"5 scroll view with initial offsets", 5, 2, 0,
                 Cat({I32(1), I32(2), I32(3), I32(4), I32(0), I32(0), I32(0), I32(0), I32(0), I32(0), I32(0), I32(0),
                      I32(-10), I32(-20), I32(-30), I32(-40)}),
                 [](CSurf* p) {
                     if (auto* s = As<CSurfScroll>(p)) {
                         EXPECT_EQ(-10, s->Offset(ORIENT_0).x);
                         EXPECT_EQ(-20, s->Offset(ORIENT_0).y);
                         EXPECT_EQ(-30, s->Offset(ORIENT_1).x);
                         EXPECT_EQ(-40, s->TargetOffset(ORIENT_1).y);
                     }
                 }});
    v.push_back({"6 text", 6, 0, 0, Cat({Str("Hello"), RGB(0x112233), U8(18), U8(0x12), U8(1), U8(120)}),
                 [](CSurf* p) {
                     if (auto* t = As<CSurfText>(p)) {
                         EXPECT_EQ(6, t->Kind());
                         EXPECT_TRUE(t->Text() == "Hello");
                         EXPECT_EQ(0x112233u, t->Color());
                         EXPECT_EQ(18, t->FontSize());
                         EXPECT_EQ(18, t->UsedFontSize(ORIENT_1));
                         EXPECT_EQ(0x12, t->Alignment());
                         EXPECT_EQ(1, t->LayoutStyle());
                         EXPECT_EQ(120, t->LineSpacing());
                         EXPECT_NE(0, t->State() & CSurf::SS_APPEARANCE);
                     }
                 }});
    v.push_back({"24 text with effect", 24, 0, 0,
                 Cat({Str("Hi!"), RGB(0x445566), U8(30), U8(4), U8(0), U8(0), U8(3), U8(0xEE), U8(4), RGB(0x778899)}),
                 [](CSurf* p) {
                     if (auto* t = As<CSurfText>(p)) {
                         EXPECT_EQ(24, t->Kind());
                         EXPECT_TRUE(t->Text() == "Hi!");
                         EXPECT_EQ(30, t->FontSize());
                         EXPECT_EQ(3, t->Effect());
                         EXPECT_EQ(4, t->Margin());
                         EXPECT_EQ(0x778899u, t->SecondColor());
                     }
                 }});
    v.push_back({"7 gradient", 7, 0, 0,
                 Cat({RGB(0x010101), RGB(0x020202), RGB(0x030303), RGB(0x040404), RGB(0x050505), RGB(0x060606), U8(2)}),
                 [](CSurf* p) {
                     if (auto* g = As<CSurfGradient>(p)) {
                         EXPECT_EQ(0x010101u, g->Color(ORIENT_0, 0));
                         EXPECT_EQ(0x030303u, g->Color(ORIENT_0, 2));
                         EXPECT_EQ(0x040404u, g->Color(ORIENT_1, 0));
                         EXPECT_EQ(0x060606u, g->Color(ORIENT_1, 2));
                         EXPECT_EQ(2, g->Value());
                         EXPECT_NE(0, g->State() & CSurf::SS_APPEARANCE);
                     }
                 }});
    {
        Bytes k8, k23;
        for (int s = 0; s < 3; ++s) {
            for (int c = 0; c < 4; ++c) {
                Add(k8, RGB(0x100000 * (s + 1) + c));
                Add(k23, RGB(0x100000 * (s + 1) + c));
            }
            Add(k23, Cat({U8(10 + s), U8(20 + s)}));
        }
        v.push_back({"8 toolbar button", 8, 0, 0, k8, [](CSurf* p) {
                         if (auto* t = As<CSurfToolBarButton>(p)) {
                             EXPECT_EQ(8, t->RecordKind());
                             EXPECT_EQ(4, t->Kind());
                             EXPECT_EQ(0x100000u, t->Color(TOOLBAR_NORMAL, TOOLBAR_FILL_TOP));
                             EXPECT_EQ(0x300003u, t->Color(TOOLBAR_PRESSED, TOOLBAR_EDGE_BOTTOM));
                             EXPECT_EQ(255, t->FillAlpha(TOOLBAR_ON));
                             EXPECT_EQ(255, t->EdgeAlpha(TOOLBAR_PRESSED));
                         }
                     }});
        v.push_back({"23 toolbar button with alphas", 23, 0, 0, k23, [](CSurf* p) {
                         if (auto* t = As<CSurfToolBarButton>(p)) {
                             EXPECT_EQ(23, t->RecordKind());
                             EXPECT_EQ(0x200001u, t->Color(TOOLBAR_ON, TOOLBAR_FILL_BOTTOM));
                             EXPECT_EQ(10, t->FillAlpha(TOOLBAR_NORMAL));
                             EXPECT_EQ(22, t->EdgeAlpha(TOOLBAR_PRESSED));
                         }
                     }});
    }
    v.push_back({"9 mirror", 9, 0, 0, Cat({U8(100), U8(50), I16(-20), I16(30), RGB(0xABCDEF)}), [](CSurf* p) {
                     if (auto* m = As<CSurfMirror>(p)) {
                         EXPECT_EQ(100, m->MirrorLevel(ORIENT_0));
                         EXPECT_EQ(50, m->MirrorLevel(ORIENT_1));
                         EXPECT_EQ(-20, m->MirrorOffset(ORIENT_0));
                         EXPECT_EQ(30, m->MirrorOffset(ORIENT_1));
                         EXPECT_EQ(0xABCDEFu, m->Color());
                     }
                 }});
    v.push_back({"10 row", 10, 0, 0, Cat({I16(100), I16(-5)}), [](CSurf* p) {
                     if (auto* x = As<CSurfXAlign>(p)) {
                         EXPECT_EQ(100, x->AnchorX(ORIENT_0));
                         EXPECT_EQ(-5, x->AnchorX(ORIENT_1));
                         EXPECT_NE(0, x->State() & 0x200);
                         EXPECT_NE(0, x->State() & CSurfXAlign::SS_ROW);
                     }
                 }});
    v.push_back({"12 button bar", 12, 0, 0, BarProps(60), [](CSurf* p) {
                     if (auto* b = As<CSurfButtonBar>(p)) {
                         EXPECT_EQ(60, b->ImageID(BUTTON_IMAGE_NORMAL, ORIENT_0));
                         EXPECT_EQ(65, b->ImageID(BUTTON_IMAGE_ON, ORIENT_1));
                     }
                 }});
    {
        Bytes props = Cat({I32(900), I32(-1), U8(6), U8(0xFF), U8(10)});
        for (int i = 0; i < 10; ++i)
            Add(props, I32(1000 + i));
        v.push_back({"14 scroll bar with ten targets", 14, 0, 0, props, [](CSurf* p) {
                         if (auto* s = As<CSurfScrollBar>(p)) {
                             EXPECT_EQ(900, s->GraphicID());
                             EXPECT_EQ(6, s->CapLength());
                             EXPECT_EQ(8, s->TargetIDCount());
                             EXPECT_EQ(1000, s->TargetID(0));
                             EXPECT_EQ(1007, s->TargetID(7));
                         }
                     }});
    }
    v.push_back({"15 wait graphic", 15, 0, 0, {}, [](CSurf* p) {
                     if (auto* w = As<CSurfWaitGraphic>(p)) {
                         EXPECT_EQ(0, w->Variant());
                         EXPECT_EQ(18, w->Speed());
                         EXPECT_EQ(10, w->DotCount());
                         EXPECT_EQ(0x6464FFu, w->DotColor());
                         EXPECT_EQ(30 / 4, w->DotDiameter());    // a quarter of the width (30)
                     }
                 }});
    v.push_back({"17 drawing pad", 17, 0, 0, Cat({RGB(0xF80C1F), U8(5)}), [](CSurf* p) {
                     if (auto* d = As<CSurfDraw>(p)) {
                         EXPECT_EQ(0xF80C1Fu, d->Color());
                         EXPECT_EQ((0xF8 >> 3) << 11 | (0x0C >> 2) << 5 | (0x1F >> 3), d->Color565());
                         EXPECT_EQ(5, d->LineMargin());
                     }
                 }});
    v.push_back({"18 wait graphic with a look", 18, 0, 0, Cat({RGB(0x203040), U8(12), U8(30), U8(240), U8(9)}),
                 [](CSurf* p) {
                     if (auto* w = As<CSurfWaitGraphic>(p)) {
                         EXPECT_EQ(1, w->Variant());
                         EXPECT_EQ(0, w->Speed());
                         EXPECT_EQ(0x203040u, w->DotColor());
                         EXPECT_EQ(12, w->DotCount());
                         EXPECT_EQ(30, w->FirstDotAlpha());
                         EXPECT_EQ(240, w->LastDotAlpha());
                         EXPECT_EQ(9, w->DotDiameter());
                     }
                 }});
    v.push_back({"19 video without profile", 19, 0, 0, Cat({I32(31), U8(0)}), [](CSurf* p) {
                     if (auto* r = As<CSurfRTSP>(p)) {
                         EXPECT_EQ(31, r->FallbackID());
                         EXPECT_EQ(0, r->HasProfile());
                         EXPECT_EQ(CSurfRTSP::STREAM_ENABLED | CSurfRTSP::STREAM_PROPS, r->Flags());
                     }
                 }});
    v.push_back({"19 video with profile", 19, 0, 0, Cat({I32(0), U8(1), Profile(startup)}), [startup](CSurf* p) {
                     if (auto* r = As<CSurfRTSP>(p)) {
                         EXPECT_EQ(Profile(startup), r->ProfileBytes());
                         EXPECT_EQ(0, r->Crop().left);
                     }
                 }});
    v.push_back({"19 video with profile and crop", 19, 0, 0, Cat({I32(-2), U8(2), Profile({}), U8(1), U8(2), U8(3), U8(4)}),
                 [](CSurf* p) {
                     if (auto* r = As<CSurfRTSP>(p)) {
                         EXPECT_EQ(-2, r->FallbackID());
                         EXPECT_EQ(Profile({}), r->ProfileBytes());
                         EXPECT_EQ(1, r->Crop().left);
                         EXPECT_EQ(2, r->Crop().right);
                         EXPECT_EQ(3, r->Crop().top);
                         EXPECT_EQ(4, r->Crop().bottom);
                     }
                 }});
    {
        Bytes props;
        for (int i = 0; i < 6; ++i)
            Add(props, Cat({RGB(0x010000u * (i + 1)), U8(100 + i)}));
        Add(props, U8(3));
        v.push_back({"20 border box", 20, 0, 0, props, [](CSurf* p) {
                         if (auto* b = As<CSurfBorderBox>(p)) {
                             EXPECT_EQ(0x010000u, b->Color(0));
                             EXPECT_EQ(0x060000u, b->Color(5));
                             EXPECT_EQ(100, b->ColorAlpha(0));
                             EXPECT_EQ(105, b->ColorAlpha(5));
                             EXPECT_EQ(3, b->BorderWidth());
                             EXPECT_NE(0, b->State() & CSurf::SS_APPEARANCE);
                         }
                     }});
    }
    v.push_back({"21 oscilloscope", 21, 0, 0, Cat({RGB(0x00FF00), I32(7), I32(-8), I32(300), I32(99)}), [](CSurf* p) {
                     if (auto* a = As<CSurfAudioFX>(p)) {
                         EXPECT_EQ(0x00FF00u, a->Color());
                         EXPECT_EQ(7, a->Value(0));
                         EXPECT_EQ(-8, a->Value(1));
                         EXPECT_EQ(300, a->Points());
                     }
                 }});
    v.push_back({"21 oscilloscope with a huge point count", 21, 0, 0,
                 Cat({RGB(0), I32(0), I32(0), I32(0x40000000), I32(0)}), [](CSurf* p) {
                     if (auto* a = As<CSurfAudioFX>(p)) {
                         EXPECT_EQ(CSurfAudioFX::MAX_POINTS, a->Points());
                     }
                 }});
    {
        Bytes props;
        for (int i = 0; i < 4; ++i)
            Add(props, Cat({RGB(0x000100u * (i + 1)), U8(200 + i)}));
        v.push_back({"22 colour box", 22, 0, 0, props, [](CSurf* p) {
                         if (auto* b = As<CSurfColorBox>(p)) {
                             EXPECT_EQ(0x000100u, b->Color(0));
                             EXPECT_EQ(0x000400u, b->Color(3));
                             EXPECT_EQ(200, b->ColorAlpha(0));
                             EXPECT_EQ(203, b->ColorAlpha(3));
                             EXPECT_NE(0, b->State() & CSurf::SS_APPEARANCE);
                         }
                     }});
    }
    for (int kind : {25, 28}) {
        v.push_back({"25/28 panel", kind, 0, 0, I32(1234 + kind), [kind](CSurf* p) {
                         if (auto* s = As<CSurfPanel>(p)) {
                             EXPECT_EQ(kind, s->Kind());
                             EXPECT_EQ(1234 + kind, s->SourceID());
                         }
                     }});
    }
    return v;
}

TEST_F(SurfBuild, EveryKindReadsExactlyItsPropertiesAndTheNextRecordFollows)
{
    std::vector<int> seen;
    for (const KindCase& c : KindCases()) {
        SCOPED_TRACE(c.name);
        seen.push_back(c.iKind);
        for (int bIntPositions : {0, 1}) {
            REC r;
            r.iID = 9;
            r.iKind = c.iKind;
            r.iVariant = c.iVariant | bIntPositions;
            r.iAttribs = c.iAttribs;
            r.props = c.props;
            // Once as two sibling records, once with the guard as the child.
            for (int bNested : {0, 1}) {
                CSurf parent(nullptr, 0, CRVRect(), CRVRect());
                r.iChildren = bNested;
                Received msg(Cat({Record(r), Record(Guard())}));
                ASSERT_EQ(1, parent.AddSubSurfaces(msg.get(), 0, bNested ? 1 : 2));
                EXPECT_EQ(0, msg->BytesLeft());
                EXPECT_EQ(0, msg->Error());
                CSurf* p = parent.FirstChild();
                ASSERT_NE(nullptr, p);
                EXPECT_EQ(9, p->ID());
                EXPECT_EQ(c.iAttribs, p->Attributes());
                c.check(p);
                ExpectGuard(bNested ? p->FirstChild() : p->NextSibling());
            }
        }
    }
    // Every kind of the table has a case.
    for (int kind : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 14, 15, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28})
        EXPECT_NE(seen.end(), std::find(seen.begin(), seen.end(), kind)) << "kind " << kind;
}

TEST_F(SurfBuild, EveryCutOfARecordLeavesMissingValuesZeroAndEndsTheMessage)
{
    for (const KindCase& c : KindCases()) {
        SCOPED_TRACE(c.name);
        REC r;
        r.iID = 9;
        r.iKind = c.iKind;
        r.iVariant = c.iVariant;
        r.iAttribs = c.iAttribs;
        r.props = c.props;
        const Bytes whole = Cat({Record(r), Record(Guard())});
        const size_t first = Record(r).size();
        for (size_t cut = 0; cut < whole.size(); ++cut) {
            SCOPED_TRACE("cut at " + std::to_string(cut));
            CSurf parent(nullptr, 0, CRVRect(), CRVRect());
            Received msg(Bytes(whole.begin(), whole.begin() + cut));
            EXPECT_EQ(0, parent.AddSubSurfaces(msg.get(), 0, 2));
            EXPECT_EQ(0, msg->BytesLeft());
            // The first surface exists once its ID and flags are there; the
            // guard never does, as it is never whole.
            std::vector<int> ids = ChildIDs(&parent);
            if (cut < 8)
                EXPECT_TRUE(ids.empty());
            else if (cut < first + 8)
                EXPECT_EQ(std::vector<int>{9}, ids);
            else
                EXPECT_EQ((std::vector<int>{9, 4242}), ids);
        }
    }
}

TEST_F(SurfBuild, TruncatedPropertiesReadAsZero)
{
    // A text cut after its colour: size, alignment, style and spacing are 0.
    {
        REC r;
        r.iKind = 6;
        r.props = Cat({Str("abc"), RGB(0x0A0B0C)});
        ASSERT_EQ(0, Build(Record(r), 1));
        auto* t = dynamic_cast<CSurfText*>(m_Root.FirstChild());
        ASSERT_NE(nullptr, t);
        EXPECT_TRUE(t->Text() == "abc");
        EXPECT_EQ(0x0A0B0Cu, t->Color());
        EXPECT_EQ(0, t->FontSize());
        EXPECT_EQ(0, t->LineSpacing());
    }
    // A button with two of its six IDs.
    {
        CSurf root(nullptr, 0, CRVRect(), CRVRect());
        REC r;
        r.iKind = 4;
        r.props = Cat({I32(7), I32(8)});
        Received msg(Record(r));
        EXPECT_EQ(0, root.AddSubSurfaces(msg.get(), 0, 1));
        auto* b = dynamic_cast<CSurfButton*>(root.FirstChild());
        ASSERT_NE(nullptr, b);
        EXPECT_EQ(7, b->ImageID(BUTTON_IMAGE_NORMAL, ORIENT_0));
        EXPECT_EQ(8, b->ImageID(BUTTON_IMAGE_PRESSED, ORIENT_0));
        EXPECT_EQ(0, b->ImageID(BUTTON_IMAGE_ON, ORIENT_0));
        EXPECT_EQ(0, b->ImageID(BUTTON_IMAGE_NORMAL, ORIENT_1));
    }
    // A video profile whose start-up data announces more than there is.
    {
        CSurf root(nullptr, 0, CRVRect(), CRVRect());
        Bytes profile = Profile({1, 2, 3, 4});
        // Patch the length word (after the five strings and eight ints) to 1 GB.
        size_t lengthAt = profile.size() - 4 - 4;
        Bytes big = I32(0x40000000);
        std::copy(big.begin(), big.end(), profile.begin() + lengthAt);
        REC r;
        r.iKind = 19;
        r.props = Cat({I32(5), U8(1), profile});
        Received msg(Record(r));
        EXPECT_EQ(0, root.AddSubSurfaces(msg.get(), 0, 1));
        auto* v = dynamic_cast<CSurfRTSP*>(root.FirstChild());
        ASSERT_NE(nullptr, v);
        EXPECT_EQ(5, v->FallbackID());
        EXPECT_EQ(0, v->HasProfile());
    }
}

TEST_F(SurfBuild, MoreRecordsAnnouncedThanSentKeepsThoseThatCame)
{
    REC a, b;
    a.iID = 1;
    b.iID = 2;
    EXPECT_EQ(0, Build(Cat({Record(a), Record(b)}), 5));
    EXPECT_EQ((std::vector<int>{1, 2}), ChildIDs(&m_Root));
}

// ---- depth ----

Bytes Chain(int n, int iKind = 0)
{
    Bytes data;
    for (int i = 0; i < n; ++i) {
        REC r;
        r.iID = i + 1;
        r.iKind = iKind;
        r.iChildren = i + 1 < n ? 1 : 0;
        Add(data, Record(r));
    }
    return data;
}

TEST_F(SurfBuild, NestingIsBoundedByTheTreeDepth)
{
    struct Case
    {
        const char* name;
        int iRecords;
        int iParentDepth;
        int iResult;
        int iBuiltDepth;    // levels below the parent
    };
    const Case cases[] = {
        {"exactly the limit", RV_MAX_SURFACE_DEPTH, 0, 1, RV_MAX_SURFACE_DEPTH},
        {"one past the limit", RV_MAX_SURFACE_DEPTH + 1, 0, 0, RV_MAX_SURFACE_DEPTH},
        {"ten thousand deep", 10000, 0, 0, RV_MAX_SURFACE_DEPTH},
        {"limit counted from the root", 10, RV_MAX_SURFACE_DEPTH - 5, 0, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSurf root(nullptr, 0, CRVRect(), CRVRect());
        CSurf* pParent = &root;
        for (int i = 0; i < c.iParentDepth; ++i) {
            CSurf* p = new CSurf(pParent, -1 - i, CRVRect(), CRVRect());
            pParent->AddChildTail(p);
            pParent = p;
        }
        REC after;
        after.iID = 99999;
        Received msg(Cat({Chain(c.iRecords), Record(after)}));
        EXPECT_EQ(c.iResult, pParent->AddSubSurfaces(msg.get(), 0, 2));
        EXPECT_EQ(c.iBuiltDepth, Depth(pParent));
        // Past the limit nothing else of the message is read.
        EXPECT_EQ(c.iResult == 1, root.FindSurface(99999) != nullptr);
        EXPECT_EQ(0, msg->BytesLeft());
    }
}

}   // namespace
