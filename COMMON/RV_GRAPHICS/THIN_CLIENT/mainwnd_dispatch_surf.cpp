// The controller's commands to surfaces: building, removing, moving, setting
// attributes, animating transforms, jogs, image updates and media addresses.
//
// Most are batches of records of one shape, run under the tree lock for the
// whole message. A record naming a surface that does not exist is either
// skipped (its fields are still read, so the next record is found) or ends
// the batch, as each command defines; a record cut short by the end of the
// data ends the batch without being applied.
#include "mainwnd_dispatch.h"

#include "msgids.h"
#include "rvdebug.h"
#include "rvlog.h"
#include "surf_animation.h"

namespace {

enum UNKNOWN_SURFACE
{
    UNKNOWN_SKIPPED,      // the record is read and nothing happens
    UNKNOWN_ENDS_BATCH,   // the batch stops at that record
};

// Reads the rest of one record (after the surface ID) and applies it to pSurf,
// which is null for an unknown surface that is skipped. 0 ends the batch.
typedef int (*RECORD_FN)(CMainWnd* pWnd, CSurf* pSurf, CRVMSG* pMsg);

// What follows the whole batch.
enum BATCH_END
{
    END_NOTHING,
    END_TREE_CHANGED,   // links changed: redraw now and again once the tree settles
    END_REDRAW,         // appearance may have changed
    END_LOG_DONE,
};

struct SURFACE_BATCH
{
    short sMessageID;
    UNKNOWN_SURFACE eUnknown;
    RECORD_FN pfnRecord;
    BATCH_END eEnd;
    int bAnimationLock;   // also hold the animation-list lock (after the tree lock)
};

// n ints into pValues; 0 when the data ran out.
int ReadInts(CRVMSG* pMsg, int* pValues, int n)
{
    for (int i = 0; i < n; i++)
        pValues[i] = pMsg->GetInt();
    return !pMsg->Error();
}

int AddBelow(CMainWnd*, CSurf* pParent, CRVMSG* pMsg)
{
    // One surface record (with its own children) per batch record; a kind
    // nobody can build leaves the rest of the data unreadable.
    return pParent->AddSubSurfaces(pMsg, 1, 1);
}

int AddOnTop(CMainWnd*, CSurf* pParent, CRVMSG* pMsg)
{
    return pParent->AddSubSurfaces(pMsg, 0, 1);
}

int RemoveChild(CMainWnd* pWnd, CSurf* pParent, CRVMSG* pMsg)
{
    int iChild;
    if (!pMsg->GetInt(&iChild))
        return 0;
    if (CSurf* pChild = pParent->RemoveSubSurf(iChild))
        pWnd->AddToGarbage(pChild);
    return 1;
}

int ClearChildren(CMainWnd*, CSurf* pSurf, CRVMSG*)
{
    pSurf->DeleteAllSubSurf();
    return 1;
}

int SurfaceProps(CMainWnd*, CSurf* pSurf, CRVMSG* pMsg)
{
    pSurf->SetSurfaceProps(pMsg, 0);
    return !pMsg->Error();
}

template <ORIENT eOrient>
int SetPositionRecord(CMainWnd*, CSurf* pSurf, CRVMSG* pMsg)
{
    CRVRect rc = pMsg->GetRECT();
    if (pMsg->Error())
        return 0;
    // A running move would take the surface away again.
    if (pSurf) {
        pSurf->StopAnimation(AK_POSITION, eOrient);
        pSurf->SetPosition(eOrient, rc);
    }
    return 1;
}

int SetAttributeRecord(CMainWnd*, CSurf* pSurf, CRVMSG* pMsg)
{
    int v[3];   // kind, value, time
    if (!ReadInts(pMsg, v, 3))
        return 0;
    if (pSurf)
        pSurf->SetAttribute(v[0], v[1], v[2]);
    return 1;
}

int SetAttributeExtRecord(CMainWnd*, CSurf* pSurf, CRVMSG* pMsg)
{
    int v[4];
    if (!ReadInts(pMsg, v, 4))
        return 0;
    pSurf->SetAttributeExt(v[0], v[1], v[2], v[3]);
    return 1;
}

int MovePageRecord(CMainWnd*, CSurf* pSurf, CRVMSG* pMsg)
{
    int iPage;
    if (!pMsg->GetInt(&iPage))
        return 0;
    pSurf->MovePage(CMainWnd::m_eOrientation, iPage);
    return 1;
}

int MoveCommandRecord(CMainWnd*, CSurf* pSurf, CRVMSG* pMsg)
{
    int v[2];
    if (!ReadInts(pMsg, v, 2))
        return 0;
    CRVRect rc = pMsg->GetShortRECT();
    if (pMsg->Error())
        return 0;
    // The focus cursor would leave its surface here; there is no cursor yet.
    pSurf->MoveCommand(CMainWnd::m_eOrientation, v[0], v[1], rc);
    return 1;
}

int SetRotationRecord(CMainWnd*, CSurf* pSurf, CRVMSG* pMsg)
{
    int v[4];   // axis, value, time, flags
    if (!ReadInts(pMsg, v, 4))
        return 0;
    pSurf->SetRotation(v[0], v[1], v[2], v[3]);
    return 1;
}

int SetTransformRecord(CMainWnd*, CSurf* pSurf, CRVMSG* pMsg)
{
    // x offset, y offset, x scale, y scale.
    CRVRect rc = pMsg->GetShortRECT();
    if (pMsg->Error())
        return 0;
    pSurf->StopAnimation(AK_TRANSFORM, (ORIENT)ANIMATION_BOTH_ORIENTATIONS);
    pSurf->SetTransform(rc);
    return 1;
}

int AnimateTransformRecord(CMainWnd*, CSurf* pSurf, CRVMSG* pMsg)
{
    CRVRect rc = pMsg->GetShortRECT();
    int iTime = pMsg->GetInt();
    if (pMsg->Error())
        return 0;
    const ORIENT eOrient = CMainWnd::m_eOrientation;
    pSurf->Animate(eOrient, AK_TRANSFORM, pSurf->GetTransform(), rc, 0, iTime > 0 ? (unsigned int)iTime : 0u, 0,
                   ACCEL_TRAPEZOID, ANIMATION_TERM_WAIT);
    return 1;
}

// 20153: mode, left end, right end, speed, report threshold.
int JogRecord(CMainWnd*, CSurf* pSurf, CRVMSG* pMsg)
{
    int v[5];
    if (!ReadInts(pMsg, v, 5))
        return 0;
    RVT_JOG_COMMAND jog = { CMainWnd::m_eOrientation, v[0], v[1], v[2], v[3], v[4] };
    pSurf->ExecuteJogCommand(&jog);
    return 1;
}

// 20154: the controller took the last position report.
int JogReportRecord(CMainWnd*, CSurf* pSurf, CRVMSG*)
{
    if (pSurf)
        pSurf->ExecuteJogTXEnable(ORIENT_0);
    return 1;
}

int CursorToSurfaceRecord(CMainWnd* pWnd, CSurf* pSurf, CRVMSG* pMsg)
{
    int b[4];   // where the cursor sits around the surface
    for (int& i : b)
        i = pMsg->GetBYTE();
    if (pMsg->Error())
        return 0;
    if (pSurf)
        pWnd->SetCursorPosition(pSurf->ID(), b[0], b[1], b[2], b[3], 100);
    return 1;
}

int ScaleLimitsRecord(CMainWnd* pWnd, CSurf* pSurf, CRVMSG* pMsg)
{
    const int nBytes = 8 * 4;
    if (pMsg->BytesLeft() < nBytes)
        return 0;
    unsigned int uEnd = pMsg->ReadIndex() + nBytes;
    if (pSurf && pSurf != pWnd)
        pSurf->SetTouchScaleProps(pMsg);
    // The record is eight ints whatever the surface made of them.
    DispatchSeek(pMsg, uEnd);
    return 1;
}

const SURFACE_BATCH g_Batches[] = {
    { MSG_ADD_SURFACES_BELOW, UNKNOWN_ENDS_BATCH, AddBelow, END_TREE_CHANGED, 0 },
    { MSG_ADD_SURFACES, UNKNOWN_ENDS_BATCH, AddOnTop, END_TREE_CHANGED, 0 },
    { MSG_REMOVE_SURFACES, UNKNOWN_ENDS_BATCH, RemoveChild, END_TREE_CHANGED, 1 },
    { MSG_CLEAR_SURFACE, UNKNOWN_ENDS_BATCH, ClearChildren, END_TREE_CHANGED, 0 },
    // Properties have a layout of their kind: past an unknown surface the next
    // record cannot be found.
    { MSG_SURFACE_PROPS, UNKNOWN_ENDS_BATCH, SurfaceProps, END_REDRAW, 0 },
    { MSG_SET_POSITION, UNKNOWN_SKIPPED, SetPositionRecord<ORIENT_0>, END_NOTHING, 0 },
    { MSG_SET_POSITION_ALT, UNKNOWN_SKIPPED, SetPositionRecord<ORIENT_1>, END_NOTHING, 0 },
    { MSG_SET_ATTRIBUTE, UNKNOWN_SKIPPED, SetAttributeRecord, END_NOTHING, 0 },
    { MSG_SET_ATTRIBUTE_EXT, UNKNOWN_ENDS_BATCH, SetAttributeExtRecord, END_NOTHING, 0 },
    { MSG_CURSOR_TO_SURFACE, UNKNOWN_SKIPPED, CursorToSurfaceRecord, END_NOTHING, 0 },
    { MSG_MOVE_PAGE, UNKNOWN_ENDS_BATCH, MovePageRecord, END_NOTHING, 0 },
    { MSG_MOVE_COMMAND, UNKNOWN_ENDS_BATCH, MoveCommandRecord, END_NOTHING, 0 },
    { MSG_SET_ROTATION, UNKNOWN_ENDS_BATCH, SetRotationRecord, END_NOTHING, 0 },
    { MSG_SET_TRANSFORM, UNKNOWN_ENDS_BATCH, SetTransformRecord, END_NOTHING, 0 },
    { MSG_SCALE_LIMITS, UNKNOWN_SKIPPED, ScaleLimitsRecord, END_LOG_DONE, 0 },
    { MSG_ANIMATE_TRANSFORM, UNKNOWN_ENDS_BATCH, AnimateTransformRecord, END_NOTHING, 0 },
    { MSG_JOG, UNKNOWN_ENDS_BATCH, JogRecord, END_NOTHING, 0 },
    { MSG_JOG_REPORT, UNKNOWN_SKIPPED, JogReportRecord, END_NOTHING, 0 },
};

const SURFACE_BATCH* FindBatch(short sMessageID)
{
    for (const SURFACE_BATCH& b : g_Batches)
        if (b.sMessageID == sMessageID)
            return &b;
    return nullptr;
}

void RunBatch(CMainWnd* pWnd, CRVMSG* pMsg, const SURFACE_BATCH& batch)
{
    CTreeLockHold tree(pWnd);
    if (batch.bAnimationLock)
        pWnd->AnimationLock()->RVLock();
    int nRecords = DispatchBatchCount(pMsg);
    for (int i = 0; i < nRecords; i++) {
        int iID;
        if (!pMsg->GetInt(&iID)) {
            RVLog(RV_LOG_WARN, "message %d: data ends in record %d of %d", batch.sMessageID, i + 1, nRecords);
            break;
        }
        CSurf* pSurf = pWnd->FindSurface(iID);
        if (!pSurf && batch.eUnknown == UNKNOWN_ENDS_BATCH)
            break;
        if (!batch.pfnRecord(pWnd, pSurf, pMsg)) {
            RVLog(RV_LOG_WARN, "message %d: record %d of %d is incomplete", batch.sMessageID, i + 1, nRecords);
            break;
        }
    }
    if (batch.bAnimationLock)
        pWnd->AnimationLock()->RVUnlock();
    switch (batch.eEnd) {
    case END_TREE_CHANGED:
        pWnd->SetTreeChanged();
        break;
    case END_REDRAW:
        pWnd->Invalidate();
        break;
    case END_LOG_DONE:
        RVLog(RV_LOG_DEBUG, "Done");
        break;
    case END_NOTHING:
        break;
    }
}

// Where one image update's data ends, from the read index at its length
// field: int length, the data padded to 4 bytes, and for GIF, JPEG and PNG
// with flag 0x100000 a 16-byte cache key. Vector primitives keep the rest of
// the message. May lie beyond the data when the record is cut short.
long long ImageDataEnd(CRVMSG* pMsg, int iFlags)
{
    long long llStart = pMsg->ReadIndex();
    if (pMsg->BytesLeft() < 4)
        return llStart + 4;
    int iEncoding = iFlags & 0xFFFF;
    if (iEncoding == 7)
        return pMsg->DataSize();
    int iLength = (int)RVLoad32(pMsg->GetReadPointer());
    if (iLength < 0)
        return (long long)pMsg->DataSize() + 1;
    long long llEnd = llStart + 4 + (long long)RVAlign4((size_t)iLength);
    int bImage = iEncoding == 1 || iEncoding == 2 || iEncoding == 5 || iEncoding == 8;
    if (bImage && (iFlags & 0x100000))
        llEnd += 16;
    return llEnd;
}

// 20125: batch of surface, flags, the rectangles the flags announce, image
// data. Every record is answered with 20203 and the surface ID, also when
// the surface does not exist, so that the controller can pace its updates.
void UpdateImages(CMainWnd* pWnd, CRVMSG* pMsg)
{
    int nRecords = DispatchBatchCount(pMsg);
    for (int i = 0; i < nRecords; i++) {
        int iID;
        if (!pMsg->GetInt(&iID))
            break;
        int iFlags = pMsg->GetInt();
        const int bRect[2] = { (iFlags & 0x10000) != 0, (iFlags & 0x20000) != 0 };
        CRVRect rc[2];
        for (int k = 0; k < 2; k++)
            if (bRect[k])
                rc[k] = pMsg->GetRECT();
        long long llEnd = pMsg->Error() ? (long long)pMsg->DataSize() + 1 : ImageDataEnd(pMsg, iFlags);
        int bWhole = llEnd <= pMsg->DataSize();

        CSurf* pSurf = nullptr;
        if (bWhole) {
            CTreeLockHold tree(pWnd);
            pSurf = pWnd->FindSurface(iID);
        }
        if (pSurf) {
            // Decoding takes time: drawing and input go on meanwhile.
            pSurf->UpdateImageData(iFlags, pMsg);
            if (bRect[0] || bRect[1]) {
                CTreeLockHold tree(pWnd);
                pSurf->SetTransform(CRVRect(0, 0, 1000, 1000));
                for (int k = 0; k < 2; k++)
                    if (bRect[k])
                        pSurf->SetPosition((ORIENT)k, rc[k]);
            }
        }
        DispatchSendInts(MSG_UPDATE_IMAGE_DONE, 0, &iID, 1);
        if (!bWhole) {
            RVLog(RV_LOG_WARN, "message %d: image record %d of %d is incomplete", MSG_UPDATE_IMAGE, i + 1, nRecords);
            break;
        }
        DispatchSeek(pMsg, (unsigned int)llEnd);
    }
}

// 20124 and 20140: one surface, found under the tree lock.
CSurf* FindOne(CMainWnd* pWnd, CRVMSG* pMsg)
{
    int iID;
    if (!pMsg->GetInt(&iID))
        return nullptr;
    CTreeLockHold tree(pWnd);
    return pWnd->FindSurface(iID);
}

// 20300: int surface; a non-zero one takes the rest itself. Surface 0 is
// for the intercom audio, the media server and the connection's server
// pool, none of which this build has.
void AddressDiscovery(CMainWnd* pWnd, CRVMSG* pMsg)
{
    int iID;
    if (!pMsg->GetInt(&iID))
        return;
    if (iID == 0) {
        RVLog(RV_LOG_DEBUG, "message %d kind %d: no media object to take it", MSG_STUN, pMsg->GetInt());
        return;
    }
    CTreeLockHold tree(pWnd);
    if (CSurf* pSurf = pWnd->FindSurface(iID))
        pSurf->ProcessSTUN_MSG(pMsg);
}

} // namespace

int DispatchSurfaceCommand(CMainWnd* pWnd, CRVMSG* pMsg)
{
    short sID = pMsg->MessageID();
    if (const SURFACE_BATCH* pBatch = FindBatch(sID)) {
        RunBatch(pWnd, pMsg, *pBatch);
        return 1;
    }
    switch (sID) {
    case MSG_UPDATE_IMAGE:
        UpdateImages(pWnd, pMsg);
        return 1;
    case MSG_INVALIDATE:
        if (CSurf* pSurf = FindOne(pWnd, pMsg))
            pSurf->Invalidate();
        return 1;
    case MSG_UPDATE_IMAGE_SUB:
        // Outside the tree lock, as the image decodes.
        if (CSurf* pSurf = FindOne(pWnd, pMsg))
            pSurf->UpdateImageDataSub(pMsg);
        return 1;
    case MSG_STUN:
        AddressDiscovery(pWnd, pMsg);
        return 1;
    default:
        return 0;
    }
}
