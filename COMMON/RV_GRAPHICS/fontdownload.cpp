// CFontDownload: chunks checked, written to a partial file, renamed at the end.
#include "fontdownload.h"

#include "FontServer.h"
#include "rvdir.h"
#include "rvfile.h"
#include "rvlog.h"
#include "rvutf8.h"

#include <stdio.h>

const int CFontDownload::MAX_BYTES = CFontServer::MAX_FONT_FILE_BYTES;

CFontDownload::CFontDownload() : m_pFile(nullptr), m_iReceived(0), m_iTotal(-1)
{
}

CFontDownload::~CFontDownload()
{
    Drop();
}

CRVString CFontDownload::PartPath() const
{
    CRVString s(m_sPath);
    s += L".part";
    return s;
}

int CFontDownload::Begin(const CRVString& sPath)
{
    Drop();
    m_sPath = sPath;
    m_iReceived = 0;
    m_iTotal = -1;
    if (sPath.IsEmpty())
        return 0;
    m_pFile = new CRVFile(PartPath());
    if (!m_pFile->Open(RV_FILE_WRITE, 1, 0, 128)) {
        RVLog(RV_LOG_WARN, "font download: cannot create %s", RVToUtf8(PartPath()).c_str());
        delete m_pFile;
        m_pFile = nullptr;
        return 0;
    }
    return 1;
}

void CFontDownload::Drop()
{
    if (!m_pFile)
        return;
    m_pFile->Close();
    delete m_pFile;
    m_pFile = nullptr;
    TAVO_DeleteFile(PartPath());
}

CFontDownload::RESULT CFontDownload::Refuse(const char* pszWhy)
{
    RVLog(RV_LOG_WARN, "font download of %s dropped: %s", RVToUtf8(m_sPath).c_str(), pszWhy);
    Drop();
    return CHUNK_REFUSED;
}

CFontDownload::RESULT CFontDownload::Add(int iTotal, long long llOffset, const unsigned char* pData, int iLength)
{
    if (!m_pFile)
        return CHUNK_REFUSED;
    if (iTotal <= 0 || iTotal > MAX_BYTES)
        return Refuse("the announced size is out of range");
    if (m_iTotal < 0)
        m_iTotal = iTotal;
    else if (iTotal != m_iTotal)
        return Refuse("the announced size changed");
    if (iLength < 0 || (iLength > 0 && !pData))
        return Refuse("a chunk has no valid length");
    if (iLength > m_iTotal - m_iReceived)
        return Refuse("a chunk runs past the announced size");
    if (llOffset >= 0 && llOffset != m_iReceived)
        return Refuse("a chunk is out of order");
    if (iLength > 0 && !m_pFile->Write(pData, iLength))
        return Refuse("the file cannot be written");
    m_iReceived += iLength;
    if (m_iReceived < m_iTotal)
        return CHUNK_MORE;

    // Complete: closed (the cache written out) and put in place.
    int bClosed = m_pFile->Close() && m_pFile->GetLength() == m_iTotal;
    delete m_pFile;
    m_pFile = nullptr;
    if (!bClosed || !TAVO_MoveFile(PartPath(), m_sPath)) {
        TAVO_DeleteFile(PartPath());
        RVLog(RV_LOG_WARN, "font download: %s could not be completed", RVToUtf8(m_sPath).c_str());
        return CHUNK_REFUSED;
    }
    return CHUNK_DONE;
}
