// CSurfRTSP: properties.
#include "surf_rtsp.h"

#include "rvmsg.h"

CSurfRTSP::CSurfRTSP(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1)
    : CSurf(pParent, iID, rc0, rc1),
      m_pRenderObject(nullptr),
      m_pFallback(nullptr),
      m_iFallbackID(0),
      m_pDecoder(nullptr),
      m_iFlags(STREAM_ENABLED),
      m_iRotation(0),
      m_iObscure(0),
      m_iZoomX(0),
      m_iZoomY(0),
      m_Crop{0, 0, 0, 0},
      m_ReportedSize{0, 0},
      m_iRelaySocket(-1),
      m_OwnPath{},
      m_SourcePath{}
{
}

// No stream, decoder or render object exists until streaming is built.
CSurfRTSP::~CSurfRTSP() = default;

int CSurfRTSP::ReadProfileBytes(CRVMSG* pMsg, std::vector<unsigned char>* pBytes)
{
    const unsigned int uStart = pMsg->ReadIndex();
    const unsigned char* pStart = pMsg->GetReadPointer();
    int bWhole = 1;
    for (int i = 0; i < 5 && bWhole; ++i)
        bWhole = pMsg->GetString(nullptr);
    for (int i = 0; i < 8 && bWhole; ++i)
        bWhole = pMsg->GetInt(nullptr);
    int n = 0;
    if (bWhole)
        bWhole = pMsg->GetInt(&n);
    // The length is checked against the data by the read, before anything is copied.
    if (bWhole && n > 0)
        bWhole = pMsg->GetData(nullptr, n);
    // The last block's pad may be missing at the very end of the data, which
    // leaves the index past it.
    unsigned int uEnd = pMsg->ReadIndex();
    if (uEnd > (unsigned int)pMsg->DataSize())
        uEnd = (unsigned int)pMsg->DataSize();
    if (pStart && uEnd > uStart)
        pBytes->insert(pBytes->end(), pStart, pStart + (uEnd - uStart));
    return bWhole;
}

void CSurfRTSP::SetSurfaceProps(CRVMSG* pMsg, int)
{
    // Borrowing the fallback surface's picture comes with the render
    // objects; until then only its ID is kept.
    m_iFallbackID = pMsg->GetInt();
    m_Profile.clear();
    const int iPresence = pMsg->GetBYTE();
    if (iPresence == PROFILE || iPresence == PROFILE_AND_CROP) {
        if (!ReadProfileBytes(pMsg, &m_Profile))
            m_Profile.clear();  // a profile cut short is no profile
        else if (iPresence == PROFILE_AND_CROP) {
            m_Crop.left = pMsg->GetBYTE();
            m_Crop.right = pMsg->GetBYTE();
            m_Crop.top = pMsg->GetBYTE();
            m_Crop.bottom = pMsg->GetBYTE();
        }
    }
    m_iFlags |= STREAM_PROPS;
}
