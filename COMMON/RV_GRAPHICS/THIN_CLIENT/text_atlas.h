// CTextAtlas: many short labels in one 512 x 512 coverage texture.
//
// A surface marked as a text-atlas owner keeps one atlas for its subtree. Text
// surfaces below it ask for an entry instead of rasterising a texture of their
// own; the atlas packs each text's coverage bitmap into a free slot (first
// fit), remembers what it packed so the same text at the same size is reused,
// evicts entries no surface holds any more when slots or space run out, and
// queues the draw requests of a frame so the owner draws all labels in one
// batch after its subtree.
//
// Entries are shared by reference count: the atlas holds one, each text
// surface that shows an entry holds one, and a queued draw holds one until it
// is drawn. Only an entry held by the atlas alone can be evicted, so the
// texels of an entry in use are never overwritten. Entries know nothing of
// their atlas, so a surface may release its entry after the atlas is gone.
//
// Everything runs under the main window's tree lock, normally on the drawing
// thread. Every entry is also copied into a byte copy of the texture, so
// packing off the drawing thread touches only memory (the texture catches up
// at the next draw) and a lost context rebuilds the texture from the copy.
// GL names are released through the GL trash (gl_trash.h).
//
// When the font server is replaced, ForgetEntries keeps what was packed from
// being handed out again; the surfaces still showing it keep their slots.
#pragma once

#include "gl_vbo.h"
#include "rvstring.h"
#include "rvtypes.h"

class CGLDIB;
struct RVT_TEXT_RENDER_PARAMS;

// One packed text.
class CTextAtlasEntry
{
public:
    enum { FLAG_CUT = 0x1 };    // the image is narrower than the text: it was cut or wrapped

    CTextAtlasEntry(const CRVString& sText, const RVT_TEXT_RENDER_PARAMS& params, int iFlags, int iNaturalWidth,
                    int iNaturalHeight, int iImageWidth, int iImageHeight, int iCenterLine, int iSlotX, int iSlotY);
    CTextAtlasEntry(const CTextAtlasEntry&) = delete;
    CTextAtlasEntry& operator=(const CTextAtlasEntry&) = delete;

    void Retain() { m_iRefCount++; }
    // Drops one reference; the last one destroys the entry.
    void Release();
    int RefCount() const { return m_iRefCount; }

    // 0 when the size equals the entry's font size and the texts are equal.
    int Compare(const CRVString& sText, int iSize) const;
    // Whether a request would have been rendered the same way: wrap mode,
    // centring and line limit equal (the size and text are Compare's job).
    int SameLayout(const RVT_TEXT_RENDER_PARAMS& params) const;
    // The image fits the request's box.
    int WillFit(const RVT_TEXT_RENDER_PARAMS& params) const;
    // Whether the rectangle overlaps the entry's slot.
    int TestIntersect(int x, int y, int w, int h) const;
    // The quad (image size at (0, 0), texture coordinates of the slot);
    // built on first use, drawing thread. -1 when the GL gave no buffer.
    int GetVtxBufferID();
    // The context is gone: the buffer is forgotten and built again on use.
    void OnGLContextLost() { m_VBO.OnGLContextLost(); }
    // Rendered by a font server that has been replaced: never handed out
    // again, kept (and its slot with it) while someone still draws it.
    int IsStale() const { return m_bStale; }
    void SetStale() { m_bStale = 1; }
    // The atlas's draw count when the entry was made.
    unsigned int Epoch() const { return m_uEpoch; }
    void Epoch(unsigned int uEpoch) { m_uEpoch = uEpoch; }

    const CRVString& Text() const { return m_sText; }
    int Flags() const { return m_iFlags; }
    int NaturalWidth() const { return m_iNaturalWidth; }
    int NaturalHeight() const { return m_iNaturalHeight; }
    int ImageWidth() const { return m_iImageWidth; }
    int ImageHeight() const { return m_iImageHeight; }
    int TextCenterLine() const { return m_iCenterLine; }
    int FontSize() const { return m_iFontSize; }
    int SlotX() const { return m_iSlotX; }
    int SlotY() const { return m_iSlotY; }

protected:
    virtual ~CTextAtlasEntry() = default;

private:
    // The atlas quad: 4 textured vertices in the shaders' 20-byte layout.
    class CQuad : public CGLBuffer
    {
    public:
        void Build(int iSlotX, int iSlotY, int w, int h);
    };

    int m_iRefCount;
    CRVString m_sText;
    int m_iFlags;
    int m_iNaturalWidth;
    int m_iNaturalHeight;
    int m_iImageWidth;
    int m_iImageHeight;
    int m_iCenterLine;
    int m_iFontSize;
    int m_iSlotX;
    int m_iSlotY;
    // The layout the text was rendered with.
    int m_iWrapMode;
    int m_iAlignFlags;
    int m_iMaxLines;
    int m_bStale = 0;
    unsigned int m_uEpoch = 0;
    CQuad m_VBO;
};

