// CSurfRTSP: a live camera picture (kind 19).
//
// Built so far: the properties. The stream profile is kept exactly as the
// controller encoded it, until the RTSP client that reads it exists; the
// stream thread, relay set-up, decoding, statistics and drawing are not built
// yet.
#pragma once

#include "surf.h"

#include <vector>

class CH264Decoder;

class CSurfRTSP : public CSurf
{
public:
    // Stream flags.
    enum
    {
        STREAM_RUN = 0x1,
        STREAM_STREAMING = 0x2,
        STREAM_ENABLED = 0x4,
        STREAM_ACQUIRED = 0x8,
        STREAM_PROPS = 0x10,
        STREAM_NEW_PICTURE = 0x20,
    };
    // The presence byte of the properties.
    enum { PROFILE_NONE = 0, PROFILE = 1, PROFILE_AND_CROP = 2 };
    enum { PATH_DESCRIPTOR = 32, TRASH = 8 };

    CSurfRTSP(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1);
    ~CSurfRTSP() override;

    // Int fallback surface ID; byte presence: 0 no profile, 1 a profile, 2 a
    // profile and four bytes of crop insets (left, right, top, bottom).
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;

    int Flags() const { return m_iFlags; }
    int FallbackID() const { return m_iFallbackID; }
    int HasProfile() const { return !m_Profile.empty(); }
    // The profile's bytes as they came in the properties.
    const std::vector<unsigned char>& ProfileBytes() const { return m_Profile; }
    RVT_INSETS Crop() const { return m_Crop; }

    // Reads one stream profile (five strings, eight ints, int length n, n
    // bytes padded to a multiple of 4) and appends its bytes to pBytes.
    // 0 when the message ends inside it.
    static int ReadProfileBytes(CRVMSG* pMsg, std::vector<unsigned char>* pBytes);

protected:
    CRenderObject* m_pRenderObject;     // made by the stream; none yet
    CRenderObject* m_pFallback;         // borrowed from the fallback surface
    int m_iFallbackID;
    std::vector<unsigned char> m_Profile;
    CH264Decoder* m_pDecoder;
    int m_iFlags;
    int m_iRotation;
    int m_iObscure;                     // 0 .. 255
    int m_iZoomX;                       // thousandths
    int m_iZoomY;
    RVT_INSETS m_Crop;
    SIZE m_ReportedSize;
    int m_iRelaySocket;                 // -1: none
    unsigned char m_OwnPath[PATH_DESCRIPTOR];
    unsigned char m_SourcePath[PATH_DESCRIPTOR];
};
