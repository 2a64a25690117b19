// CSurf: one node of the surface tree the controller builds, and the base of
// every surface kind.
//
// A surface has a controller-chosen ID, a rectangle per screen orientation
// (relative to its parent's client area, whose origin moves by the parent's
// content offset), an alpha, attribute bits from the controller, state bits of
// the engine, an optional transform and rotations, and children kept in
// drawing order (the first child is drawn first and lies at the bottom).
//
// Every change, traversal and touch runs under the main window's tree lock;
// a surface is deleted only on the drawing thread, through the main window's
// garbage, after PrepareDelete has unlinked it from animations and timers.
#pragma once

#include "rvrect.h"
#include "rvtypes.h"

#include <time.h>

class CRVMSG;
class CRVString;
class CRenderObject;
class CSurfAnimation;
class CTextAtlas;
class CTextAtlasEntry;
struct RVT_TEXT_RENDER_PARAMS;

// Screen orientation: 0 or 1. Render objects also see 2, 3 and 4, so every
// int is a valid value (fixed underlying type).
enum ORIENT : int
{
    ORIENT_0 = 0,
    ORIENT_1 = 1,
};

// Context words passed along geometry calls. A non-zero MODIFY_CONTEXT
// suppresses the redraw request of a change; a non-zero POSITION_CTX asks
// scroll views for their target offsets instead of the current ones.
typedef int POSITION_CTX;
typedef int MODIFY_CONTEXT;

// How an animation moves from its start to its end.
enum ACCEL_PROFILE : int
{
    ACCEL_TRAPEZOID = 0,    // speeds up, glides, slows down
    ACCEL_EASE_OUT = 1,
    ACCEL_LINEAR = 2,
};

// Whether the main window waits for an animation (message 20121 does).
enum ANIMATION_TERM : int
{
    ANIMATION_TERM_WAIT = 0,
    ANIMATION_TERM_NO_WAIT = 1,
};

// StopAnimation's orientation argument for both orientations.
enum { ANIMATION_BOTH_ORIENTATIONS = 2 };

// Message 20153: jog x towards one end at a speed, with position reports.
struct RVT_JOG_COMMAND
{
    ORIENT eOrientation;
    int iMode;          // -1 stop and report, 2 jog to the left end, 3 to the right end
    int iLeftEnd;
    int iRightEnd;
    int iSpeed;         // units per second
    int iThreshold;     // report after moving more than this; 0 never
};

// What the drawing traversal hands down the tree.
struct RVT_MATRIX_CONFIG
{
    int iOffsetX = 0;           // running 2-D offset of the surface being drawn
    int iOffsetY = 0;
    int iClipCount = 0;         // nesting of stencil clips; only the outermost draws
    int iDepth = 0;             // tree depth of the surface being drawn
    ORIENT eOrientation = ORIENT_0;
    int iOrientMode = 0;        // 0 none, 1 turning to orientation 0, 2 turning to 1
    int iOrientProgress = 0;    // 0 .. 1000
    // The stencil clip last written this frame, so an equal one is not redrawn.
    int bStencilValid = 0;      // rcStencil and fStencilMatrix hold a clip
    int bStencilUsed = 0;       // a clip was written this frame: clear before the next
    CRVRect rcStencil;
    float fStencilMatrix[16] = {};
};

class CSurfIDIndex;
class CSurf
{
public:
    // Attribute bits (set by the controller).
    enum
    {
        SA_CACHE_OWNER = 0x8,
        SA_KIND_16 = 0x10,
        SA_HIDE_ORIENT_0 = 0x20,
        SA_HIDE_ORIENT_1 = 0x40,
        SA_TEXT_ATLAS = 0x200,
        SA_TOUCHABLE = 0x400,
        SA_DELAYED_PRESS = 0x800,   // also: pinch-scalable
        SA_HIT_2 = 0x1000,
        SA_STENCIL_CLIP = 0x2000,
        SA_HIT_4 = 0x8000,
        SA_KIND_80000 = 0x80000,
        SA_OWN_CONTENT_OFFSET = (int)0x80000000,
    };
    // State bits (kept by the engine).
    enum
    {
        SS_NEEDS_REDRAW = 0x1,
        SS_HIDDEN = 0x4,
        SS_DRAWN = 0x8,
        SS_INHERIT_40 = 0x40,
        SS_INHERIT_100 = 0x100,
        SS_FONT_CHANGED = 0x200,
        SS_SIZE_CHANGED = 0x800,
        SS_PRESSED = 0x1000,
        SS_HAS_TRANSFORM = 0x2000,
        SS_ANIMATIONS_HELD = 0x4000,
        SS_APPEARANCE = 0x10000,
        SS_CHILDREN = 0x20000,
        SS_JOG_REPORT_OUT = 0x80000,       // a jog position report awaits its acknowledgement
        SS_JOG_REPORT_PENDING = 0x100000,  // ... and another one is due when it comes
        SS_PRESS_PENDING = 0x200000,
        SS_DEFERRED_REDRAW = 0x1000000,
        SS_SCALE_PENDING = 0x2000000,
        SS_PINCH = 0x4000000,
        SS_TRANSFORM_CHANGED = 0x8000000,
    };
    // Touch handlers answer this when they did not take the touch.
    enum { TOUCH_NOT_TAKEN = 2 };
    // Delay of a press on a pinch-scalable surface; least time between two
    // scale reports.
    enum { PRESS_DELAY_MS = 100, SCALE_REPORT_MS = 250 };

