// Surface records and surface commands as a controller writes them: the
// writing half of what the viewer's surface code reads. A page is described
// as a tree of SIM_SURFACE values (kind, geometry, the kind's property bytes,
// children) and written into the batch messages that add surfaces, change
// their properties, move, fade and scale them.
//
// Property bytes carry no alignment that depends on where they land in a
// message (strings pad relative to their own start), so the same bytes serve
// a new surface's record and a later property change.
#pragma once

#include "rvmsg.h"
#include "rvrect.h"

#include <vector>

// Surface kinds this writer builds.
enum SIM_SURFACE_KIND
{
    SIM_KIND_CONTAINER = 0,     // draws nothing; groups and places its children
    SIM_KIND_RECT = 1,          // filled rectangle, optionally rounded
    SIM_KIND_TEXT = 6,
    SIM_KIND_GRADIENT = 7,      // vertical two-colour gradient
    SIM_KIND_MIRROR = 9,        // children reflect below a line
    SIM_KIND_ROW = 10,          // children side by side around an anchor
    SIM_KIND_BORDER_BOX = 20,   // bevelled frame with a gradient centre
    SIM_KIND_COLOR_BOX = 22,    // four corner colours, each with an alpha
};

// Surface attribute bits.
enum
{
    SIM_ATTR_TEXT_ATLAS = 0x200,
    SIM_ATTR_TOUCHABLE = 0x400,
    SIM_ATTR_STENCIL_CLIP = 0x2000,
};

// Text alignment bits.
enum
{
    SIM_ALIGN_LEFT = 0,
    SIM_ALIGN_CENTRE = 0x2,
    SIM_ALIGN_RIGHT = 0x4,
    SIM_ALIGN_MIDDLE = 0x10,    // vertically centred
};

// Messages the writer fills.
enum SIM_SURFACE_MSG : short
{
    SIM_MSG_ADD_SURFACES_BELOW = 20113,
    SIM_MSG_ADD_SURFACES = 20114,
    SIM_MSG_REMOVE_SURFACES = 20115,
    SIM_MSG_CLEAR_SURFACE = 20116,
    SIM_MSG_SURFACE_PROPS = 20117,
    SIM_MSG_SET_POSITION = 20118,
    SIM_MSG_SET_ATTRIBUTE = 20120,
    SIM_MSG_ANIMATE_SYNC = 20121,
    SIM_MSG_ANIMATE_ASYNC = 20122,
    SIM_MSG_SET_TRANSFORM = 20168,
    SIM_MSG_ANIMATE_TRANSFORM = 20184,
};

typedef std::vector<unsigned char> SIM_BYTES;

struct SIM_SURFACE
{
    int iID = 0;
    int iKind = SIM_KIND_CONTAINER;
    CRVRect rc[2];              // position in orientation 0 and 1, in the parent
    int iAlpha = 255;
    int iAttribs = 0;
    SIM_BYTES props;            // the kind's properties
    std::vector<SIM_SURFACE> children;

    SIM_SURFACE& Alpha(int a)
    {
        iAlpha = a;
        return *this;
    }
    SIM_SURFACE& Attribs(int a)
    {
        iAttribs = a;
        return *this;
    }
    SIM_SURFACE& Add(SIM_SURFACE child)
    {
        children.push_back(std::move(child));
        return *this;
    }
    // This surface or a descendant with the ID (depth first); null if none.
    const SIM_SURFACE* Find(int id) const;
};

struct SIM_TEXT_STYLE
{
    unsigned int uColor;        // 0x00RRGGBB
    int iSize;                  // font size in pixels, 1 to 255
    int iAlign;                 // SIM_ALIGN_* bits
};

// Surfaces of each kind, placed at rc in both orientations. Colours are
// 0x00RRGGBB; sizes, radii and levels that do not fit their byte are clamped.
SIM_SURFACE SimContainer(int iID, const CRVRect& rc);
SIM_SURFACE SimRect(int iID, const CRVRect& rc, unsigned int uColor, int iRadius = 0);
// Text from UTF-8 (characters up to U+FFFF; invalid UTF-8 is sent as empty).
SIM_SURFACE SimText(int iID, const CRVRect& rc, const char* pszUtf8, const SIM_TEXT_STYLE& style);
SIM_SURFACE SimGradient(int iID, const CRVRect& rc, unsigned int uTop, unsigned int uBottom);
// Reflection of the children below the line iLine pixels under the mirror's
// top, at iLevel (0 none, 255 full).
SIM_SURFACE SimMirror(int iID, const CRVRect& rc, int iLevel, int iLine);
// Children laid out side by side, centred on iAnchor when they fit around it.
SIM_SURFACE SimRow(int iID, const CRVRect& rc, int iAnchor);

