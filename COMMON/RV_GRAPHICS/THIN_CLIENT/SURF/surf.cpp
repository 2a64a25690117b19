// CSurf: construction, the tree, state and attribute bits, deletion.
#include "surf.h"

#include "surf_index.h"

#include "mainwnd.h"
#include "rvdebug.h"
#include "msgids.h"
#include "rvmsg.h"
#include "rvserver.h"

#include "matrix.h"
#include "text_atlas.h"

int CSurf::g_bRenderGL = 1;

CSurf::CSurf(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1)
    : m_pParent(pParent),
      m_pCacheOwner(nullptr),
      m_pTextAtlasOwner(nullptr),
      m_pTextAtlas(nullptr),
      m_iID(iID),
      m_iAlpha(255),
      m_iAttribs(0),
      m_pNext(nullptr),
      m_pPrev(nullptr),
      m_pFirstChild(nullptr),
      m_pLastChild(nullptr),
      m_iState(0),
      m_pAnimations(nullptr),
      m_pNextAnimating(nullptr),
      m_rcTransform(0, 0, 1000, 1000),
      m_iRotation{0, 0, 0},
      m_iContentX(0),
      m_iContentY(0),
      m_bStencilSet(0),
      m_ptTouch1{0, 0},
      m_ptTouch2{0, 0},
      m_iStartScale(1000),
      m_iStartOffX(0),
      m_iStartOffY(0),
      m_iScale(1000),
      m_iPinchOffX(0),
      m_iPinchOffY(0),
      m_iScaleLimit{1000, 1000, 1000, 1000},
      m_iOffsetLimit{0, 0, 0, 0},
      m_iPinchMin(1000),
      m_iPinchMax(20000),
      m_uLastScaleReport(0),
      m_iSpare{-1, -1}
{
    m_rcPos[0] = rc0;
    m_rcPos[1] = rc1;
    MatrixSetIdentity(m_fMatrix);
    if (pParent) {
        if (pParent->m_iState & (0x20 | 0x40))
            m_iState |= SS_INHERIT_40;
        if (pParent->m_iState & 0x80)
            m_iState |= SS_INHERIT_100;
    }
}

CSurf::~CSurf()
{
    CSurf* pChild = m_pFirstChild;
    while (pChild) {
        CSurf* pNext = pChild->m_pNext;
        delete pChild;
        pChild = pNext;
    }
    m_pFirstChild = m_pLastChild = nullptr;
    // A surface deleted while linked (its parent goes with it) must not stay
    // in the index; the root deletes the index after its children left it.
    if (m_pIDIndex) {
        if (m_pIDIndex->Root() == this)
            delete m_pIDIndex;
        else
            m_pIDIndex->Remove(m_iID, this);
        m_pIDIndex = nullptr;
    }
    delete m_pTextAtlas;
    DeleteAnimations();
    // The main window's own part is gone by now; it empties its lists itself.
    // A surface deleted without PrepareDelete leaves no timer behind either.
    if (g_pMainWindow && this != static_cast<CSurf*>(g_pMainWindow)) {
        g_pMainWindow->AnimationLock()->RVLock();
        g_pMainWindow->UnRegisterAnimations(this);
        g_pMainWindow->AnimationLock()->RVUnlock();
        g_pMainWindow->CancelDelayCallback(this);
    }
}

int CSurf::StateFlags()
{
    return m_iState;
}

void CSurf::StateFlags(int iFlags)
{
    m_iState = iFlags;
}

void CSurf::Attribs(int iAttribs)
{
    m_iAttribs = iAttribs;
    if (m_iAttribs & SA_TEXT_ATLAS) {
        m_pTextAtlasOwner = this;
        m_iAttribs &= ~SA_CACHE_OWNER;
    }
    if (m_iAttribs & SA_CACHE_OWNER)
        m_pCacheOwner = this;
}

CSurf* CSurf::CreateSubSurface(int, int, CRVRect, CRVRect)
{
    return nullptr;
}

CRenderObject* CSurf::GetRenderObject()
{
    return nullptr;
}

int CSurf::RenderThis(int, CClipStack*, float*, RVT_MATRIX_CONFIG*)
{
    return 0;
}

void CSurf::SetSurfaceProps(CRVMSG*, int) {}
void CSurf::SetAttributeExt(int, int, int, int) {}
void CSurf::UpdateImageData(int, CRVMSG*) {}
void CSurf::UpdateImageDataSub(CRVMSG*) {}
void CSurf::ProcessSTUN_MSG(CRVMSG*) {}
void CSurf::AnimationsCompleted() {}
void CSurf::MovePage(ORIENT, int) {}
void CSurf::MoveCommand(ORIENT, int, int, CRVRect) {}

int CSurf::OnChildGainCursor(CSurf*)
{
    return 0;
}

void CSurf::EvaluateVisibility()
{
    for (CSurf* p = m_pFirstChild; p; p = p->m_pNext)
        p->EvaluateVisibility();
}

void CSurf::OnDisconnectController()
{
    for (CSurf* p = m_pFirstChild; p; p = p->m_pNext)
        p->OnDisconnectController();
}

