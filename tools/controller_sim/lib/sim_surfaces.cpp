#include "sim_surfaces.h"

#include "rvdebug.h"
#include "sim_text.h"

#include <limits.h>
#include <string.h>

#include <algorithm>
#include <string>

namespace {

// Record flag fields of a surface record.
enum
{
    REC_CHILD_SHIFT = 8,
    REC_CHILD_MAX = 0x3FF,
    REC_ALPHA_SHIFT = 20,
    REC_FULL_POSITIONS = 0x10000000,
};

// Step commands and flags of the animation messages.
enum { STEP_MOVE = 1, STEP_FADE = 2, STEP_AT_ONCE = 0x2, STEP_HAS_DELAY = 0x1000 };

unsigned char Byte(int v)
{
    return (unsigned char)std::clamp(v, 0, 255);
}

short Short(int v)
{
    return (short)std::clamp(v, (int)SHRT_MIN, (int)SHRT_MAX);
}

// The bytes a sequence of Puts produced.
class CPropWriter
{
public:
    CPropWriter() : m_msg(0, 0, 0, 1) {}
    CRVMSG* operator->() { return &m_msg; }
    SIM_BYTES Bytes()
    {
        const unsigned char* p = m_msg.Data();
        return p ? SIM_BYTES(p, p + m_msg.DataSize()) : SIM_BYTES();
    }

private:
    CRVMSG m_msg;
};

SIM_SURFACE Surface(int iID, int iKind, const CRVRect& rc, SIM_BYTES props)
{
    SIM_SURFACE s;
    s.iID = iID;
    s.iKind = iKind;
    s.rc[0] = s.rc[1] = rc;
    s.props = std::move(props);
    return s;
}

bool FitsShort(const CRVRect& rc)
{
    for (int v : {rc.x, rc.y, rc.width, rc.height})
        if (v < SHRT_MIN || v > SHRT_MAX)
            return false;
    return true;
}

int PutBytes(CRVMSG* pMsg, const SIM_BYTES& bytes)
{
    return bytes.empty() || pMsg->PutDataNoAlign(bytes.data(), (int)bytes.size());
}

}  // namespace

const SIM_SURFACE* SIM_SURFACE::Find(int id) const
{
    if (iID == id)
        return this;
    for (const SIM_SURFACE& c : children)
        if (const SIM_SURFACE* p = c.Find(id))
            return p;
    return nullptr;
}

SIM_BYTES SimRectProps(unsigned int uColor, int iRadius)
{
    CPropWriter w;
    w->PutColorBYTE(uColor);    // orientation 0
    w->PutColorBYTE(uColor);    // orientation 1
    w->PutBYTE(Byte(iRadius));
    return w.Bytes();
}

SIM_BYTES SimTextProps(const char* pszUtf8, const SIM_TEXT_STYLE& style)
{
    CRVString text;
    if (!SimMakeStringUtf8(pszUtf8 ? pszUtf8 : "", &text)) {
        RV_ASSERT(0);
        text = CRVString("");
    }
    CPropWriter w;
    w->PutString(text);
    w->PutColorBYTE(style.uColor);
    w->PutBYTE(Byte(style.iSize));
    w->PutBYTE(Byte(style.iAlign));
    w->PutBYTE(0);      // one line
    w->PutBYTE(100);    // line spacing in per cent
    return w.Bytes();
}

SIM_SURFACE SimContainer(int iID, const CRVRect& rc)
{
    return Surface(iID, SIM_KIND_CONTAINER, rc, SIM_BYTES());
}

SIM_SURFACE SimRect(int iID, const CRVRect& rc, unsigned int uColor, int iRadius)
{
    return Surface(iID, SIM_KIND_RECT, rc, SimRectProps(uColor, iRadius));
}

SIM_SURFACE SimText(int iID, const CRVRect& rc, const char* pszUtf8, const SIM_TEXT_STYLE& style)
{
    return Surface(iID, SIM_KIND_TEXT, rc, SimTextProps(pszUtf8, style));
}

