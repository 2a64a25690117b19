// CFontServer: measures text, breaks it into lines and renders it into a
// one-byte-per-pixel coverage bitmap that the text shader tints.
//
// The engine holds one current server, g_pFontServer. At start it is chosen
// from "font.config" in the font directory; afterwards the controller replaces
// it by sending fonts (the main window swaps it under its tree lock). The
// default server is the platform's text engine (CSysFontServer, made by
// CreateSysFontServer in the platform library); servers for the controller's
// own bitmap fonts and for downloaded TrueType files plug in behind the same
// interface.
//
// Text is handled as code points (CRVString in its wide form). Threads: text
// is measured on the threads that build surfaces and rendered on the drawing
// thread, so an implementation guards its own state; the pointer itself is
// read without a lock and replaced only under the main window's tree lock.
#pragma once

#include "fontdownload.h"
#include "rvstring.h"
#include "rvtypes.h"

#include <stdint.h>

class CGLDIB;
class CRVMSG;

// Passed through to the measuring calls; no server uses it.
typedef void* THREAD_CTX;

enum FONTSERVER_TYPE
{
    FONTSERVER_TYPE_DEFAULT = 0,    // platform text engine or own bitmap fonts
    FONTSERVER_TYPE_FT = 1,         // a downloaded TrueType/OpenType file
};

// How a text is to be rendered; filled by text surfaces and the text atlas.
struct RVT_TEXT_RENDER_PARAMS
{
    enum
    {
        // bFlags
        TEXT_LEFT = 0x1,            // own bitmap fonts only: set left-aligns, clear centres
        TEXT_CENTER = 0x2,          // centre each line horizontally
        // iWrapMode
        WRAP_TRUNCATE = 0,          // one line, cut with "..." when too wide
        WRAP_LINES = 1,             // break into several lines
        // any other wrap mode: one line, never cut
        // bOutputFlags
        OUTPUT_MEMORY = 0x1,        // an in-memory bitmap (CGLDIBMem) instead of a texture
    };

    int iSize = 0;                  // font size in pixels
    uint8_t bFlags = 0;
    unsigned int uColor = 0;        // 0xRRGGBB, stroked text only
    int iWrapMode = WRAP_TRUNCATE;
    int iMaxLines = 0;              // 0: the platform server allows 100
    int iMaxWidth = 0;              // pixels; the FreeType server writes the natural width back
    int iMaxHeight = 0;
    int iStrokeWidth = 0;           // 0: no stroke
    unsigned int uStrokeColor = 0;
    int iStrokeAlpha = 0;           // 0: no stroke
    int iTextureID = -1;            // a texture the FreeType server may draw into, -1 none
    int iTextureWidth = 0;
    int iTextureHeight = 0;
    uint8_t bOutputFlags = 0;
};

class CFontServer
{
public:
    enum
    {
        // Sender ID of the font download messages (8398 out, 8301 in).
        DOWNLOAD_SENDER = 3456,
        // No font file the viewer keeps may be larger: a bound on what the
        // controller can make it write.
        MAX_FONT_FILE_BYTES = 32 * 1024 * 1024,
        // Longest font file name accepted from the controller.
        MAX_FONT_NAME = 255,
    };

    explicit CFontServer(int iType = FONTSERVER_TYPE_DEFAULT);
    CFontServer(const CFontServer&) = delete;
    CFontServer& operator=(const CFontServer&) = delete;

    // ---- the server interface (base behaviour in brackets) ----
    virtual ~CFontServer();
    // Whether the server was initialised from this font file [0].
    virtual int HasInit(const CRVString& sPath);
    // Initialise from a font file [0].
    virtual int Init(const CRVString& sPath);
    virtual int SizeIndexOf(int iSize);             // [iSize]
    virtual int FontSizeAtIndex(int iIndex);        // [iIndex]
    // The font height actually used for a requested size [iSize].
    virtual int ClosestHeight(int iSize);
    // How many lines the text needs at that width [1].
    virtual int GetTextLines(int iSize, int iWidth, int iMaxLines, const CRVString& sText);
    // Width and height in pixels [converts the text and calls the array form].
    virtual SIZE GetTextExtent(int iSize, const CRVString& sText, THREAD_CTX ctx = nullptr);
    // [0, 0]
    virtual SIZE GetTextExtent(int iSize, const wchar_t* pText, int iCount, THREAD_CTX ctx = nullptr);
    // How many of the iCount characters fit in iWidth pixels [0]. iLookBack and
    // bStopAtNewline are for the bitmap fonts' own break search.
    virtual int MaxCharsInLine(int iSize, const wchar_t* pText, int iCount, int iWidth, int iLookBack,
                               int bStopAtNewline);
    virtual void ReleaseFonts();                    // [nothing]
    virtual int LoadLocalFontFile(int bCheck);      // [0]
    // The text rendered as a coverage texture, or as a memory bitmap when the
    // params ask for one; null for an empty text or on failure [null].
    // Image size = the text's pixel size; texture size = that padded to
    // multiples of 4; text centre line = half the text height.
    virtual CGLDIB* CreateGLDIB(const CRVString& sText, RVT_TEXT_RENDER_PARAMS* pParams);
    virtual int IsFTType(const CRVString& sPath);   // [0]