void CSurf::InvalidateGraphStorePointers()
{
    for (CSurf* p = m_pFirstChild; p; p = p->m_pNext)
        p->InvalidateGraphStorePointers();
}

SIZE CSurf::PreferredSize(ORIENT eOrient)
{
    const CRVRect& rc = m_rcPos[OrientIndex(eOrient)];
    return SIZE{rc.width, rc.height};
}

int CSurf::PreferredDY(ORIENT eOrient, int)
{
    return m_rcPos[OrientIndex(eOrient)].height;
}

// ---- tree ----

void CSurf::AddChildHead(CSurf* pChild)
{
    RV_ASSERT(pChild && !pChild->m_pNext && !pChild->m_pPrev);
    if (!pChild)
        return;
    pChild->m_pParent = this;
    pChild->m_pPrev = nullptr;
    pChild->m_pNext = m_pFirstChild;
    if (m_pFirstChild)
        m_pFirstChild->m_pPrev = pChild;
    else
        m_pLastChild = pChild;
    m_pFirstChild = pChild;
    m_iState |= SS_CHILDREN | ((m_iState & 0x80) ? SS_FONT_CHANGED : 0);
    if (m_pIDIndex)
        pChild->IndexTree(m_pIDIndex);
}

void CSurf::AddChildTail(CSurf* pChild)
{
    RV_ASSERT(pChild && !pChild->m_pNext && !pChild->m_pPrev);
    if (!pChild)
        return;
    pChild->m_pParent = this;
    pChild->m_pNext = nullptr;
    pChild->m_pPrev = m_pLastChild;
    if (m_pLastChild)
        m_pLastChild->m_pNext = pChild;
    else
        m_pFirstChild = pChild;
    m_pLastChild = pChild;
    m_iState |= SS_CHILDREN | ((m_iState & 0x80) ? SS_FONT_CHANGED : 0);
    if (m_pIDIndex)
        pChild->IndexTree(m_pIDIndex);
}

CSurf* CSurf::RemoveSubSurf(int iID)
{
    for (CSurf* p = m_pFirstChild; p; p = p->m_pNext) {
        if (p->m_iID == iID)
            return RemoveSubSurf(p);
    }
    return nullptr;
}

CSurf* CSurf::RemoveSubSurf(CSurf* pChild)
{
    if (!pChild || pChild->m_pParent != this)
        return nullptr;
    if (pChild->m_pPrev)
        pChild->m_pPrev->m_pNext = pChild->m_pNext;
    else if (m_pFirstChild == pChild)
        m_pFirstChild = pChild->m_pNext;
    else
        return nullptr;     // not in this list
    if (pChild->m_pNext)
        pChild->m_pNext->m_pPrev = pChild->m_pPrev;
    else
        m_pLastChild = pChild->m_pPrev;
    pChild->m_pNext = pChild->m_pPrev = nullptr;
    m_iState |= SS_CHILDREN;
    if (pChild->m_pIDIndex)
        pChild->UnindexTree();
    return pChild;
}

void CSurf::DeleteAllSubSurf()
{
    while (m_pFirstChild) {
        CSurf* pChild = RemoveSubSurf(m_pFirstChild);
        if (g_pMainWindow) {
            g_pMainWindow->AddToGarbage(pChild);
        } else {
            // No drawing thread exists to defer to.
            pChild->PrepareDelete();
            delete pChild;
        }
    }
}

CSurf* CSurf::FindSurface(int iID)
{
    if (m_iID == iID)
        return this;
    if (m_pIDIndex && m_pIDIndex->Root() == this) {
        bool bShared = false;
        CSurf* pFound = m_pIDIndex->Find(iID, &bShared);
        if (!bShared)
            return pFound;
    }
    for (CSurf* p = m_pFirstChild; p; p = p->m_pNext) {
        if (CSurf* pFound = p->FindSurface(iID))
            return pFound;
    }
    return nullptr;
}

CSurf* CSurf::FindSurface(CSurf* pSurf)
{
    if (this == pSurf)
        return this;
    for (CSurf* p = m_pFirstChild; p; p = p->m_pNext) {
        if (CSurf* pFound = p->FindSurface(pSurf))
            return pFound;
    }
    return nullptr;
}

void CSurf::EnableIDIndex()
{
    RV_ASSERT(!m_pIDIndex);
    if (m_pIDIndex)
        return;
    m_pIDIndex = new CSurfIDIndex(this);
    for (CSurf* p = m_pFirstChild; p; p = p->m_pNext)
        p->IndexTree(m_pIDIndex);
}

void CSurf::IndexTree(CSurfIDIndex* pIndex)
{
    RV_ASSERT(!m_pIDIndex);
    if (m_pIDIndex)
        return;
    m_pIDIndex = pIndex;
    pIndex->Add(m_iID, this);
    for (CSurf* p = m_pFirstChild; p; p = p->m_pNext)
        p->IndexTree(pIndex);
}

