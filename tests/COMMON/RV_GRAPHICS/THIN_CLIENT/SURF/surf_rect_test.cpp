// CSurfRect's properties: colour per orientation and corner radius.
#include <gtest/gtest.h>

#include "msgids.h"
#include "rvmsg.h"
#include "surf_rect.h"

namespace {

void SetProps(CSurfRect* r, unsigned int c0, unsigned int c1, int radius)
{
    CRVMSG msg(0, MSG_SURFACE_PROPS, 8, 1);
    msg.PutColorBYTE(c0);
    msg.PutColorBYTE(c1);
    msg.PutBYTE((unsigned char)radius);
    msg.ResetRead();
    r->SetSurfaceProps(&msg, 0);
}

TEST(SurfRect, PropertiesMarkTheAppearanceOnlyWhenTheyChange)
{
    CSurfRect r(nullptr, 1, CRVRect(0, 0, 10, 10), CRVRect(0, 0, 10, 10), 0x112233);
    EXPECT_EQ(r.Color(ORIENT_0), 0x112233u);
    EXPECT_EQ(r.Color(ORIENT_1), 0x112233u);

    SetProps(&r, 0x112233, 0x112233, 0);
    EXPECT_EQ(r.State() & 0x10001, 0);

    SetProps(&r, 0xFF8000, 0x0000FF, 12);
    EXPECT_EQ(r.State() & 0x10001, 0x10001);
    EXPECT_EQ(r.Color(ORIENT_0), 0xFF8000u);
    EXPECT_EQ(r.Color(ORIENT_1), 0x0000FFu);
    EXPECT_EQ(r.Radius(), 12);

    r.StateFlags(0);
    SetProps(&r, 0xFF8000, 0x0000FF, 13);   // the radius alone
    EXPECT_EQ(r.State() & 0x10001, 0x10001);
}

TEST(SurfRect, TruncatedPropertiesReadAsZero)
{
    CSurfRect r(nullptr, 1, CRVRect(0, 0, 10, 10), CRVRect(0, 0, 10, 10), 0x112233);
    CRVMSG msg(0, MSG_SURFACE_PROPS, 4, 1);
    msg.PutColorBYTE(0x445566);
    msg.ResetRead();
    r.SetSurfaceProps(&msg, 0);
    EXPECT_EQ(r.Color(ORIENT_0), 0x445566u);
    EXPECT_EQ(r.Color(ORIENT_1), 0u);
    EXPECT_EQ(r.Radius(), 0);
}

}  // namespace