SIM_SURFACE SimGradient(int iID, const CRVRect& rc, unsigned int uTop, unsigned int uBottom)
{
    CPropWriter w;
    // Three colours per orientation, of which the first two are drawn.
    for (int o = 0; o < 2; o++) {
        w->PutColorBYTE(uTop);
        w->PutColorBYTE(uBottom);
        w->PutColorBYTE(uBottom);
    }
    w->PutBYTE(1);
    return Surface(iID, SIM_KIND_GRADIENT, rc, w.Bytes());
}

SIM_SURFACE SimMirror(int iID, const CRVRect& rc, int iLevel, int iLine)
{
    CPropWriter w;
    w->PutBYTE(Byte(iLevel));
    w->PutBYTE(Byte(iLevel));
    w->PutShort(Short(iLine));
    w->PutShort(Short(iLine));
    w->PutColorBYTE(0);
    return Surface(iID, SIM_KIND_MIRROR, rc, w.Bytes());
}

SIM_SURFACE SimRow(int iID, const CRVRect& rc, int iAnchor)
{
    CPropWriter w;
    w->PutShort(Short(iAnchor));
    w->PutShort(Short(iAnchor));
    return Surface(iID, SIM_KIND_ROW, rc, w.Bytes());
}

SIM_SURFACE SimBorderBox(int iID, const CRVRect& rc, const SIM_BORDER_COLORS& c, int iBorder)
{
    CPropWriter w;
    for (unsigned int u : {c.uOuterTop, c.uOuterBottom, c.uInnerTop, c.uInnerBottom, c.uCentreTop, c.uCentreBottom}) {
        w->PutColorBYTE(u);
        w->PutBYTE(255);
    }
    w->PutBYTE(Byte(iBorder));
    return Surface(iID, SIM_KIND_BORDER_BOX, rc, w.Bytes());
}

SIM_SURFACE SimColorBox(int iID, const CRVRect& rc, SIM_CORNER topLeft, SIM_CORNER topRight, SIM_CORNER bottomLeft,
                        SIM_CORNER bottomRight)
{
    CPropWriter w;
    for (const SIM_CORNER& c : {topLeft, topRight, bottomLeft, bottomRight}) {
        w->PutColorBYTE(c.uColor);
        w->PutBYTE(Byte(c.iAlpha));
    }
    return Surface(iID, SIM_KIND_COLOR_BOX, rc, w.Bytes());
}

namespace {

// Every surface's child count fits its record.
bool CountsFit(const SIM_SURFACE& s)
{
    if (s.children.size() > REC_CHILD_MAX)
        return false;
    for (const SIM_SURFACE& c : s.children)
        if (!CountsFit(c))
            return false;
    return true;
}

int PutRecord(CRVMSG* pMsg, const SIM_SURFACE& s)
{
    const bool bShort = FitsShort(s.rc[0]) && FitsShort(s.rc[1]);
    const int iFlags = (s.iKind & 0xFF) | (int)s.children.size() << REC_CHILD_SHIFT |
                       (int)Byte(s.iAlpha) << REC_ALPHA_SHIFT | (bShort ? 0 : (int)REC_FULL_POSITIONS);
    int ok = pMsg->PutInt(s.iID) && pMsg->PutInt(iFlags);
    for (const CRVRect& rc : s.rc)
        ok = ok && (bShort ? pMsg->PutShortRECT(rc) : pMsg->PutRECT(rc));
    ok = ok && pMsg->PutInt(s.iAttribs) && PutBytes(pMsg, s.props);
    for (size_t i = 0; ok && i < s.children.size(); i++)
        ok = PutRecord(pMsg, s.children[i]);
    return ok;
}

}  // namespace

int SimPutSurface(CRVMSG* pMsg, const SIM_SURFACE& s)
{
    // Checked before anything is written: a record cannot say it has more
    // children than its count field holds.
    if (!CountsFit(s)) {
        RV_ASSERT(0);
        return 0;
    }
    return PutRecord(pMsg, s);
}

