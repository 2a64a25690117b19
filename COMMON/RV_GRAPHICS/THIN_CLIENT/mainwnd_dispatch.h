// Pieces shared by the main window's message handlers (mainwnd_dispatch*.cpp).
// Not for other users: everything else goes through CMainWnd::ProcessMessage.
#pragma once

#include "mainwnd.h"
#include "rvmsg.h"

// Number of records in a batch command: its sender ID holds that number
// minus one, and a negative sender ID means none.
inline int DispatchBatchCount(const CRVMSG* pMsg)
{
    short sCount = pMsg->SenderID();
    return sCount < 0 ? 0 : (int)sCount + 1;
}

// Moves the read index to uPos (within the data).
inline void DispatchSeek(CRVMSG* pMsg, unsigned int uPos)
{
    pMsg->AdvanceReadIndex((int)((long long)uPos - (long long)pMsg->ReadIndex()));
}

// Holds the main window's tree lock for a scope.
class CTreeLockHold
{
public:
    explicit CTreeLockHold(CMainWnd* pWnd) : m_pLock(pWnd->TreeLock()) { m_pLock->RVLock(); }
    ~CTreeLockHold() { m_pLock->RVUnlock(); }
    CTreeLockHold(const CTreeLockHold&) = delete;
    CTreeLockHold& operator=(const CTreeLockHold&) = delete;

private:
    CRVCritical* m_pLock;
};

// Sends a message of plain ints to the controller; 1 when the session took it.
int DispatchSendInts(short sMessageID, short sSenderID, const int* pValues, int nValues);

// Surface commands (mainwnd_dispatch_surf.cpp). Each returns 1 when it knew
// the identifier.
int DispatchSurfaceCommand(CMainWnd* pWnd, CRVMSG* pMsg);

// Graphic-store messages 20110 to 20112, 20166, 20167 and 20173 to 20175
// (mainwnd_dispatch_gstore.cpp). 1 when it knew the identifier.
int DispatchGraphicStore(CMainWnd* pWnd, CRVMSG* pMsg);

// Message 20135: a chunk of the file opened by the last save prompt
// (mainwnd_dispatch_file.cpp).
void DispatchFileData(CMainWnd* pWnd, CRVMSG* pMsg);

// Font messages (mainwnd_dispatch_font.cpp): 20131 text widths, the font part
// of 20156, 8301 chunks of a requested font file, 20123 chunks of the own
// bitmap font file.
void DispatchTextExtent(CRVMSG* pMsg);
void DispatchFontSelection(CMainWnd* pWnd, CRVMSG* pMsg);
void DispatchFontDownloadEnd(CMainWnd* pWnd, CRVMSG* pMsg);
void DispatchFontFileData(CMainWnd* pWnd, CRVMSG* pMsg);
