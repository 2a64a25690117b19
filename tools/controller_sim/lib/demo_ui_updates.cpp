// The messages that build the demo panel and change it as the user taps.
#include "demo_ui.h"

namespace {

int PageID(int iPage)
{
    return DEMO_ID_PAGE * (iPage + 1);
}

CRVRect Shifted(const CRVRect& rc, int dx)
{
    return CRVRect(rc.x + dx, rc.y, rc.width, rc.height);
}

void Send(CSimBatch& batch, const DEMO_SEND& send)
{
    if (batch.Records() > 0)
        send(batch.Message());
}

void Send(const CSimAnimation& animation, const DEMO_SEND& send)
{
    CRVMSG msg(0, animation.MessageID(), 0, 1);
    animation.Write(&msg);
    send(msg);
}

// Pressed parts shrink to this (per mille) and spring back when let go.
enum { PRESSED_SCALE = 960, PRESS_MS = 80, RELEASE_MS = 160 };

}  // namespace

void DemoSendPanel(const DEMO_STATE& state, const char* pszSystemName, const DEMO_SEND& send)
{
    // A session start on a viewer that still shows an earlier one begins
    // from an empty screen.
    CSimBatch clear(SIM_MSG_CLEAR_SURFACE);
    clear.Begin(0);
    Send(clear, send);

    CSimBatch root(SIM_MSG_SURFACE_PROPS);
    root.Props(0, SimRectProps(DEMO_COLOR_ROOT, 0));
    Send(root, send);

    // Pages first: the navigation column and the header lie on top, so a
    // page sliding out to the left goes under them.
    CSimBatch add(SIM_MSG_ADD_SURFACES);
    for (int i = 0; i < DEMO_PAGES; i++)
        add.AddSurface(0, DemoPage(state, i));
    add.AddSurface(0, DemoNav(state.iPage));
    add.AddSurface(0, DemoHeader(pszSystemName));
    Send(add, send);
}

void DemoSendPageChange(const DEMO_STATE& state, int iFrom, const DEMO_SEND& send)
{
    const int iTo = state.iPage;
    if (iTo == iFrom || iTo < 0 || iTo >= DEMO_PAGES || iFrom < 0 || iFrom >= DEMO_PAGES)
        return;
    CSimBatch labels(SIM_MSG_SURFACE_PROPS);
    labels.Props(DemoTabLabel(iFrom, false));
    labels.Props(DemoTabLabel(iTo, true));
    Send(labels, send);

    // The new page starts a little to the right (this also stops a slide it
    // may still be in from an earlier change).
    CSimBatch start(SIM_MSG_SET_POSITION);
    start.Position(PageID(iTo), Shifted(kDemoPage, DEMO_SLIDE));
    Send(start, send);

    CSimAnimation slide(0, CSimAnimation::EASE_OUT);
    slide.Fade(PageID(iTo), 0, 1);
    slide.Move(PageID(iTo), kDemoPage);
    slide.Fade(PageID(iTo), 255);
    slide.Move(PageID(iFrom), Shifted(kDemoPage, -DEMO_SLIDE));
    slide.Fade(PageID(iFrom), 0);
    slide.Move(DEMO_ID_TAB_HIGHLIGHT, DemoTabRect(iTo));
    Send(slide, send);
}

void DemoSendLight(const DEMO_STATE& state, int iLight, const DEMO_SEND& send)
{
    if (iLight < 0 || iLight >= DEMO_LIGHTS)
        return;
    const bool bOn = state.bLightOn[iLight];
    CSimBatch props(SIM_MSG_SURFACE_PROPS);
    props.Props(DemoLightBulb(iLight, bOn));
    props.Props(DemoLightState(iLight, bOn));
    props.Props(DemoPageNote(state, DEMO_PAGE_LIGHTS));
    props.Props(DemoRoomStatusText(state, kDemoLights[iLight].iRoom));
    Send(props, send);

    CSimAnimation glow(0, 0);
    glow.Fade(DemoLightGlow(iLight, bOn).iID, DemoLightGlow(iLight, bOn).iAlpha);
    Send(glow, send);
}

void DemoSendSetpoint(const DEMO_STATE& state, const DEMO_SEND& send)
{
    CSimBatch props(SIM_MSG_SURFACE_PROPS);
    props.Props(DemoSetpointValue(state));
    props.Props(DemoSetpointStatus(state));
    Send(props, send);

    // Attribute kind 1 fades the alpha; an unchanged alpha does nothing.
    CSimBatch dim(SIM_MSG_SET_ATTRIBUTE);
    dim.Attribute(DEMO_ID_SETPOINT_MINUS, 1, DemoButtonAlpha(state.CanLower()), 150);
    dim.Attribute(DEMO_ID_SETPOINT_PLUS, 1, DemoButtonAlpha(state.CanRaise()), 150);
    Send(dim, send);
}

void DemoSendPress(int iSurface, bool bDown, const DEMO_SEND& send)
{
    CSimBatch scale(SIM_MSG_ANIMATE_TRANSFORM);
    const int s = bDown ? PRESSED_SCALE : 1000;
    scale.AnimateTransform(iSurface, 0, 0, s, s, bDown ? PRESS_MS : RELEASE_MS);
    Send(scale, send);
}
