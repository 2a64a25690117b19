// CGraphicStore: the images the controller loads once and every surface
// names by a 32-bit ID (button faces, backgrounds, icons). One per process,
// g_pGraphicStore, created and deleted by the front end.
//
// Up to MAX_CANVASES canvases, in the order they were added, each carrying
// its ID, its flags (bit 0: stretch margins present) and two stretch margins
// that buttons use to stretch only the middle of an image. Images arrive as
// the own compressed format (format 10) or as PNG (any other format), and may
// be kept in or taken from the resource cache.
//
// Canvases leave the store through the main window's garbage, under the tree
// lock, so their textures are freed on the drawing thread; the main window
// then lets every surface drop the canvases it held
// (InvalidateGraphStorePointers).
//
// Locks: the store's own lock guards the list; where both are held, the tree
// lock is taken first. Decoding runs outside both.
#pragma once

#include "rvcritical.h"

#include <stdint.h>

class CDIBDC32;
class CRVMSG;

class CGraphicStore
{
public:
    enum { MAX_CANVASES = 512 };
    // Image formats of the add messages.
    enum { FORMAT_OWN = 10, FORMAT_PRIMITIVE_IMAGE = 11 };
    // Canvas flag: the two stretch margins were given.
    enum { FLAG_MARGINS = 0x1 };

    CGraphicStore();
    // ReleaseAll.
    ~CGraphicStore();
    CGraphicStore(const CGraphicStore&) = delete;
    CGraphicStore& operator=(const CGraphicStore&) = delete;

    // Messages 20110, 20111, 20112, 20166, 20167 and 20173 to 20175. Every
    // length is checked against the message; a message that does not hold
    // what it announces is logged and changes nothing.
    void ProcessMessage(CRVMSG* pMsg);

    // The first canvas with the ID, without a reference; null when none (a
    // non-zero unknown ID logs "Error no item ID (0x%08X)"). The pointer stays
    // valid while the caller holds the main window's tree lock or is the
    // drawing thread, since a removed canvas is only released there.
    CDIBDC32* SourceByID(int iID);
    // The same with a reference taken under the store's lock, valid on any
    // thread; the caller releases it.
    CDIBDC32* RetainSourceByID(int iID);
    // Every canvas with the ID leaves the store for the garbage.
    void ClearGraphic(int iID);
    // Adds a canvas under the ID, flags and margins in place of every canvas
    // with that ID; the store takes over the caller's reference. 0 (and the
    // canvas is released) when the store is full.
    int AddCanvas(CDIBDC32* pDib, int iID, int iFlags, int iMargin1, int iMargin2);
    // Every canvas is released at once; logs "Release All".
    void ReleaseAll();

    // The context was lost or restored: passed to every canvas.
    void OnGLContextLost();
    void OnGLContextRestore();
    // GL names to delete after the next frame; negative names are ignored.
    // They join the process's GL trash, which the main window empties after
    // every frame (FlushTrash does the same from the drawing thread).
    void DeleteBuffer(int iBuffer);
    void DeleteTexture(int iTexture);
    void FlushTrash();

    int Count();
    // Changes with every image added, so that a surface that found nothing
    // under its ID knows when looking again can help.
    uint32_t Generation() const { return __atomic_load_n(&m_uGeneration, __ATOMIC_ACQUIRE); }

    // A canvas of the own compressed format: decoded into an alpha canvas and
    // premultiplied; null on failure ("Error in LoadTCF1").
    static CDIBDC32* LoadTCF1(const unsigned char* pData, int iLength);
    // The stretch margins kept with a stored canvas (0 when absent).
    static int Margin1(const CDIBDC32* pDib);
    static int Margin2(const CDIBDC32* pDib);

private:
    // 20110, 20167 (bStore) and 20166 (bFromCache).
    void AddImage(CRVMSG* pMsg, int bStore, int bFromCache);
    // 20112.
    void ClearAll();
    // Removes every canvas with the ID from the list; the caller holds the
    // tree lock (when there is a main window) and the store lock.
    void RemoveLocked(int iID);

    CDIBDC32* m_pCanvases[MAX_CANVASES];
    int m_iCount;
    uint32_t m_uGeneration;
    CRVCritical m_Lock;
};

extern CGraphicStore* g_pGraphicStore;

// A PNG in a new finished canvas (premultiplied when it has transparency);
// null on failure. The last argument has no effect.
CDIBDC32* LoadRVPNG32(const unsigned char* pData, int iLength, int iUnused = 0);
