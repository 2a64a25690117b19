// CGraphicStore: the controller's graphic-store messages.
#include "graphstore.h"

#include "DIBDC32.h"
#include "mainwnd.h"
#include "msgids.h"
#include "resource_mgr.h"
#include "rvlog.h"
#include "rvmsg.h"

namespace {

// What an add message carries before its image bytes.
struct ADD_HEADER
{
    int iID;
    int iFlags;
    int iMargin[2];
    int iFormat;
    unsigned char key[CResourceManager::KEY_BYTES];
};

// ID, flags, the margins when flags bit 0 is set, format, and the cache key
// when bKey. 0 when the message ends first.
int ReadAddHeader(CRVMSG* pMsg, int bKey, ADD_HEADER* pHeader)
{
    pHeader->iID = pMsg->GetInt();
    pHeader->iFlags = pMsg->GetInt();
    pHeader->iMargin[0] = pHeader->iMargin[1] = 0;
    if (pHeader->iFlags & CGraphicStore::FLAG_MARGINS) {
        pHeader->iMargin[0] = pMsg->GetInt();
        pHeader->iMargin[1] = pMsg->GetInt();
    }
    pHeader->iFormat = pMsg->GetInt();
    if (bKey && !pMsg->GetData(pHeader->key, CResourceManager::KEY_BYTES))
        return 0;
    return !pMsg->Error();
}

// The image bytes of 20110 and 20167: an int length and that many bytes,
// which must all be in the message.
int ReadImageBytes(CRVMSG* pMsg, const unsigned char** ppData, int* piLength)
{
    int iLength;
    if (!pMsg->GetInt(&iLength) || iLength < 0 || iLength > pMsg->BytesLeft())
        return 0;
    *ppData = pMsg->GetReadPointer();
    *piLength = iLength;
    return 1;
}

// Images made by shaded primitives (format 11) and the primitive messages
// need a primitive renderer this build does not have yet: they are dropped,
// reported at warn level the first time for each kind (a page may carry
// hundreds) and at debug level after that.
void NotAvailable(int iWhich, const char* pszWhat)
{
    static unsigned int s_uReported = 0;    // bit 0: format 11, bits 1 to 3: 20173 to 20175
    RVLog(RVFirstTimeLevel(&s_uReported, 1u << iWhich), "graphic store: %s not available yet, dropped", pszWhat);
}

// The image decoded by its format; null on failure (logged by the decoder).
CDIBDC32* DecodeImage(int iFormat, const unsigned char* pData, int iLength)
{
    if (iLength <= 0)
        return nullptr;
    if (iFormat == CGraphicStore::FORMAT_OWN)
        return CGraphicStore::LoadTCF1(pData, iLength);
    if (iFormat == CGraphicStore::FORMAT_PRIMITIVE_IMAGE) {
        NotAvailable(0, "images made by shaded primitives (format 11) are");
        return nullptr;
    }
    return LoadRVPNG32(pData, iLength);
}

}  // namespace

void CGraphicStore::ProcessMessage(CRVMSG* pMsg)
{
    if (!pMsg)
        return;
    pMsg->ResetRead();
    switch (pMsg->MessageID()) {
    case MSG_GRAPHIC_ADD:
        AddImage(pMsg, 0, 0);
        break;
    case MSG_GRAPHIC_ADD_STORE:
        AddImage(pMsg, 1, 0);
        break;
    case MSG_GRAPHIC_ADD_CACHED:
        AddImage(pMsg, 0, 1);
        break;
    case MSG_GRAPHIC_DELETE: {
        int iID;
        if (!pMsg->GetInt(&iID))
            break;
        RVLog(RV_LOG_DEBUG, "DeleteGraphicStore (0x%08X)", (unsigned int)iID);
        ClearGraphic(iID);
        break;
    }
    case MSG_GRAPHIC_CLEAR:
        RVLog(RV_LOG_DEBUG, "ClearGraphicStore");
        ClearAll();
        break;
    case MSG_PRIMITIVE_ADD:
        NotAvailable(1, "shaded primitives (message 20173) are");
        break;
    case MSG_PRIMITIVE_DELETE:
        NotAvailable(2, "shaded primitives (message 20174) are");
        break;
    case MSG_PRIMITIVE_CLEAR:
        NotAvailable(3, "shaded primitives (message 20175) are");
        break;
    default:
        break;
    }
}

void CGraphicStore::AddImage(CRVMSG* pMsg, int bStore, int bFromCache)
{
    ADD_HEADER h;
    const unsigned char* pData = nullptr;
    int iLength = 0;
    if (!ReadAddHeader(pMsg, bStore || bFromCache, &h) || (!bFromCache && !ReadImageBytes(pMsg, &pData, &iLength))) {
        RVLog(RV_LOG_WARN, "message %d: image record cut short, dropped", pMsg->MessageID());
        return;
    }
    if (Count() >= MAX_CANVASES) {
        RVLog(RV_LOG_WARN, "*********************");
        RVLog(RV_LOG_WARN, "GraphicStore is FULL!");
        RVLog(RV_LOG_WARN, "*********************");
        return;
    }

    CResourceManager* pCache = CMainWnd::g_pResourceManager;
    CResourceData cached;
    if (bFromCache) {
        // The controller replaced the ID: a missing cache file leaves it empty.
        if (!pCache || !pCache->LoadResource(h.key, &cached)) {
            ClearGraphic(h.iID);
            return;
        }
        pData = cached.m_pData;
        iLength = cached.m_iLength;
    }
    // Decoding first and replacing after keeps the old image on the screen
    // while the new one decodes; a failure still removes it, as the
    // controller replaced it.
    CDIBDC32* pDib = DecodeImage(h.iFormat, pData, iLength);
    if (!pDib) {
        ClearGraphic(h.iID);
        if (h.iFormat != FORMAT_OWN && h.iFormat != FORMAT_PRIMITIVE_IMAGE)
            RVLog(RV_LOG_WARN, bFromCache ? "Load PNG failed: AddGraphicStoreLoad" : "Load PNG failed: AddGraphcStore");
        return;
    }
    if (!AddCanvas(pDib, h.iID, h.iFlags, h.iMargin[0], h.iMargin[1]))
        return;
    if (bStore && pCache)
        pCache->SaveResource(h.key, RESOURCE_TYPE_GRAPHIC, pData, iLength);
}
