// The controller's font messages: text widths (20131), the font choice in the
// settings (20156), a named font file downloaded on request (8398 out, 8301
// in, 20210 when it is there) and the own bitmap font file (20123).
//
// The current server is replaced only under the tree lock, which drawing
// holds too; texts already drawn keep their textures, and the whole tree is
// told to lay its text out again.
#include "mainwnd_dispatch.h"

#include "FontServer.h"
#include "fontdownload.h"
#include "msgids.h"
#include "rvlog.h"

#include <vector>

namespace {

// Tree lock held.
void ReplaceFontServer(CFontServer* pNew)
{
    delete g_pFontServer;
    g_pFontServer = pNew;
}

void Relayout(CMainWnd* pWnd)
{
    pWnd->SetStateFlags(CSurf::SS_APPEARANCE | CSurf::SS_FONT_CHANGED);
    pWnd->Invalidate();
}

void DropFontFile(CMainWnd* pWnd)
{
    delete pWnd->m_pFontFile;   // removes what arrived of an unfinished file
    pWnd->m_pFontFile = nullptr;
}

} // namespace

void DispatchTextExtent(CRVMSG* pMsg)
{
    int v[4];   // a, b, font size, count
    for (int& i : v)
        i = pMsg->GetInt();
    // Every string takes at least its 4-byte count: a larger count is damage,
    // and bounds the reply before anything is measured.
    if (pMsg->Error() || v[3] < 0 || v[3] > pMsg->BytesLeft() / 4)
        return;
    CFontServer* pServer = g_pFontServer;
    if (v[3] > 0 && !pServer) {
        RVLog(RV_LOG_INFO, "message %d: no font server to measure with", MSG_TEXT_EXTENT);
        return;
    }
    std::vector<int> reply = { v[0], v[1], v[3] };
    reply.reserve(3 + (size_t)v[3]);
    CRVString s;
    for (int i = 0; i < v[3]; i++) {
        if (!pMsg->GetString(&s)) {
            RVLog(RV_LOG_INFO, "message %d: cut short after %d of %d texts, not answered", MSG_TEXT_EXTENT, i, v[3]);
            return;
        }
        reply.push_back(pServer->GetTextExtent(v[2], s).cx);
    }
    DispatchSendInts(MSG_TEXT_EXTENT, pMsg->SenderID(), reply.data(), (int)reply.size());
}

void DispatchFontSelection(CMainWnd* pWnd, CRVMSG* pMsg)
{
    CRVString sUnused, sName;
    pMsg->GetString(&sUnused);
    pMsg->GetInt();
    pMsg->GetString(&sName);
    int iChecksum = pMsg->GetInt();
    if (pMsg->Error())
        return;

    if (iChecksum == 0) {
        // The system's fonts.
        {
            CTreeLockHold tree(pWnd);
            if (g_pFontServer && g_pFontServer->ServerType() == FONTSERVER_TYPE_FT) {
                ReplaceFontServer(CFontServer::CreateDefaultFontServer());
                Relayout(pWnd);
            }
        }
        CFontServer::SaveFontServerConfig(FONTSERVER_TYPE_DEFAULT, CRVString(""));
        return;
    }

    CRVString sPath = CFontServer::GetFontFilePath(sName);
    if (sPath.IsEmpty())
        return;
    if (CFontServer::GetFontFileChecksum(sPath) != (uint32_t)iChecksum) {
        // Not here, or not this version of it: ask for the file.
        if (g_pFontServer)
            g_pFontServer->BeginDownloadFontFile(sName);
        return;
    }
    {
        CTreeLockHold tree(pWnd);
        if (g_pFontServer && g_pFontServer->ServerType() == FONTSERVER_TYPE_FT && g_pFontServer->HasInit(sPath))
            return;
        if (CFontServer* pServer = CFontServer::CreateFTFontServer(sPath)) {
            ReplaceFontServer(pServer);
            Relayout(pWnd);
        }
    }
    // The choice holds for the next start, whichever server draws it now.
    CFontServer::SaveFontServerConfig(FONTSERVER_TYPE_FT, sName);
}

void DispatchFontDownloadEnd(CMainWnd* pWnd, CRVMSG* pMsg)
{
    CFontServer* pServer = g_pFontServer;
    if (!pServer || !pServer->EndDownloadFontFile(pMsg))
        return;
    CRVString sPath = pServer->DownloadPath();
    {
        CTreeLockHold tree(pWnd);
        if (CFontServer* pNew = CFontServer::CreateFTFontServer(sPath)) {
            ReplaceFontServer(pNew);
            Relayout(pWnd);
        }
    }
    for (int iReady = 0; iReady <= 1; iReady++)
        DispatchSendInts(MSG_FONT_READY, 0, &iReady, 1);
}

void DispatchFontFileData(CMainWnd* pWnd, CRVMSG* pMsg)
{
    int iTotal = pMsg->GetInt();
    int iOffset = pMsg->GetInt();
    int iLength = pMsg->GetInt();
    if (pMsg->Error())
        return;
    if (iOffset < 0 || iLength < 0 || iLength > pMsg->BytesLeft()) {
        RVLog(RV_LOG_WARN, "message %d: chunk of %d bytes at %d with %d present: font file dropped",
              MSG_FONT_FILE_DATA, iLength, iOffset, pMsg->BytesLeft());
        DropFontFile(pWnd);
        return;
    }
    if (!pWnd->m_pFontFile) {
        CFontDownload* pFile = new CFontDownload;
        if (!pFile->Begin(CFontServer::GetFontFilePath())) {
            delete pFile;
            return;
        }
        pWnd->m_pFontFile = pFile;
    }
    CFontDownload::RESULT r = pWnd->m_pFontFile->Add(iTotal, iOffset, pMsg->GetReadPointer(), iLength);
    pMsg->AdvanceReadIndex(iLength);
    if (r == CFontDownload::CHUNK_MORE)
        return;
    DropFontFile(pWnd);
    if (r != CFontDownload::CHUNK_DONE)
        return;
    {
        CTreeLockHold tree(pWnd);
        if (g_pFontServer)
            g_pFontServer->ReleaseFonts();
        CFontServer* pNew = CFontServer::CreateBitmapFontServer();
        // A file that does not load leaves the system's fonts.
        ReplaceFontServer(pNew ? pNew : CFontServer::CreateDefaultFontServer());
    }
    pWnd->Invalidate();
}