    // Parent, ID, position in orientation 0 and 1. Not linked into the parent.
    CSurf(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1);

    CSurf(const CSurf&) = delete;
    CSurf& operator=(const CSurf&) = delete;

    // ---- virtual interface, in slot order ----
    virtual ~CSurf();
    virtual int StateFlags();
    virtual void StateFlags(int iFlags);
    virtual void Attribs(int iAttribs);
    // Hook for kinds that create their own children; null in the base.
    virtual CSurf* CreateSubSurface(int iKind, int iID, CRVRect rc0, CRVRect rc1);
    // The rectangle to draw in: the configuration's orientation, or both
    // orientations blended while the screen turns.
    virtual CRVRect ScreenRect(RVT_MATRIX_CONFIG* pConfig);
    virtual CRVRect ScreenRect(ORIENT eOrient, POSITION_CTX ctx = 0);
    // A coordinate of this surface's client area on the screen.
    virtual int XScreenClient(ORIENT eOrient, int v, POSITION_CTX ctx = 0);
    virtual int YScreenClient(ORIENT eOrient, int v, POSITION_CTX ctx = 0);
    // 0 when unchanged.
    virtual int SetPosition(ORIENT eOrient, CRVRect rc, MODIFY_CONTEXT ctx = 0);
    // 0 when unchanged.
    virtual int SetAlpha(int iAlpha, MODIFY_CONTEXT ctx = 0);
    // The visible window for a rectangle given in this surface's client
    // coordinates, relative to the rectangle's origin: the rectangle is carried
    // up the tree and the root answers with its screen area seen from there.
    virtual CRVRect ClipRect(ORIENT eOrient, CRVRect rc);
    virtual CRenderObject* GetRenderObject();
    // Draws the surface and its subtree; 1 when drawn.
    virtual int Render(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig);
    // Draws the surface itself; nothing in the base.
    virtual int RenderThis(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig);
    // 0 nothing to touch, else the kind of target (1, 2 or 4); pt relative to
    // this surface's position.
    virtual int HitTest(ORIENT eOrient, POINT pt, CClipStack* pClip);
    // Touches, points relative to this surface's position; 2 when not taken.
    virtual int OnTouchMove(ORIENT eOrient, POINT pt, unsigned int uIndex);
    virtual int OnTouchMove(ORIENT eOrient, POINT pt1, POINT pt2, unsigned int uIndex);
    virtual int OnTouchDown(ORIENT eOrient, POINT pt, unsigned int uIndex, CClipStack* pClip);
    virtual int OnTouchDown(ORIENT eOrient, POINT pt1, POINT pt2, unsigned int uIndex, CClipStack* pClip);
    virtual int OnTouchUp(ORIENT eOrient, POINT pt, unsigned int uIndex);
    virtual int OnTouchCancel(ORIENT eOrient, POINT pt);
    // A pinch result: scale, anchor x and y (per mille), x and y offset.
    virtual void OnTouchScale(int iScale, int iAnchorX, int iAnchorY, int iOffsetX, int iOffsetY, ORIENT eOrient);
    virtual void SetSurfaceProps(CRVMSG* pMsg, int iVariant);
    // Eight ints: x scale min, max, y scale min, max, x offset min, max, y offset min, max.
    virtual void SetTouchScaleProps(CRVMSG* pMsg);
    virtual void SetAttribute(int iKind, int iValue, int iTime);
    // Axis 0, 1, 2 (x, y, z) to a value over a time, with animation flags.
    virtual void SetRotation(int iAxis, int iValue, int iTime, int iFlags);
    virtual void SetAttributeExt(int iKind, int iValue1, int iValue2, int iTime);
    virtual void UpdateImageData(int iFlags, CRVMSG* pMsg);
    virtual void UpdateImageDataSub(CRVMSG* pMsg);
    virtual void EvaluateVisibility();
    // A descendant gets the focus cursor; the scroll time it started, or 0.
    virtual int OnChildGainCursor(CSurf* pChild);
    virtual void OnDisconnectController();
    virtual void ProcessSTUN_MSG(CRVMSG* pMsg);
    virtual void InvalidateGraphStorePointers();
    virtual void ProcessAnimationUpdate(CSurfAnimation* pAnimation);
    virtual void AnimationsCompleted();
    virtual void ExecuteTimer();
    virtual SIZE PreferredSize(ORIENT eOrient);
    virtual int PreferredDY(ORIENT eOrient, int iWidth);
    virtual void MovePage(ORIENT eOrient, int iPage);
    virtual void MoveCommand(ORIENT eOrient, int iType, int iValue, CRVRect rc);

