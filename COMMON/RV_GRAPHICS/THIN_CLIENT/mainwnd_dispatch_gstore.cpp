// Graphic-store messages: handed to the process's graphic store, which the
// front end creates before the session starts.
#include "mainwnd_dispatch.h"

#include "graphstore.h"
#include "msgids.h"
#include "rvlog.h"

int DispatchGraphicStore(CMainWnd*, CRVMSG* pMsg)
{
    switch (pMsg->MessageID()) {
    case MSG_GRAPHIC_ADD:
    case MSG_GRAPHIC_DELETE:
    case MSG_GRAPHIC_CLEAR:
    case MSG_GRAPHIC_ADD_CACHED:
    case MSG_GRAPHIC_ADD_STORE:
    case MSG_PRIMITIVE_ADD:
    case MSG_PRIMITIVE_DELETE:
    case MSG_PRIMITIVE_CLEAR:
        if (g_pGraphicStore)
            g_pGraphicStore->ProcessMessage(pMsg);
        else
            RVLog(RV_LOG_WARN, "message %d: no graphic store, dropped", pMsg->MessageID());
        return 1;
    default:
        return 0;
    }
}
