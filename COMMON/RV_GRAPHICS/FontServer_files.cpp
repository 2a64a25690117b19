// CFontServer: where font files live, "font.config", checksums, and the
// download of a named font file (8398 out, 8301 chunks in).
#include "FontServer.h"

#include "rvdebug.h"
#include "rvfile.h"
#include "rvlog.h"
#include "rvmsg.h"
#include "rvserver.h"
#include "rvutf8.h"

#include <stdlib.h>

#include <mutex>
#include <string>

namespace {

const short MSG_FONT_DOWNLOAD_REQUEST_ID = 8398;
const short MSG_FONT_DOWNLOAD_END_ID = 8301;

const wchar_t kBitmapFontName[] = L"ZVIEWER.FONT";
const wchar_t kConfigName[] = L"font.config";
// Names of other files in the same directory that a downloaded font must
// never replace.
const wchar_t* const kReservedNames[] = { kBitmapFontName, kConfigName, L"servers.txt" };

std::mutex g_DirLock;
std::wstring g_sDirectory;      // empty: $TMPDIR or /tmp

CRVString Directory()
{
    std::lock_guard<std::mutex> hold(g_DirLock);
    if (!g_sDirectory.empty())
        return CRVString(g_sDirectory.c_str());
    const char* pszTmp = getenv("TMPDIR");
    return CRVString(pszTmp && *pszTmp ? pszTmp : "/tmp");
}

CRVString InDirectory(const wchar_t* pszName)
{
    CRVString s = Directory();
    s += L"/";
    s += pszName;
    return s;
}

// A plain file name that stays inside the font directory and names no file
// of the viewer's own.
int IsPlainFileName(const CRVString& sName)
{
    CRVString s(sName);
    s.ConvertTowchar_t();
    int n = s.GetLength();
    if (n <= 0 || n > CFontServer::MAX_FONT_NAME || s[0] == L'.')
        return 0;
    for (int i = 0; i < n; i++) {
        wchar_t c = s[i];
        if (c < 0x20 || c == 0x7F || c == L'/' || c == L'\\')
            return 0;
    }
    for (const wchar_t* pszReserved : kReservedNames) {
        CRVString sReserved(pszReserved);
        if (CRVString(s).CompareNoCase(sReserved) == 0)
            return 0;
    }
    return 1;
}

} // namespace

void CFontServer::SetFontDirectory(const CRVString& sDirectory)
{
    CRVString s(sDirectory);
    s.ConvertTowchar_t();
    s.TrimRight(L"/");
    std::lock_guard<std::mutex> hold(g_DirLock);
    g_sDirectory.assign(static_cast<const wchar_t*>(s.GetData()), (size_t)s.GetLength());
    // "/" itself trims to nothing: keep the root rather than fall back.
    if (g_sDirectory.empty() && !sDirectory.IsEmpty())
        g_sDirectory = L"/";
}

CRVString CFontServer::FontDirectory()
{
    return Directory();
}

CRVString CFontServer::GetFontFilePath()
{
    return InDirectory(kBitmapFontName);
}

CRVString CFontServer::GetFontFilePath(const CRVString& sName)
{
    if (!IsPlainFileName(sName)) {
        RVLog(RV_LOG_WARN, "font file name \"%s\" refused", RVToUtf8(sName).c_str());
        return CRVString();
    }
    CRVString s(sName);
    s.ConvertTowchar_t();
    return InDirectory(static_cast<const wchar_t*>(s.GetData()));
}

uint32_t CFontServer::GetFontFileChecksum(const CRVString& sPath)
{
    if (sPath.IsEmpty())
        return 0;
    CRVFile file(sPath);
    return file.GetCheckSum();
}

int CFontServer::GetFontFileLength()
{
    CRVFile file(GetFontFilePath());
    int64_t llLength = file.GetLength();
    return llLength > 0 && llLength <= MAX_FONT_FILE_BYTES ? (int)llLength : 0;
}

void CFontServer::SaveFontServerConfig(int iType, const CRVString& sName)
{
    CRVFile file(InDirectory(kConfigName));
    if (!file.Open(RV_FILE_WRITE))
        return;
    file.WriteInt(iType);
    file.WriteStringSmall(sName);
    file.Close();
}

int CFontServer::LoadFontServerConfig(int* piType, CRVString* psName)
{
    CRVFile file(InDirectory(kConfigName));
    if (!file.Open(RV_FILE_READ))
        return 0;
    int32_t iType = 0;
    CRVString sName;
    if (!file.ReadInt(iType) || !file.ReadString(sName))
        return 0;
    *piType = iType;
    *psName = sName;
    return 1;
}

int CFontServer::BeginDownloadFontFile(const CRVString& sName)
{
    m_Download.Drop();
    CRVString sPath = GetFontFilePath(sName);
    if (sPath.IsEmpty() || !m_Download.Begin(sPath))
        return 0;
    CRVMSG msg(DOWNLOAD_SENDER, MSG_FONT_DOWNLOAD_REQUEST_ID, 64, 1);
    msg.PutString(sName);
    if (!g_pRVServer || !g_pRVServer->SendMSG(&msg)) {
        RVLog(RV_LOG_WARN, "font download: the request for \"%s\" could not be sent", RVToUtf8(sName).c_str());
        m_Download.Drop();
        return 0;
    }
    return 1;
}

int CFontServer::EndDownloadFontFile(CRVMSG* pMsg)
{
    if (!pMsg)
        return 0;
    if (!m_Download.IsOpen()) {
        AssertDlg(__FILE__, __LINE__, 0);
        RVLog(RV_LOG_INFO, "font download: a chunk arrived with no download in progress");
        return 0;
    }
    // Reported, and still taken: the chunk is checked on its own merits.
    if (pMsg->MessageID() != MSG_FONT_DOWNLOAD_END_ID || pMsg->SenderID() != DOWNLOAD_SENDER)
        AssertDlg(__FILE__, __LINE__, 0);
    int iTotal = pMsg->GetInt();
    int iLength = pMsg->GetInt();
    if (pMsg->Error() || iLength < 0 || iLength > pMsg->BytesLeft()) {
        RVLog(RV_LOG_WARN, "font download: a chunk announces more bytes than it carries");
        m_Download.Drop();
        return 0;
    }
    CFontDownload::RESULT r = m_Download.Add(iTotal, -1, pMsg->GetReadPointer(), iLength);
    pMsg->AdvanceReadIndex(iLength);
    return r == CFontDownload::CHUNK_DONE ? 1 : 0;
}