    // ---- tree ----
    // Both set state 0x20000 (plus 0x200 when 0x80 is set).
    void AddChildHead(CSurf* pChild);
    void AddChildTail(CSurf* pChild);
    // Unlinks and returns the first child with that ID; null when none.
    CSurf* RemoveSubSurf(int iID);
    // Unlinks pChild when it is a child of this surface; the child or null.
    CSurf* RemoveSubSurf(CSurf* pChild);
    // Unlinks every child and hands it to the main window's garbage.
    void DeleteAllSubSurf();
    // Depth first: this surface, then each child's subtree in order. On a
    // surface that keeps an ID index (the main window) the index answers,
    // unless several surfaces share the ID.
    CSurf* FindSurface(int iID);
    CSurf* FindSurface(CSurf* pSurf);
    // Makes this surface the root of an ID index that covers its subtree
    // from now on, as surfaces are linked and unlinked. Once only.
    void EnableIDIndex();
    // Reads iCount surface records and links each new surface at the head
    // (bAtHead 1) or the tail (0). 1 when every record was read, 0 when an
    // unknown kind ended the call early. Defined with the surface builder.
    int AddSubSurfaces(CRVMSG* pMsg, int bAtHead, int iCount);

    // ---- deletion ----
    // Leaves the animating list, cancels the delay timers and drops the
    // animations, for this surface and every descendant.
    void PrepareDelete();

    // ---- geometry ----
    CRVRect Position(RVT_MATRIX_CONFIG* pConfig);
    CRVRect Position(ORIENT eOrient) const;
    CRVRect ClientRect(ORIENT eOrient) const;
    // Like XScreenClient, starting from the surface's own position.
    int XScreen(ORIENT eOrient, int v, POSITION_CTX ctx = 0);
    int YScreen(ORIENT eOrient, int v, POSITION_CTX ctx = 0);
    int IsVisible(ORIENT eOrient);
    // (x offset, y offset, x scale, y scale), scales per mille.
    void SetTransform(CRVRect rcTransform);
    CRVRect GetTransform() const { return m_rcTransform; }
    // Sets a rotation at once (axis 0, 1, 2).
    void SetRotation(int iAxis, int iValue);
    int GetRotation(int iAxis) const;
    void SetHidden(int bHidden);

    // ---- state ----
    // Set or clear bits on this surface and its whole subtree.
    void SetStateFlags(int iFlags);
    void ClearStateFlags(int iFlags);
    // Asks for a redraw: the root's needs-redraw bit, which wakes the animation thread.
    void Invalidate();