// Border box colours: outer, inner and centre, each top and bottom.
struct SIM_BORDER_COLORS
{
    unsigned int uOuterTop, uOuterBottom, uInnerTop, uInnerBottom, uCentreTop, uCentreBottom;
};
SIM_SURFACE SimBorderBox(int iID, const CRVRect& rc, const SIM_BORDER_COLORS& colors, int iBorder);

// One corner of a colour box.
struct SIM_CORNER
{
    unsigned int uColor;
    int iAlpha;
};
SIM_SURFACE SimColorBox(int iID, const CRVRect& rc, SIM_CORNER topLeft, SIM_CORNER topRight, SIM_CORNER bottomLeft,
                        SIM_CORNER bottomRight);

// The property bytes alone, for a property change of an existing surface.
SIM_BYTES SimRectProps(unsigned int uColor, int iRadius);
SIM_BYTES SimTextProps(const char* pszUtf8, const SIM_TEXT_STYLE& style);

// Writes one surface record with its children, nested. Positions go as 16-bit
// values when every coordinate fits, else as ints (which also selects
// property variant 1; the kinds above read their properties the same way in
// both variants). 0 when the message would pass its size limit, and 0 with
// nothing written when a surface has more than 1023 children.
int SimPutSurface(CRVMSG* pMsg, const SIM_SURFACE& surface);

// A batch message: its sender ID is the number of records - 1, kept up to
// date as records are added.
class CSimBatch
{
public:
    explicit CSimBatch(short sMessageID);

    // Starts a record about iSurface (its ID written) and returns the message
    // for the rest of the record.
    CRVMSG& Begin(int iSurface);

    // Whole records of the common commands.
    // 20113 / 20114. 0 when the record cannot be written: too many children
    // (the batch is unchanged) or the message would pass its size limit.
    int AddSurface(int iParent, const SIM_SURFACE& surface);
    void Props(const SIM_SURFACE& surface);                           // 20117: its props
    void Props(int iSurface, const SIM_BYTES& props);                 // 20117
    void Position(int iSurface, const CRVRect& rc);                   // 20118
    void Attribute(int iSurface, int iKind, int iValue, int iTime);   // 20120
    // 20168: offset and scale (per mille); 20184 adds the time in ms.
    void Transform(int iSurface, int x, int y, int iScaleX, int iScaleY);
    void AnimateTransform(int iSurface, int x, int y, int iScaleX, int iScaleY, int iTimeMs);

    int Records() const { return m_iRecords; }
    CRVMSG& Message() { return m_msg; }

private:
    CRVMSG m_msg;
    int m_iRecords = 0;
};

// An animation message (20122, or 20121 which the viewer waits out): steps
// that move, fade and change attributes of surfaces inside iSurface.
class CSimAnimation
{
public:
    // Header flags: the default duration (250 ms; 0x40000 450 ms; 0x50000
    // 900 ms; bits 16 and up also pause the viewer that many ms after the
    // steps) and the profile of moves (0x8000 ease-out, else trapezoid).
    enum { EASE_OUT = 0x8000, LONG = 0x40000 };
    CSimAnimation(int iSurface, int iHeaderFlags);

    // Moves a surface to rc (orientation 0) over the default duration.
    void Move(int iTarget, const CRVRect& rc, unsigned int uDelayMs = 0);
    // Fades a surface's alpha to iAlpha (linear); bAtOnce sets it at once.
    void Fade(int iTarget, int iAlpha, int bAtOnce = 0, unsigned int uDelayMs = 0);
    // Any step: command, step flags, target, rectangle, two values, delay.
    void Step(int iCommand, int iFlags, int iTarget, const CRVRect& rc, int iValue1, int iValue2,
              unsigned int uDelayMs);

    int Steps() const { return m_iSteps; }
    // The whole message; 20121 when bSync.
    void Write(CRVMSG* pMsg) const;
    short MessageID(int bSync = 0) const { return bSync ? SIM_MSG_ANIMATE_SYNC : SIM_MSG_ANIMATE_ASYNC; }

private:
    int m_iSurface;
    int m_iHeaderFlags;
    int m_iSteps = 0;
    SIM_BYTES m_steps;      // the steps' bytes, in order
};
