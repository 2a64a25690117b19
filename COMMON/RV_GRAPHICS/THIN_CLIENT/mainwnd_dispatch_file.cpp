// Files the controller sends for the user to keep: it asks for a place with a
// key and a file pattern (20134), the user chooses one in the save dialog,
// the viewer answers 20209 with the key, and the bytes follow in chunks
// (20135). A transfer with a total of 0 was cancelled: its file is removed.
#include "mainwnd_dispatch.h"

#include "gldelegate.h"
#include "msgids.h"
#include "rvdir.h"
#include "rvfile.h"
#include "rvlog.h"

namespace {

const int SAVE_PROMPT_CHARS = 1024;

// The local path of a file URL as the save dialog gives it. Both
// "file://localhost/path" and "file:///path" name /path.
CRVString PathFromURL(const CRVString& sURL)
{
    static const wchar_t szLocalhost[] = L"file://localhost";
    static const wchar_t szFile[] = L"file://";
    const int nLocalhost = (int)(sizeof szLocalhost / sizeof szLocalhost[0]) - 1;
    const int nFile = (int)(sizeof szFile / sizeof szFile[0]) - 1;
    if (sURL.Left(nLocalhost) == szLocalhost)
        return sURL.Mid(nLocalhost);
    if (sURL.Left(nFile) == szFile)
        return sURL.Mid(nFile);
    return sURL;
}

void DropSaveFile(CMainWnd* pWnd)
{
    if (pWnd->m_pSaveFile) {
        pWnd->m_pSaveFile->Close();
        delete pWnd->m_pSaveFile;
        pWnd->m_pSaveFile = nullptr;
    }
}

} // namespace

void CMainWnd::FilePromptSave(int iKey, CRVString, CRVString, CRVString, CRVString sPattern)
{
    // The pattern is "*.ext": the dialog wants the extension alone.
    CRVString sExt = sPattern.GetLength() > 2 ? sPattern.Mid(2) : CRVString(L"");
    sExt.ConvertTowchar_t();
    wchar_t szChosen[SAVE_PROMPT_CHARS] = {};
    if (!GLDelegateFileSavePrompt(m_pView, szChosen, SAVE_PROMPT_CHARS, static_cast<wchar_t*>(sExt)))
        return;
    szChosen[SAVE_PROMPT_CHARS - 1] = 0;

    CRVString sPath = PathFromURL(CRVString(szChosen));
    CRVString sNarrow;
    NarrowPath(sPath, sNarrow);
    RVLog(RV_LOG_DEBUG, "File: %s", sNarrow.IsEmpty() ? "" : NarrowText(sNarrow));

    DropSaveFile(this);
    CRVFile* pFile = new CRVFile(sPath);
    if (!pFile->Open(RV_FILE_WRITE, 1, 0, 128)) {
        RVLog(RV_LOG_WARN, "cannot create the file chosen for saving");
        delete pFile;
        return;
    }
    m_pSaveFile = pFile;
    DispatchSendInts(MSG_FILE_SAVE_READY, 0, &iKey, 1);
}

void DispatchFileData(CMainWnd* pWnd, CRVMSG* pMsg)
{
    int iTotal = pMsg->GetInt();
    int iOffset = pMsg->GetInt();
    int iLength = pMsg->GetInt();
    if (pMsg->Error() || !pWnd->m_pSaveFile)
        return;
    if (iLength < 0 || iLength > pMsg->BytesLeft()) {
        RVLog(RV_LOG_WARN, "file chunk of %d bytes announced, %d present: dropped", iLength, pMsg->BytesLeft());
        return;
    }
    if (iLength > 0 && !pWnd->m_pSaveFile->Write(pMsg->GetReadPointer(), iLength))
        RVLog(RV_LOG_ERROR, "writing the saved file failed");
    pMsg->AdvanceReadIndex(iLength);
    if ((long long)iOffset + iLength < (long long)iTotal)
        return;
    CRVString sPath = pWnd->m_pSaveFile->GetPath();
    DropSaveFile(pWnd);
    if (iTotal == 0)
        TAVO_DeleteFile(sPath);
}
