// CMainWnd: the session start with the controller.
#include "mainwnd.h"

#include "FontServer.h"
#include "RVQuery.h"
#include "msgids.h"
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
    // The outgoing RTSP server's and the resource cache's configurations are
    // appended here by their own code once they exist; nothing is appended yet.

    CRVQuery query;
    CRVMSG* pAnswer = nullptr;
    if (!query.AskQuestion(&pAnswer, &question) || !pAnswer)
        return -1;
    int iAnswerID = 0;
    if (!pAnswer->GetInt(&iAnswerID))
        return -1;
    return iAnswerID;
}
