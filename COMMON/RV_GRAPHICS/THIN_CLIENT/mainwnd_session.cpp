// CMainWnd: the session start with the controller.
#include "mainwnd.h"

#include "FontServer.h"
#include "RVQuery.h"
#include "msgids.h"
#include "resource_mgr.h"
#include "rvmsg.h"

// Capabilities the viewer announces at the session start.
static const int kCapabilities = 0x1F7FEEFF;

int CMainWnd::InitSession(int iSessionID, SIZE size0, SIZE size1, int iScale, IOS_SESSION_CTX ctx)
{
    CRVMSG question(0, ctx == IOS_SESSION_CTX_ALT ? MSG_INIT_SESSION_ALT : MSG_INIT_SESSION, 256, 1);
    question.PutInt(iSessionID);
    question.PutInt(kCapabilities);
    question.PutInt(size0.cx);
    question.PutInt(size0.cy);
    question.PutInt(size1.cx);
    question.PutInt(size1.cy);
    question.PutInt(m_eOrientation);
    // Length of the own bitmap font file kept from an earlier session (0: none).
    question.PutInt(CFontServer::GetFontFileLength());
    question.PutInt(iScale * 135);
    question.PutInt(iScale * 135);
    question.PutInt(0);
    question.PutInt(0);
    question.PutInt(124);
    // The outgoing RTSP server's configuration belongs here, before the cache
    // keys, once that server exists.
    // The keys of the resource cache end the message, so that the controller
    // can refer to what the viewer holds instead of sending it again.
    if (!g_pResourceManager)
        g_pResourceManager = new CResourceManager(CResourceManager::CacheDirectory());
    g_pResourceManager->Read();
    g_pResourceManager->LoadConfig(&question);

    CRVQuery query;
    CRVMSG* pAnswer = nullptr;
    if (!query.AskQuestion(&pAnswer, &question) || !pAnswer)
        return -1;
    int iAnswerID = 0;
    if (!pAnswer->GetInt(&iAnswerID))
        return -1;
    return iAnswerID;
}