    // ---- animations (each takes the main window's animation-list lock) ----
    // A value by key: a running animation of the key is kept when it already
    // ends at iTo or accepts the new end, else replaced; nothing starts when
    // iFrom equals iTo.
    void Animate(int iKey, int iFrom, int iTo, unsigned int uDuration, unsigned int uDelay, ACCEL_PROFILE eProfile,
                 int iFlags);
    // A rectangle by key and orientation: a running one is retargeted; a
    // duration of 0 applies the end at once (transform for key 9, else the
    // position, without a redraw request). iFlags is carried, not used.
    void Animate(ORIENT eOrient, int iKey, CRVRect rcFrom, CRVRect rcTo, int iFlags, unsigned int uDuration,
                 unsigned int uDelay, ACCEL_PROFILE eProfile, ANIMATION_TERM eTerm);
    // Colours 0x00RRGGBB; only when they differ.
    void AnimateColor(int iKey, unsigned int uFrom, unsigned int uTo, unsigned int uDuration);
    // Kinetic motion from iStart; replaces the key's animations.
    void AnimateWithDecel(int iKey, int iStart, int iVelocity, int iDecel, int iLower, int iUpper);
    // Constant speed from iStart to iEnd; replaces the key's animations.
    void AnimateJog(ORIENT eOrient, int iKey, int iStart, int iEnd, int iSpeed, int iThreshold);
    // Ends the key's animations where they are, in one orientation or in
    // both (ANIMATION_BOTH_ORIENTATIONS).
    void StopAnimation(int iKey, ORIENT eOrient);
    // The running animation of the key, or null.
    CSurfAnimation* FindAnimation(int iKey);
    // One round of the animation thread: 0 none left, 1 one that others wait
    // for still runs, 2 only animations nobody waits for.
    int ProcessAnimations(const timespec& now);
    int HasAnimations() const { return m_pAnimations != nullptr; }
    // Moves every animation's clock on by ms (while animations were held).
    void OffsetAnimations(unsigned int uMS);
    // Starts the clock of every animation that has not moved yet at now.
    void SyncAnimation(const timespec& now);
    // Messages 20121 (the steps, then wait until the animations others wait
    // for have ended) and 20122 (the steps). The message's read position
    // does not matter; called with the tree lock held once, which 20121
    // releases while it waits.
    void ExecuteAnimationSync(CRVMSG* pMsg);
    void ExecuteAnimationAsync(CRVMSG* pMsg);
    // Messages 20153 and 20154 (the controller took the last position report).
    void ExecuteJogCommand(RVT_JOG_COMMAND* pCommand);
    void ExecuteJogTXEnable(ORIENT eOrient);

    // ---- drawing helpers ----
    // The surface's own matrix from the incoming one (transform, rotations).
    void InitMatrix(float* pMatrix, RVT_MATRIX_CONFIG* pConfig);
    // Stencil clip to the surface's rectangle: iFlags 0 takes the
    // configuration's offset and the size under pMatrix, 1 the screen rectangle.
    void SetClip(float* pMatrix, RVT_MATRIX_CONFIG* pConfig, int iFlags);
    void ReleaseClip(RVT_MATRIX_CONFIG* pConfig);
    // Mirrors the surface's matrix about the clip stack's mirror line.
    void UpdateMirrorMatrix(ORIENT eOrient, CClipStack* pClip, int iUnusedX, int iOffsetY);
    // Text-atlas owners only (attribute 0x200), elsewhere an assertion and
    // nothing: an entry of the atlas, made on first use, for a text of the
    // subtree (null when it cannot be packed); and a draw of an entry queued
    // until the owner has drawn its subtree.
    CTextAtlasEntry* GetTextAtlasEntry(const CRVString& sText, const RVT_TEXT_RENDER_PARAMS* pParams);
    void AddTextAtlasRenderRef(CTextAtlasEntry* pEntry, const float* pMatrix, int iAlpha, unsigned int uColor);
    CTextAtlas* TextAtlas() const { return m_pTextAtlas; }

    // ---- messages ----
    // 20223: parent ID, ID, bActive, x scale, y scale, x offset, y offset.
    void TXTouchScale(int bActive);
    // 20207: parent ID, ID, x, y of the position, and a byte.
    void TXPosition(ORIENT eOrient, int iFlag);

    // ---- plain access ----
    int ID() const { return m_iID; }
    CSurf* Parent() const { return m_pParent; }
    int ParentID() const { return m_pParent ? m_pParent->m_iID : 0; }
    int Alpha() const { return m_iAlpha; }
    int Attributes() const { return m_iAttribs; }
    int State() const { return m_iState; }
    CSurf* FirstChild() const { return m_pFirstChild; }
    CSurf* LastChild() const { return m_pLastChild; }
    CSurf* NextSibling() const { return m_pNext; }
    CSurf* PrevSibling() const { return m_pPrev; }
    CSurf* CacheOwner() const { return m_pCacheOwner; }
    void CacheOwner(CSurf* pOwner) { m_pCacheOwner = pOwner; }
    CSurf* TextAtlasOwner() const { return m_pTextAtlasOwner; }
    void TextAtlasOwner(CSurf* pOwner) { m_pTextAtlasOwner = pOwner; }
    int ContentOffsetX() const { return m_iContentX; }
    int ContentOffsetY() const { return m_iContentY; }
    void SetContentOffset(int x, int y) { m_iContentX = x; m_iContentY = y; }
    const float* Matrix() const { return m_fMatrix; }
    // Pinch state.
    int TouchScale() const { return m_iScale; }
    int TouchOffsetX() const { return m_iPinchOffX; }
    int TouchOffsetY() const { return m_iPinchOffY; }
    int PinchMin() const { return m_iPinchMin; }
    int PinchMax() const { return m_iPinchMax; }