// The texture behind an atlas.
class CTextAtlasRenderObject
{
public:
    enum { SIDE = 512 };
    enum { FORMAT_ALPHA = 0, FORMAT_GREEN = 1 };

    CTextAtlasRenderObject() = default;
    CTextAtlasRenderObject(const CTextAtlasRenderObject&) = delete;
    CTextAtlasRenderObject& operator=(const CTextAtlasRenderObject&) = delete;

    void Retain() { m_iRefCount++; }
    void Release();
    int RefCount() const { return m_iRefCount; }

    // The context is gone: forget the texture (it is made again on use).
    virtual void OnGLContextLost() { m_iTexture = -1; }
    // Makes sure the texture exists and binds it; 0 when there is none.
    virtual int InitTexture() = 0;
    // Copies the image of a coverage bitmap into the atlas at (x, y); 0 when
    // the bitmap has no memory image or does not lie inside the atlas.
    virtual int Blt(int x, int y, CGLDIB* pBitmap) = 0;
    // Where the coverage is: FORMAT_ALPHA or FORMAT_GREEN.
    virtual int TextTextureFormat() = 0;

    int TextureID() const { return m_iTexture; }

protected:
    virtual ~CTextAtlasRenderObject() = default;

    int m_iRefCount = 1;
    int m_iTexture = -1;
};

// A GL_ALPHA texture with a byte copy in memory. Every entry goes into the
// copy, so the texture can be made again from it whenever the context is lost.
class CTextAtlasRenderObjectDefault : public CTextAtlasRenderObject
{
public:
    CTextAtlasRenderObjectDefault();
    int InitTexture() override;
    int Blt(int x, int y, CGLDIB* pBitmap) override;
    int TextTextureFormat() override { return FORMAT_ALPHA; }
    // The byte copy: SIDE x SIDE, rows SIDE bytes apart.
    const unsigned char* Texels() const { return m_pTexels; }

protected:
    ~CTextAtlasRenderObjectDefault() override;

private:
    unsigned char* m_pTexels;
    int m_bStale;       // the copy got entries the texture has not (packed off the drawing thread)
};

class CTextAtlas
{
public:
    enum { MAX_ENTRIES = 64, MAX_QUEUED = 64, MAX_TEXT = 64 };

    CTextAtlas();
    virtual ~CTextAtlas();
    CTextAtlas(const CTextAtlas&) = delete;
    CTextAtlas& operator=(const CTextAtlas&) = delete;

    // An entry for the text rendered by the current font server with these
    // parameters, packed or reused; null for stroked texts, texts of more
    // than 64 characters, or when the atlas is full. The caller that keeps
    // the entry retains it.
    CTextAtlasEntry* GetTextAtlasEntry(const CRVString& sText, const RVT_TEXT_RENDER_PARAMS* pParams);
    // Queues one draw (matrix: 16 floats, alpha 0..255, colour 0x00RRGGBB);
    // a full queue is drawn first.
    void AddTextAtlasRenderRef(CTextAtlasEntry* pEntry, const float* pMatrix, int iAlpha, unsigned int uColor);
    // Draws and empties the queue (drawing thread). Without the text program
    // or a texture the queue is only emptied.
    void Render();
    void OnGLContextLost();
    // The font server was replaced: entries made before the last draw are
    // never handed out again (those made since are already the new font's).
    void ForgetEntries();

    // Evicts entries only the atlas holds: the first one (bAll 0), or every
    // one (bAll 1). 1 when something was evicted.
    int FreeBlocks(int bAll);
    // First fit of a w x h slot, rows from the top, positions from the left.
    // 0 when there is no room.
    int FindEmptySlot(int w, int h, int* px, int* py) const;

    int EntryCount() const { return m_iEntries; }
    CTextAtlasEntry* Entry(int i) const { return (i >= 0 && i < m_iEntries) ? m_pEntries[i] : nullptr; }
    int QueuedCount() const { return m_iQueued; }
    CTextAtlasRenderObject* RenderObject() const { return m_pRenderObject; }

private:
    struct RVT_ATLAS_DRAW
    {
        CTextAtlasEntry* pEntry;    // retained while queued
        float fMatrix[16];
        int iAlpha;
        unsigned int uColor;
    };
    // A packed or reusable entry matching the request; null when none.
    CTextAtlasEntry* FindEntry(const CRVString& sText, const RVT_TEXT_RENDER_PARAMS& params, int bCut) const;
    // Renders, packs and appends a new entry; null when it cannot.
    CTextAtlasEntry* AddEntry(const CRVString& sText, const RVT_TEXT_RENDER_PARAMS& params, SIZE extent);
    void RemoveEntry(int i);
    void ClearQueue();

    CTextAtlasEntry* m_pEntries[MAX_ENTRIES];
    int m_iEntries;
    RVT_ATLAS_DRAW m_Queue[MAX_QUEUED];
    int m_iQueued;
    unsigned int m_uEpoch;      // counts draws
    CTextAtlasRenderObject* m_pRenderObject;
};