// ---- CSimBatch -------------------------------------------------------------

CSimBatch::CSimBatch(short sMessageID) : m_msg(-1, sMessageID, 0, 1) {}

CRVMSG& CSimBatch::Begin(int iSurface)
{
    m_msg.SenderID((short)m_iRecords);
    m_iRecords++;
    m_msg.PutInt(iSurface);
    return m_msg;
}

int CSimBatch::AddSurface(int iParent, const SIM_SURFACE& surface)
{
    // Written aside first, so that a record that cannot be written leaves
    // the batch as it was.
    CPropWriter record;
    if (!SimPutSurface(record.operator->(), surface))
        return 0;
    const SIM_BYTES bytes = record.Bytes();
    CRVMSG& m = Begin(iParent);
    if (PutBytes(&m, bytes))
        return 1;
    RV_ASSERT(0);
    return 0;
}

void CSimBatch::Props(const SIM_SURFACE& surface)
{
    Props(surface.iID, surface.props);
}

void CSimBatch::Props(int iSurface, const SIM_BYTES& props)
{
    PutBytes(&Begin(iSurface), props);
}

void CSimBatch::Position(int iSurface, const CRVRect& rc)
{
    Begin(iSurface).PutRECT(rc);
}

void CSimBatch::Attribute(int iSurface, int iKind, int iValue, int iTime)
{
    CRVMSG& m = Begin(iSurface);
    m.PutInt(iKind);
    m.PutInt(iValue);
    m.PutInt(iTime);
}

void CSimBatch::Transform(int iSurface, int x, int y, int iScaleX, int iScaleY)
{
    CRVMSG& m = Begin(iSurface);
    for (int v : {x, y, iScaleX, iScaleY})
        m.PutShort(Short(v));
}

void CSimBatch::AnimateTransform(int iSurface, int x, int y, int iScaleX, int iScaleY, int iTimeMs)
{
    Transform(iSurface, x, y, iScaleX, iScaleY);
    m_msg.PutInt(iTimeMs);
}

// ---- CSimAnimation -----------------------------------------------------------

CSimAnimation::CSimAnimation(int iSurface, int iHeaderFlags) : m_iSurface(iSurface), m_iHeaderFlags(iHeaderFlags) {}

void CSimAnimation::Move(int iTarget, const CRVRect& rc, unsigned int uDelayMs)
{
    Step(STEP_MOVE, 0, iTarget, rc, 0, 0, uDelayMs);
}

void CSimAnimation::Fade(int iTarget, int iAlpha, int bAtOnce, unsigned int uDelayMs)
{
    Step(STEP_FADE, bAtOnce ? STEP_AT_ONCE : 0, iTarget, CRVRect(), 0, std::clamp(iAlpha, 0, 255), uDelayMs);
}

void CSimAnimation::Step(int iCommand, int iFlags, int iTarget, const CRVRect& rc, int iValue1, int iValue2,
                         unsigned int uDelayMs)
{
    RV_ASSERT(uDelayMs <= 0xFFFF);
    if (uDelayMs)
        iFlags |= STEP_HAS_DELAY;
    CPropWriter w;
    w->PutInt(iCommand);
    w->PutInt(iFlags);
    w->PutInt(0);
    w->PutInt(iTarget);
    w->PutRECT(rc);
    w->PutInt(iValue1);
    w->PutInt(iValue2);
    if (iFlags & STEP_HAS_DELAY)
        w->PutWORD((unsigned short)(uDelayMs > 0xFFFF ? 0xFFFF : uDelayMs));
    const SIM_BYTES step = w.Bytes();
    m_steps.insert(m_steps.end(), step.begin(), step.end());
    m_iSteps++;
}

void CSimAnimation::Write(CRVMSG* pMsg) const
{
    pMsg->PutInt(m_iSurface);
    pMsg->PutInt(m_iHeaderFlags);
    pMsg->PutInt(m_iSteps);
    PutBytes(pMsg, m_steps);
}