    // Whether Render issues GL calls (the stencil clip); off for code that
    // walks the tree without a GL context.
    static int g_bRenderGL;

protected:
    friend class CMainWnd;

    // The point made relative to a child's position (this surface's content
    // offset and the child's own one counted).
    POINT ToChild(CSurf* pChild, ORIENT eOrient, POINT pt) const;
    // Pushes the screen rectangle, and gives the visible part in local
    // coordinates; 0 (nothing pushed) when the stack refused.
    int PushLocalClip(ORIENT eOrient, CClipStack* pClip, CRVRect* pLocal);
    // The first half of a one-finger touch-down: a visible surface holding
    // the point offers it to its children, topmost first. *pbInside says
    // whether the point lies in the visible part; the result is the child's
    // that took the touch, else TOUCH_NOT_TAKEN.
    int OfferTouchDownToChildren(ORIENT eOrient, POINT pt, unsigned int uIndex, CClipStack* pClip, int* pbInside);
    // Sends 20204: parent ID, own ID, down flag, x, y.
    void TXTouch(int bDown, int x, int y);
    // Through the session, when there is one; 1 when sent.
    static int SendMSG(CRVMSG* pMsg);
    static int OrientIndex(ORIENT eOrient) { return eOrient == ORIENT_1 ? 1 : 0; }
    void CancelPendingPress();
    // A value the controller asked to animate over iTime ms (alpha, rotations);
    // a time of 0 or less applies it at once.
    void AnimateValue(int iKey, int iFrom, int iTo, int iTime, int iFlags);
    // Frees the animation list.
    void DeleteAnimations();
    // Takes an animation out of the list and deletes it; during a round of
    // this surface's animations it is only stopped, and the round unlinks it.
    void RemoveAnimation(CSurfAnimation* pAnimation);
    // Adds at the head of the list; registers the surface as animating when
    // the list was empty.
    void AddAnimation(CSurfAnimation* pAnimation);
    // Jog steps: moves x and sends position reports (keys 23 and 24).
    void JogAnimationUpdate(CSurfAnimation* pAnimation);
    // The whole tree's root: the main window, or the top of a detached subtree.
    CSurf* Root();
    // Adds this subtree to the index / takes it out of its index.
    void IndexTree(CSurfIDIndex* pIndex);
    void UnindexTree();

    CSurf* m_pParent;
    // The index this surface is in (or, for its root, owns); null when none.
    CSurfIDIndex* m_pIDIndex = nullptr;
    CSurf* m_pCacheOwner;
    CSurf* m_pTextAtlasOwner;
    CTextAtlas* m_pTextAtlas;       // made by the first text that asks an owner
    int m_iID;
    int m_iAlpha;
    int m_iAttribs;
    CRVRect m_rcPos[2];
    CSurf* m_pNext;
    CSurf* m_pPrev;
    CSurf* m_pFirstChild;
    CSurf* m_pLastChild;
    int m_iState;
    CSurfAnimation* m_pAnimations;
    CSurf* m_pNextAnimating;        // link of the main window's animating list
    int m_bInAnimationRound = 0;    // ProcessAnimations walks m_pAnimations
    // Jog reports: x and y last reported, and the report threshold (width).
    CRVRect m_rcSpare;
    CRVRect m_rcTransform;          // x offset, y offset, x scale, y scale
    int m_iRotation[3];
    int m_iContentX;
    int m_iContentY;
    float m_fMatrix[16];
    int m_bStencilSet;              // this surface set a stencil clip in Render
    // Pinch.
    POINT m_ptTouch1;               // first finger at touch-down
    POINT m_ptTouch2;               // second finger at its touch-down
    int m_iStartScale;
    int m_iStartOffX;
    int m_iStartOffY;
    int m_iScale;                   // per mille
    int m_iPinchOffX;
    int m_iPinchOffY;
    int m_iScaleLimit[4];           // x min, x max, y min, y max
    int m_iOffsetLimit[4];          // x min, x max, y min, y max
    int m_iPinchMin;
    int m_iPinchMax;
    unsigned int m_uLastScaleReport;   // millisecond tick
    int m_iSpare[2];
};
