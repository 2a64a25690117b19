// CSurf::AddSubSurfaces: reads surface records and links the new surfaces.
//
// The records nest (each carries its children), but the reading is a loop
// over an explicit stack rather than a recursion, so that nesting costs heap,
// not stack, and the depth limit is one comparison. Every record consumes at
// least its 8-byte ID and flags, and a record that is not there ends the call,
// so the work is bounded by the message size (at most 1,000,000 bytes).
//
// Records follow each other with nothing to resynchronise on: once one cannot
// be read in full (unknown kind, too deep, message truncated), the rest of
// the message is unreadable, and the read position is moved to its end so
// that a caller reading further records gets nothing instead of garbage.
#include "surf_build.h"

#include "mainwnd.h"
#include "rvdebug.h"
#include "rvmsg.h"

#include "surf_audiofx.h"
#include "surf_borderbox.h"
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

#include <vector>

CSurf* CreateSurfaceOfKind(CSurf* pParent, int iKind, int iID, CRVRect rc0, CRVRect rc1)
{
    switch (iKind) {
    case 0: return new CSurf(pParent, iID, rc0, rc1);
    case 1: return new CSurfRect(pParent, iID, rc0, rc1, 0);
    case 2: return new CSurfImageStore(pParent, iID, rc0, rc1);
    case 3: return new CSurfImageLocal(pParent, iID, rc0, rc1);
    case 4:
    case 26:
    case 27: return new CSurfButton(pParent, iID, rc0, rc1, iKind);
    case 5: return new CSurfScroll(pParent, iID, rc0, rc1);
    case 6:
    case 24: return new CSurfText(pParent, iID, rc0, rc1, iKind);
    case 7: return new CSurfGradient(pParent, iID, rc0, rc1);
    case 8:
    case 23: return new CSurfToolBarButton(pParent, iID, rc0, rc1, iKind);
    case 9: return new CSurfMirror(pParent, iID, rc0, rc1);
    case 10: return new CSurfXAlign(pParent, iID, rc0, rc1);
    case 12: return new CSurfButtonBar(pParent, iID, rc0, rc1);
    case 14: return new CSurfScrollBar(pParent, iID, rc0, rc1);
    case 15: return new CSurfWaitGraphic(pParent, iID, rc0, rc1, 0);
    case 17: return new CSurfDraw(pParent, iID, rc0, rc1);
    case 18: return new CSurfWaitGraphic(pParent, iID, rc0, rc1, 1);
    case 19: return new CSurfRTSP(pParent, iID, rc0, rc1);
    case 20: return new CSurfBorderBox(pParent, iID, rc0, rc1);
    case 21: return new CSurfAudioFX(pParent, iID, rc0, rc1);
    case 22: return new CSurfColorBox(pParent, iID, rc0, rc1);
    case 25:
    case 28: return new CSurfPanel(pParent, iID, rc0, rc1, iKind);
    default: return nullptr;    // 11, 13, 16, 29 .. 255: the parent's to create
    }
}

namespace {

// A surface whose child records are being read.
struct BUILD_LEVEL
{
    CSurf* pSurf;
    int iLeft;      // child records still to read
    int bAtHead;
};

// Links a finished surface into its parent. Only the call's own surface can
// already be in the drawn tree, so only that link takes the tree lock: the
// drawing thread never sees a half-linked list or an unfinished subtree.
void Link(CSurf* pParent, CSurf* pChild, int bAtHead, int bTopLevel)
{
    CRVCritical* pLock = (bTopLevel && g_pMainWindow) ? g_pMainWindow->TreeLock() : nullptr;
    if (pLock)
        pLock->RVLock();
    if (bAtHead)
        pParent->AddChildHead(pChild);
    else
        pParent->AddChildTail(pChild);
    if (pLock)
        pLock->RVUnlock();
}

int DepthOf(const CSurf* pSurf)
{
    int iDepth = 0;
    for (const CSurf* p = pSurf->Parent(); p; p = p->Parent())
        ++iDepth;
    return iDepth;
}

}   // namespace

