// CSurfImageLocal: image updates from the controller and the resource cache.
#include "surf_image_local.h"

#include "dibdc.h"
#include "mainwnd.h"
#include "pngdecode.h"
#include "resource_mgr.h"
#include "rgbdib.h"
#include "rvlog.h"
#include "rvmsg.h"

namespace {

// Updates in encodings this build does not decode yet are dropped; each
// encoding is reported at warn level once per run, as a page may send them by
// the hundred, and at debug level after that.
void NotAvailableOnce(int iEncoding)
{
    static unsigned int s_uReported = 0;        // bit e: encoding e (0 .. 30), bit 31: any other
    const unsigned int uBit = (iEncoding >= 0 && iEncoding < 31) ? 1u << iEncoding : 1u << 31;
    const char* pszWhat = "an unknown encoding";
    switch (iEncoding) {
    case CSurfImageLocal::ENCODING_GIF: pszWhat = "GIF"; break;
    case CSurfImageLocal::ENCODING_JPEG:
    case CSurfImageLocal::ENCODING_JPEG_MODE_2: pszWhat = "JPEG"; break;
    case CSurfImageLocal::ENCODING_PRIMITIVE: pszWhat = "vector primitives"; break;
    case CSurfImageLocal::ENCODING_H264: pszWhat = "H.264"; break;
    default: break;
    }
    RVLog(RVFirstTimeLevel(&s_uReported, uBit), "image update with encoding %d (%s): not available yet, dropped",
          iEncoding, pszWhat);
}

}  // namespace

void CSurfImageLocal::ReleaseHeld(CRenderObject** ppObject)
{
    m_Lock.RVLock();
    CRenderObject* pObject = *ppObject;
    *ppObject = nullptr;
    m_Lock.RVUnlock();
    if (pObject)
        pObject->Release();
}

int CSurfImageLocal::UpdateImageDataPNG(const unsigned char* pData, int iLength)
{
    CAlphaDIB* pDib = CPNGDecoder::CreateDIB(pData, iLength);
    if (!pDib)
        return 0;
    CRenderObject* pOld = nullptr;
    m_Lock.RVLock();
    // Another encoding had its own kind of render object.
    if (!m_pRenderObject || m_iEncoding != ENCODING_PNG) {
        pOld = m_pRenderObject;
        m_pRenderObject = new CRGBDIB;
    }
    m_pRenderObject->Update(pDib);      // takes the canvas; uploaded while drawing
    m_iEncoding = ENCODING_PNG;
    m_Lock.RVUnlock();
    if (pOld)
        pOld->Release();
    return 1;
}

void CSurfImageLocal::UpdateImageData(int iFlags, CRVMSG* pMsg)
{
    if (m_pCacheOwner)
        m_pCacheOwner->StateFlags(m_pCacheOwner->StateFlags() | SS_APPEARANCE);
    const int iEncoding = iFlags & 0xFFFF;
    int iLength;
    if (!pMsg->GetInt(&iLength) || iLength < 0 || iLength > pMsg->BytesLeft()) {
        RVLog(RV_LOG_WARN, "image update for surface %d cut short, dropped", m_iID);
        return;
    }
    const unsigned char* pData = pMsg->GetReadPointer();
    if (iEncoding == ENCODING_DROP) {
        ReleaseRenderObject();
        m_iEncoding = ENCODING_DROP;
        Invalidate();
        return;
    }
    if (iEncoding != ENCODING_PNG) {
        NotAvailableOnce(iEncoding);
        return;
    }

    CResourceManager* pCache = CMainWnd::g_pResourceManager;
    CResourceData cached;
    if (iFlags & UPDATE_FROM_CACHE) {
        // The bytes are the key of an image the cache holds; without it
        // nothing changes.
        if (iLength < CResourceManager::KEY_BYTES || !pCache || !pCache->LoadResource(pData, &cached))
            return;
        if (!UpdateImageDataPNG(cached.m_pData, cached.m_iLength))
            return;
    } else {
        if (!UpdateImageDataPNG(pData, iLength))
            return;
        if ((iFlags & UPDATE_TO_CACHE) && pCache) {
            // The key follows the bytes and their padding.
            const long long llKey = (long long)pMsg->ReadIndex() + ((iLength + 3LL) & ~3LL);
            if (llKey + CResourceManager::KEY_BYTES <= pMsg->DataSize())
                pCache->SaveResource(pMsg->Data() + llKey, RESOURCE_TYPE_GRAPHIC, pData, iLength);
            else
                RVLog(RV_LOG_WARN, "image update for surface %d: no cache key after the image", m_iID);
        }
    }
    Invalidate();
}

void CSurfImageLocal::UpdateImageDataSub(CRVMSG*)
{
    // Chunks of a JPEG picture.
    NotAvailableOnce(ENCODING_JPEG);
}