    int ServerType() const { return m_iType; }

    // ---- choosing the server ----
    // From "font.config": a FreeType server when it names a non-empty file of
    // that kind, else the default server. Never null.
    static CFontServer* CreateFontServer();
    // The platform text engine's server.
    static CFontServer* CreateDefaultFontServer();
    // A server for the downloaded TrueType/OpenType file at sPath, initialised
    // from it; null when none can be made. This build has no FreeType server
    // yet: always null, logged.
    static CFontServer* CreateFTFontServer(const CRVString& sPath);
    // A server for the own bitmap font file, loaded; null when the file does
    // not load. This build has no bitmap font server yet: always null, logged.
    static CFontServer* CreateBitmapFontServer();
    // Rewrites "font.config"; nothing when it cannot be written.
    static void SaveFontServerConfig(int iType, const CRVString& sName);
    // Reads "font.config": 1 with both values, 0 when missing or damaged.
    static int LoadFontServerConfig(int* piType, CRVString* psName);

    // ---- font files ----
    // Where font files and "font.config" live: the directory set here, else
    // $TMPDIR, else /tmp. The front end points it at the viewer's cache.
    static void SetFontDirectory(const CRVString& sDirectory);
    static CRVString FontDirectory();
    // "<dir>/ZVIEWER.FONT", the own bitmap font file.
    static CRVString GetFontFilePath();
    // "<dir>/<name>"; empty when the name is not a plain file name (a path,
    // "." or "..", a hidden or reserved name, control characters, too long),
    // so the controller can never name a file outside the font directory.
    static CRVString GetFontFilePath(const CRVString& sName);
    // Unsigned sum of all bytes of the file at sPath; 0 when it cannot be read.
    static uint32_t GetFontFileChecksum(const CRVString& sPath);
    // Length of the own bitmap font file; 0 when there is none.
    static int GetFontFileLength();

    // ---- download of a named font file (8398 out, 8301 in) ----
    // Drops any download in progress, creates the file for the name and asks
    // the controller for it. 1 when asked; 0 (nothing left behind) when the
    // name is refused, the file cannot be made or the request not sent.
    int BeginDownloadFontFile(const CRVString& sName);
    // One 8301 chunk: int total, int length, the bytes. 1 when the file is
    // complete (and closed); 0 while more is due or when the chunk was
    // refused, which abandons the download and removes the partial file.
    int EndDownloadFontFile(CRVMSG* pMsg);
    // The path of the last download begun.
    const CRVString& DownloadPath() const { return m_Download.Path(); }
    int IsDownloading() const { return m_Download.IsOpen(); }
    int DownloadReceived() const { return m_Download.Received(); }

protected:
    // The text as it will be drawn: broken into lines (wrap mode 1) or cut
    // to one line, by the params. Uses this server's measuring.
    CRVString LayoutText(const CRVString& sText, const RVT_TEXT_RENDER_PARAMS& params);
    // Cut with "..." so that it fits iMaxWidth; texts of fewer than 4
    // characters and texts that fit are kept.
    CRVString TruncateText(const CRVString& sText, int iSize, int iMaxWidth);
    // Lines of at most iMaxWidth joined with U+000A: at most iMaxLines (100
    // when 0), and no more than iMaxHeight / size; the rest is dropped.
    CRVString SplitText(const CRVString& sText, int iSize, int iMaxWidth, int iMaxLines, int iMaxHeight);

private:
    CFontDownload m_Download;       // path, open file and bytes received
    int m_iType;
};

// The current font server; owned by the main window.
extern CFontServer* g_pFontServer;

// The platform's text engine server; defined by the platform library.
CFontServer* CreateSysFontServer();