int CSurf::AddSubSurfaces(CRVMSG* pMsg, int bAtHead, int iCount)
{
    RV_ASSERT(pMsg != nullptr);
    if (!pMsg)
        return 0;
    const int iBaseDepth = DepthOf(this);
    // Truncation shows as the message's error flag turning on; one set before
    // this call says nothing about these records.
    const int bErrorBefore = pMsg->Error();
    int bComplete = 1;

    std::vector<BUILD_LEVEL> levels;
    levels.push_back(BUILD_LEVEL{this, iCount, bAtHead ? 1 : 0});
    while (!levels.empty()) {
        BUILD_LEVEL& level = levels.back();
        if (level.iLeft <= 0 || !bComplete) {
            // This surface's children are read: it is complete and goes into
            // its own parent (the call's surface needs no linking).
            CSurf* pDone = level.pSurf;
            levels.pop_back();
            if (!levels.empty())
                Link(levels.back().pSurf, pDone, levels.back().bAtHead, levels.size() == 1);
            continue;
        }
        --level.iLeft;
        CSurf* pParent = level.pSurf;
        const int iDepth = iBaseDepth + (int)levels.size();

        int iID = 0, iFlags = 0;
        if (!pMsg->GetInt(&iID) || !pMsg->GetInt(&iFlags)) {
            // No record left; nothing in the message follows it.
            bComplete = 0;
            continue;
        }
        CRVRect rc0, rc1;
        if (iFlags & SURF_REC_FULL_POSITIONS) {
            rc0 = pMsg->GetRECT();
            rc1 = pMsg->GetRECT();
        } else {
            rc0 = pMsg->GetShortRECT();
            rc1 = pMsg->GetShortRECT();
        }
        int iRotation[3] = {0, 0, 0};
        if (iFlags & SURF_REC_ROTATIONS) {
            for (int& r : iRotation)
                r = pMsg->GetInt();
        }
        CRVRect rcTransform(0, 0, 1000, 1000);
        if (iFlags & SURF_REC_TRANSFORM) {
            int x = pMsg->GetShort();
            int y = pMsg->GetShort();
            int sx = pMsg->GetShort();
            int sy = pMsg->GetShort();
            rcTransform = CRVRect(x, y, sx, sy);
        }
        const int iAttribs = pMsg->GetInt();
        const int iKind = iFlags & SURF_REC_KIND_MASK;

        CSurf* pNew = nullptr;
        if (iDepth > RV_MAX_SURFACE_DEPTH) {
            RVLog(RV_LOG_WARN, "surface %d nests deeper than %d: rest of the message dropped", iID, RV_MAX_SURFACE_DEPTH);
        } else {
            pNew = CreateSurfaceOfKind(pParent, iKind, iID, rc0, rc1);
            if (!pNew)
                pNew = pParent->CreateSubSurface(iKind, iID, rc0, rc1);
            if (!pNew)
                RVLog(RV_LOG_WARN, "surface %d: kind %d cannot be created here: rest of the message dropped", iID, iKind);
        }
        if (!pNew) {
            bComplete = 0;
            continue;
        }

        for (int iAxis = 0; iAxis < 3; ++iAxis)
            pNew->SetRotation(iAxis, iRotation[iAxis]);
        // Caching on its own is the surface kind's decision, never the record's.
        pNew->Attribs(iAttribs & ~SA_CACHE_OWNER);
        // No redraw request per surface: the handler asks for one after the message.
        pNew->SetAlpha((iFlags >> SURF_REC_ALPHA_SHIFT) & 0xFF, 1);
        pNew->SetSurfaceProps(pMsg, (int)((unsigned int)iFlags >> SURF_REC_VARIANT_SHIFT));
        if (iFlags & SURF_REC_TRANSFORM)
            pNew->SetTransform(rcTransform);
        if (!(pNew->Attributes() & SA_CACHE_OWNER))
            pNew->CacheOwner(pParent->CacheOwner());
        if (!(pNew->Attributes() & (SA_CACHE_OWNER | SA_TEXT_ATLAS | SA_OWN_CONTENT_OFFSET)))
            pNew->TextAtlasOwner(pParent->TextAtlasOwner());

        // A record cut short still becomes a surface (its missing values are
        // 0), but nothing after it can be read.
        if (!bErrorBefore && pMsg->Error())
            bComplete = 0;
        const int iChildren = (iFlags >> SURF_REC_CHILD_SHIFT) & SURF_REC_CHILD_MASK;
        levels.push_back(BUILD_LEVEL{pNew, bComplete ? iChildren : 0, 0});
    }
    if (!bComplete)
        pMsg->AdvanceReadIndex(pMsg->BytesLeft());
    return bComplete;
}
