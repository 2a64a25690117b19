// CMainWnd::ProcessMessage: the controller's messages, by identifier.
//
// Surface commands live in mainwnd_dispatch_surf.cpp, file saving in
// mainwnd_dispatch_file.cpp, fonts in mainwnd_dispatch_font.cpp, the graphic
// store in mainwnd_dispatch_gstore.cpp. Identifiers
// without a handler are ignored. Messages meant for objects this build does
// not have yet (audio player, text entry, focus cursor,
// intercom audio, outgoing media server) are logged at debug level and
// dropped; each message is a frame of its own, so dropping one never upsets
// the next.
#include "mainwnd_dispatch.h"

#include "msgids.h"
#include "rvlog.h"
#include "rvserver.h"

int DispatchSendInts(short sMessageID, short sSenderID, const int* pValues, int nValues)
{
    if (!g_pRVServer)
        return 0;
    CRVMSG msg(sSenderID, sMessageID, (unsigned int)nValues * 4, 1);
    for (int i = 0; i < nValues; i++)
        msg.PutInt(pValues[i]);
    return g_pRVServer->SendMSG(&msg);
}

namespace {

void NoHandlerYet(const CRVMSG* pMsg, const char* pszOwner)
{
    RVLog(RV_LOG_DEBUG, "message %d: no %s in this build, dropped", pMsg->MessageID(), pszOwner);
}

// 5500 and 20155: the two ints come back as they are, the first one alone
// followed by 0 for the audio probe.
void Echo(CRVMSG* pMsg, short sReplyID, int bSecondIsZero)
{
    int v[2];
    v[0] = pMsg->GetInt();
    v[1] = bSecondIsZero ? 0 : pMsg->GetInt();
    if (!pMsg->Error())
        DispatchSendInts(sReplyID, pMsg->SenderID(), v, 2);
}

// 20156: stream volume, sound volume, string, int, font name, font checksum.
void Settings(CMainWnd* pWnd, CRVMSG* pMsg)
{
    int iStream = pMsg->GetInt();
    int iSound = pMsg->GetInt();
    if (pMsg->Error())
        return;
    pWnd->SetStreamVolume(iStream);
    pWnd->m_iSoundVolume = iSound;
    DispatchFontSelection(pWnd, pMsg);
}

// 20161: size, offset, positions, kept for the next camera start.
void CameraSettings(CMainWnd* pWnd, CRVMSG* pMsg)
{
    int v[3];
    for (int& i : v)
        i = pMsg->GetInt();
    if (pMsg->Error())
        return;
    pWnd->m_iCameraSize = v[0];
    pWnd->m_iCameraOffset = v[1];
    pWnd->m_iCameraPositions = v[2];
}

// 20169: the controller ends the session; the socket loop stops.
void SessionEnd(CMainWnd* pWnd)
{
    pWnd->StopCamera();
    pWnd->StopAudio();
    pWnd->SetRunFlags(CMainWnd::RUN_SESSION_ENDED);
    pWnd->ClearRunFlags(CMainWnd::RUN_SOCKET);
}

// 20121 (bSync) and 20122: surface, then the steps. The surface handles them
// under the tree lock, which 20121 gives up while it waits for the
// animations; the surface is not used afterwards, as it may be gone by then.
void AnimateSurface(CMainWnd* pWnd, CRVMSG* pMsg, int bSync)
{
    int iID;
    if (pMsg->GetInt(&iID)) {
        CTreeLockHold tree(pWnd);
        if (CSurf* pSurf = pWnd->FindSurface(iID)) {
            if (bSync)
                pSurf->ExecuteAnimationSync(pMsg);
            else
                pSurf->ExecuteAnimationAsync(pMsg);
        }
    }
    pWnd->ClearPendingAnimation();
    if (bSync) {
        CTreeLockHold tree(pWnd);
        pWnd->EvaluateVisibility();
    }
}

// The owner a message would go to, for identifiers whose owner this build
// does not have; null for identifiers that are not inert.
const char* MissingOwner(short sID)
{
    switch (sID) {
    case MSG_AUDIO_DATA:
    case MSG_AUDIO_AUTO_CLOSE:
    case MSG_AUDIO_OPEN:
    case MSG_AUDIO_CLOSE:
    case MSG_SOUND_OPEN:
    case MSG_AUDIO_PCM:
    case MSG_AUDIO_ULAW:
    case MSG_CLICK_SOUND:
    case MSG_STREAM_OPEN:
    case MSG_STREAM_STOP:
    case MSG_RECORD_START:
    case MSG_RECORD_STOP:
    case MSG_SOUND_SLOT:
    case MSG_SOUND_PLAY:
    case MSG_SOUND_SLOT_CACHED:
    case MSG_SOUND_SLOT_STORE:
        return "audio player";
    case MSG_TEXT_ENTRY_OPEN:
    case MSG_TEXT_ENTRY_CLOSE:
        return "text entry";
    case MSG_CURSOR_PROPS:
        return "focus cursor";
    case MSG_RTSP_AUDIO:
        return "intercom audio";
    case MSG_ECHO_CANCEL_OPTIONS:
        return "media server";
    default:
        return nullptr;
    }
}

} // namespace