void CSurf::UnindexTree()
{
    if (m_pIDIndex && m_pIDIndex->Root() != this)
        m_pIDIndex->Remove(m_iID, this);
    m_pIDIndex = nullptr;
    for (CSurf* p = m_pFirstChild; p; p = p->m_pNext)
        p->UnindexTree();
}

CSurf* CSurf::Root()
{
    CSurf* p = this;
    while (p->m_pParent)
        p = p->m_pParent;
    return p;
}

// ---- deletion ----

void CSurf::PrepareDelete()
{
    if (g_pMainWindow) {
        g_pMainWindow->AnimationLock()->RVLock();
        g_pMainWindow->UnRegisterAnimations(this);
        DeleteAnimations();
        g_pMainWindow->AnimationLock()->RVUnlock();
        g_pMainWindow->CancelDelayCallback(this);
    } else {
        DeleteAnimations();
    }
    for (CSurf* p = m_pFirstChild; p; p = p->m_pNext)
        p->PrepareDelete();
}

// ---- state ----

void CSurf::SetStateFlags(int iFlags)
{
    StateFlags(StateFlags() | iFlags);
    for (CSurf* p = m_pFirstChild; p; p = p->m_pNext)
        p->SetStateFlags(iFlags);
}

void CSurf::ClearStateFlags(int iFlags)
{
    StateFlags(StateFlags() & ~iFlags);
    for (CSurf* p = m_pFirstChild; p; p = p->m_pNext)
        p->ClearStateFlags(iFlags);
}

void CSurf::Invalidate()
{
    // A subtree still being built has no main window above it yet; it is
    // redrawn once linked.
    CSurf* pRoot = g_pMainWindow ? static_cast<CSurf*>(g_pMainWindow) : Root();
    pRoot->StateFlags(pRoot->StateFlags() | SS_NEEDS_REDRAW);
}

void CSurf::SetHidden(int bHidden)
{
    int iState = bHidden ? (m_iState | SS_HIDDEN) : (m_iState & ~SS_HIDDEN);
    if (iState == m_iState)
        return;
    m_iState = iState;
    Invalidate();
}

// ---- attributes ----

void CSurf::SetAttribute(int iKind, int iValue, int iTime)
{
    switch (iKind) {
    case 1:
        AnimateValue(7, m_iAlpha, iValue, iTime, 0);
        break;
    case 8:
    case 16:
    case 0x2000:
    case 0x80000: {
        int iAttribs = m_iAttribs;
        // A text-atlas owner never caches on its own.
        if (iValue && !((iKind == 8 || iKind == 16) && (m_iAttribs & SA_TEXT_ATLAS)))
            iAttribs |= iKind;
        else
            iAttribs &= ~iKind;
        if (iAttribs == m_iAttribs)
            break;
        m_iAttribs = iAttribs;
        if (m_iAttribs & SA_CACHE_OWNER)
            m_pCacheOwner = this;
        Invalidate();
        break;
    }
    case 128:
        m_iScale = m_iStartScale = 1000;
        m_iPinchOffX = m_iPinchOffY = 0;
        m_iStartOffX = m_iStartOffY = 0;
        SetTransform(CRVRect(0, 0, 1000, 1000));
        break;
    default:
        break;
    }
}

void CSurf::SetRotation(int iAxis, int iValue, int iTime, int iFlags)
{
    if (iAxis < 0 || iAxis > 2)
        return;
    AnimateValue(20 + iAxis, m_iRotation[iAxis], iValue, iTime, iFlags);
}

void CSurf::SetRotation(int iAxis, int iValue)
{
    if (iAxis < 0 || iAxis > 2 || m_iRotation[iAxis] == iValue)
        return;
    m_iRotation[iAxis] = iValue;
    m_iState |= SS_TRANSFORM_CHANGED;
    Invalidate();
}

int CSurf::GetRotation(int iAxis) const
{
    return (iAxis >= 0 && iAxis <= 2) ? m_iRotation[iAxis] : 0;
}

void CSurf::SetTransform(CRVRect rcTransform)
{
    if (rcTransform == m_rcTransform)
        return;
    m_rcTransform = rcTransform;
    if (rcTransform == CRVRect(0, 0, 1000, 1000))
        m_iState &= ~SS_HAS_TRANSFORM;
    else
        m_iState |= SS_HAS_TRANSFORM;
    m_iState |= SS_TRANSFORM_CHANGED;
    Invalidate();
}

// ---- messages ----

int CSurf::SendMSG(CRVMSG* pMsg)
{
    return g_pRVServer ? g_pRVServer->SendMSG(pMsg) : 0;
}

void CSurf::TXPosition(ORIENT eOrient, int iFlag)
{
    const CRVRect& rc = m_rcPos[OrientIndex(eOrient)];
    CRVMSG msg(0, MSG_POSITION_REPORT, 32, 1);
    msg.PutInt(ParentID());
    msg.PutInt(m_iID);
    msg.PutInt(rc.x);
    msg.PutInt(rc.y);
    msg.PutBYTE((unsigned char)iFlag);
    SendMSG(&msg);
}
