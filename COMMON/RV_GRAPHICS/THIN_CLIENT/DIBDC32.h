// CDIBDC32: a finished canvas shared by reference count (graphic-store images,
// button faces, shaded primitives). On first use it becomes a GL texture and
// the canvas is freed; from then on only the texture remains.
//
// The creator holds the first reference; whoever stores a pointer calls Retain
// and drops it with Release. Holders on other threads drop theirs through the
// main window's garbage (CMainWnd::AddToGarbage), which releases it on the
// drawing thread.
#pragma once

#include <stdint.h>

class CGLDIB;
class CRVDibDC;

class CDIBDC32
{
public:
    // Takes over the canvas (which may be none).
    explicit CDIBDC32(CRVDibDC* pDibDC);

    CDIBDC32(const CDIBDC32&) = delete;
    CDIBDC32& operator=(const CDIBDC32&) = delete;

    void Retain();
    // Drops one reference; the last one destroys the object, its canvas and
    // its texture.
    void Release();
    int RefCount() const;

    // Drawing thread: the texture, made from the canvas on the first call
    // (the canvas is freed then). None when there is neither, or when no
    // texture could be made; the canvas is then kept for a later attempt.
    CGLDIB* GetGLDIB();
    // The canvas before the upload, none after it.
    CRVDibDC* DibDC() const { return m_pDibDC; }

    // The context is gone and the texture with it; as the canvas was freed at
    // upload, the image must be loaded again.
    void OnGLContextLost();
    void OnGLContextRestore() {}

    // What the graphic store keeps with each image.
    uint32_t ImageID() const { return m_uImageID; }
    void ImageID(uint32_t uID) { m_uImageID = uID; }
    uint32_t StoreFlags() const { return m_uStoreFlags; }
    void StoreFlags(uint32_t uFlags) { m_uStoreFlags = uFlags; }
    uint64_t StoreValue() const { return m_u64StoreValue; }
    void StoreValue(uint64_t uValue) { m_u64StoreValue = uValue; }

protected:
    // Only Release destroys.
    ~CDIBDC32();

private:
    CRVDibDC* m_pDibDC;
    CGLDIB* m_pGLDIB;
    uint32_t m_uImageID;
    uint32_t m_uStoreFlags;
    uint64_t m_u64StoreValue;
    int m_iRefCount;
};