void CMainWnd::ProcessMessage(CRVMSG* pMsg)
{
    if (!pMsg)
        return;
    pMsg->ResetRead();
    short sID = pMsg->MessageID();
    if (DispatchSurfaceCommand(this, pMsg) || DispatchGraphicStore(this, pMsg))
        return;
    if (const char* pszOwner = MissingOwner(sID)) {
        NoHandlerYet(pMsg, pszOwner);
        return;
    }
    switch (sID) {
    case MSG_INIT_SESSION_REPLY: {
        int iSession;
        if (pMsg->GetInt(&iSession))
            SessionID(iSession);
        break;
    }
    case MSG_AUDIO_PROBE:
        Echo(pMsg, MSG_AUDIO_PROBE_REPLY, 1);
        break;
    case MSG_ECHO:
        Echo(pMsg, MSG_ECHO, 0);
        break;
    case MSG_ANIMATE_SYNC:
    case MSG_ANIMATE_ASYNC:
        AnimateSurface(this, pMsg, sID == MSG_ANIMATE_SYNC);
        break;
    case MSG_TEXT_EXTENT:
        DispatchTextExtent(pMsg);
        break;
    case MSG_FONT_DOWNLOAD_END:
        DispatchFontDownloadEnd(this, pMsg);
        break;
    case MSG_FONT_FILE_DATA:
        DispatchFontFileData(this, pMsg);
        break;
    case MSG_FILE_SAVE: {
        int iKey = pMsg->GetInt();
        CRVString s[4];
        for (CRVString& str : s)
            pMsg->GetString(&str);
        if (!pMsg->Error())
            FilePromptSave(iKey, s[0], s[1], s[2], s[3]);
        break;
    }
    case MSG_FILE_DATA:
        DispatchFileData(this, pMsg);
        break;
    case MSG_OSD_ACTIVE: {
        int iActive;
        // The on-screen display closed: the cursor goes back to the root at once.
        if (pMsg->GetInt(&iActive) && iActive == 0)
            SetCursorPosition(0, 0, 0, 0, 0, 0);
        break;
    }
    case MSG_STREAM_VOLUME: {
        int iVolume;
        if (pMsg->GetInt(&iVolume))
            SetStreamVolume(iVolume);
        break;
    }
    case MSG_SETTINGS:
        Settings(this, pMsg);
        break;
    case MSG_CAMERA_SETTINGS:
        CameraSettings(this, pMsg);
        break;
    case MSG_SESSION_END:
        SessionEnd(this);
        break;
    default:
        // MSG_BACKGROUND_MODE was taken when the message was routed; any
        // other identifier has no meaning here.
        break;
    }
}
