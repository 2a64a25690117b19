// CFontDownload: a font file arriving from the controller in chunks.
//
// The bytes go to "<path>.part" and the file takes its real name only once
// every announced byte is there, so a font in use is never half overwritten
// and an interrupted transfer leaves nothing under the real name. Every chunk
// is checked before a byte is written: the total must stay the same and
// within CFontServer::MAX_FONT_FILE_BYTES, a chunk must not run past the
// total, and a chunk that says where it belongs must follow on from what
// came before. A chunk that breaks a rule ends the download and removes the
// partial file.
#pragma once

#include "rvstring.h"

class CRVFile;

class CFontDownload
{
public:
    enum RESULT
    {
        CHUNK_REFUSED = -1,     // the download was dropped
        CHUNK_MORE = 0,         // taken; more is due
        CHUNK_DONE = 1,         // the file is complete under its real name
    };
    // Largest total a download may announce.
    static const int MAX_BYTES;

    CFontDownload();
    // An unfinished download is dropped.
    ~CFontDownload();
    CFontDownload(const CFontDownload&) = delete;
    CFontDownload& operator=(const CFontDownload&) = delete;

    // Drops any download in progress and creates the partial file for
    // sPath. 1 when it could be created.
    int Begin(const CRVString& sPath);
    // A chunk of iLength bytes out of iTotal; llOffset is where the sender
    // says it belongs, or -1 when the message does not say.
    RESULT Add(int iTotal, long long llOffset, const unsigned char* pData, int iLength);
    // Closes and removes the partial file.
    void Drop();

    int IsOpen() const { return m_pFile != nullptr; }
    // The real name of the file.
    const CRVString& Path() const { return m_sPath; }
    int Received() const { return m_iReceived; }

private:
    RESULT Refuse(const char* pszWhy);
    CRVString PartPath() const;

    CRVString m_sPath;
    CRVFile* m_pFile;
    int m_iReceived;
    int m_iTotal;               // from the first chunk; -1 before
};
