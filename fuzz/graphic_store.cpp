// Graphic-store messages and image-surface updates as the controller sends
// them: arbitrary sequences through the main window's dispatcher, with a
// graphic store, a resource cache in a private folder, and a tree holding an
// image surface of each kind (IDs 1 and 2) for the updates (20125) to reach.
// Nothing is drawn.
//
// Input: a sequence of messages, each
//   byte    identifier: one of the catalogue below (modulo its size)
//   short   sender ID (the record count minus one for 20125)
//   WORD    data length n (cut to what is left of the input)
//   n bytes data
// Every input starts from an empty store, an empty cache and a fresh tree.
#include "DIBDC32.h"
#include "dibdc.h"
#include "fuzz_frame.h"
#include "gldelegate.h"
#include "graphstore.h"
#include "mainwnd.h"
#include "msgids.h"
#include "resource_mgr.h"
#include "fuzz_tempdir.h"
#include "rvdir.h"
#include "rvlog.h"
#include "rvmsg.h"
#include "surf_image_local.h"
#include "surf_image_store.h"

#include <dirent.h>
#include <stdint.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace {

const short g_Catalogue[] = {
    MSG_GRAPHIC_ADD,  MSG_GRAPHIC_DELETE,   MSG_GRAPHIC_CLEAR,    MSG_GRAPHIC_ADD_CACHED, MSG_GRAPHIC_ADD_STORE,
    MSG_PRIMITIVE_ADD, MSG_PRIMITIVE_DELETE, MSG_PRIMITIVE_CLEAR, MSG_UPDATE_IMAGE,       MSG_UPDATE_IMAGE_SUB,
};
const size_t g_nCatalogue = sizeof g_Catalogue / sizeof g_Catalogue[0];

std::string g_sCacheDir;

void EmptyCacheDir()
{
    if (DIR* d = opendir(g_sCacheDir.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.')
                unlink((g_sCacheDir + "/" + e->d_name).c_str());
        closedir(d);
    }
}

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

} // namespace

void GLDelegateValidateScreen(void*) {}
int GLDelegateFileSavePrompt(void*, wchar_t*, int, const wchar_t*) { return 0; }
void GLDelegateStartCamera(void*, int, int, int) {}
void GLDelegateStopCamera(void*) {}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    RVSetLogLevel(RV_LOG_OFF);
    CSurf::g_bRenderGL = 0;
    g_sCacheDir = FuzzPrivateDir("gstore");
    CMainWnd::g_pResourceManager = new CResourceManager(g_sCacheDir.c_str());
    g_pGraphicStore = new CGraphicStore;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CMainWnd* pWnd = new CMainWnd(nullptr, 1, 800, 480, 480, 800, 1);
    const CRVRect rc(0, 0, 100, 100);
    CSurfImageLocal* pLocal = new CSurfImageLocal(pWnd, 1, rc, rc);
    pWnd->AddChildTail(pLocal);
    pWnd->AddChildTail(new CSurfImageStore(pWnd, 2, rc, rc));
    FuzzReader in(data, size);
    while (in.Left() > 0) {
        const short sID = g_Catalogue[in.Byte() % g_nCatalogue];
        const short sSender = (short)in.Word();
        unsigned char* pFrame = NextExactFrame(in, sSender, sID);
        CRVMSG msg(reinterpret_cast<RVT_HEADER*>(pFrame));
        pWnd->ProcessMessage(&msg);
        free(pFrame);
        Check(g_pGraphicStore->Count() <= CGraphicStore::MAX_CANVASES);
    }
    // Every stored canvas is a decoded image of a sane size.
    for (int id = -2; id < 8; id++) {
        if (CDIBDC32* pDib = g_pGraphicStore->SourceByID(id))
            Check(pDib->DibDC() && pDib->DibDC()->Width() >= 1 && pDib->DibDC()->Width() <= 8000);
    }
    delete pWnd;
    g_pGraphicStore->ReleaseAll();
    EmptyCacheDir();
    return 0;
}
