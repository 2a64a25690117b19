// CFontServer: the base behaviour of the server interface and the choice of
// the server at start. Layout helpers are in FontServer_layout.cpp, font
// files and downloads in FontServer_files.cpp.
#include "FontServer.h"

#include "rvfile.h"
#include "rvlog.h"
#include "rvutf8.h"

CFontServer* g_pFontServer = nullptr;

CFontServer::CFontServer(int iType)
    : m_iType(iType)
{
}

// A download that never finished goes with its server (CFontDownload).
CFontServer::~CFontServer() = default;

int CFontServer::HasInit(const CRVString&)
{
    return 0;
}

int CFontServer::Init(const CRVString&)
{
    return 0;
}

int CFontServer::SizeIndexOf(int iSize)
{
    return iSize;
}

int CFontServer::FontSizeAtIndex(int iIndex)
{
    return iIndex;
}

int CFontServer::ClosestHeight(int iSize)
{
    return iSize;
}

int CFontServer::GetTextLines(int, int, int, const CRVString&)
{
    return 1;
}

SIZE CFontServer::GetTextExtent(int iSize, const CRVString& sText, THREAD_CTX ctx)
{
    CRVString sWide(sText);
    sWide.ConvertTowchar_t();
    return GetTextExtent(iSize, static_cast<const wchar_t*>(sWide.GetData()), sWide.GetLength(), ctx);
}

SIZE CFontServer::GetTextExtent(int, const wchar_t*, int, THREAD_CTX)
{
    SIZE size = { 0, 0 };
    return size;
}

int CFontServer::MaxCharsInLine(int, const wchar_t*, int, int, int, int)
{
    return 0;
}

void CFontServer::ReleaseFonts()
{
}

int CFontServer::LoadLocalFontFile(int)
{
    return 0;
}

CGLDIB* CFontServer::CreateGLDIB(const CRVString&, RVT_TEXT_RENDER_PARAMS*)
{
    return nullptr;
}

int CFontServer::IsFTType(const CRVString&)
{
    return 0;
}

CFontServer* CFontServer::CreateDefaultFontServer()
{
    return CreateSysFontServer();
}

CFontServer* CFontServer::CreateFTFontServer(const CRVString& sPath)
{
    RVLog(RV_LOG_WARN, "font server: the FreeType font server for %s is not available yet; keeping the system fonts",
          RVToUtf8(sPath).c_str());
    return nullptr;
}

CFontServer* CFontServer::CreateBitmapFontServer()
{
    RVLog(RV_LOG_WARN, "font server: the bitmap font server for %s is not available yet; using the system fonts",
          RVToUtf8(GetFontFilePath()).c_str());
    return nullptr;
}

CFontServer* CFontServer::CreateFontServer()
{
    int iType = FONTSERVER_TYPE_DEFAULT;
    CRVString sName;
    if (LoadFontServerConfig(&iType, &sName) && iType == FONTSERVER_TYPE_FT) {
        CRVString sPath = GetFontFilePath(sName);
        CRVFile file(sPath);
        if (!sPath.IsEmpty() && file.GetLength() > 0) {
            if (CFontServer* pServer = CreateFTFontServer(sPath))
                return pServer;
        }
    }
    return CreateDefaultFontServer();
}
