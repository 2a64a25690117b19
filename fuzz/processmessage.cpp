// Arbitrary sequences of controller messages through the main window's
// dispatcher, on a main window without a display (nothing is drawn) and
// without a session (replies go nowhere).
//
// Input: a sequence of messages, each
//   byte    identifier choice: below the catalogue size, that catalogue entry;
//           otherwise the next two bytes are the identifier as it stands
//   short   sender ID (the record count minus one for batches)
//   WORD    data length n (cut to what is left of the input)
//   n bytes data
// Every input starts from a fresh main window with an empty tree; the tree
// the messages build is released through the window's garbage at the end.
// The save prompt answers with a file in the temporary directory, which is
// removed after each input.
#include "FontServer.h"
#include "fuzz_frame.h"
#include "gldelegate.h"
#include "mainwnd.h"
#include "msgids.h"
#include "fuzz_tempdir.h"
#include "rvdir.h"
#include "rvfile.h"
#include "rvlog.h"
#include "rvmsg.h"
#include "rvserver.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <wchar.h>

#include <string>

namespace {

const short g_Catalogue[] = {
    MSG_AUDIO_DATA, MSG_AUDIO_AUTO_CLOSE, MSG_AUDIO_OPEN, MSG_AUDIO_CLOSE, MSG_AUDIO_PROBE, MSG_SOUND_OPEN,
    MSG_AUDIO_PCM, MSG_AUDIO_ULAW, MSG_FONT_DOWNLOAD_END, MSG_INIT_SESSION_REPLY, MSG_GRAPHIC_ADD,
    MSG_GRAPHIC_DELETE, MSG_GRAPHIC_CLEAR, MSG_ADD_SURFACES_BELOW, MSG_ADD_SURFACES, MSG_REMOVE_SURFACES,
    MSG_CLEAR_SURFACE, MSG_SURFACE_PROPS, MSG_SET_POSITION, MSG_SET_POSITION_ALT, MSG_SET_ATTRIBUTE,
    MSG_ANIMATE_SYNC, MSG_ANIMATE_ASYNC, MSG_FONT_FILE_DATA, MSG_INVALIDATE, MSG_UPDATE_IMAGE, 20126,
    MSG_CLICK_SOUND, MSG_STREAM_OPEN, MSG_STREAM_STOP, MSG_TEXT_EXTENT, MSG_TEXT_ENTRY_OPEN,
    MSG_TEXT_ENTRY_CLOSE, MSG_FILE_SAVE, MSG_FILE_DATA, MSG_SET_ATTRIBUTE_EXT, MSG_STREAM_VOLUME,
    MSG_UPDATE_IMAGE_SUB, MSG_RECORD_START, MSG_RECORD_STOP, MSG_CURSOR_TO_SURFACE, MSG_OSD_ACTIVE,
    MSG_CURSOR_PROPS, MSG_MOVE_PAGE, MSG_MOVE_COMMAND, MSG_BACKGROUND_MODE, MSG_SET_ROTATION, MSG_JOG,
    MSG_JOG_REPORT, MSG_ECHO, MSG_SETTINGS, MSG_RTSP_AUDIO, MSG_SOUND_SLOT, MSG_SOUND_PLAY,
    MSG_CAMERA_SETTINGS, MSG_ECHO_CANCEL_OPTIONS, MSG_SOUND_SLOT_CACHED, MSG_SOUND_SLOT_STORE,
    MSG_GRAPHIC_ADD_CACHED, MSG_GRAPHIC_ADD_STORE, MSG_SET_TRANSFORM, MSG_SESSION_END, MSG_SCALE_LIMITS,
    MSG_PRIMITIVE_ADD, MSG_PRIMITIVE_DELETE, MSG_PRIMITIVE_CLEAR, MSG_ANIMATE_TRANSFORM, MSG_STUN,
};
const size_t g_nCatalogue = sizeof g_Catalogue / sizeof g_Catalogue[0];

std::string g_sSavePath;
std::string g_sFontDir;

} // namespace

void GLDelegateValidateScreen(void*) {}

int GLDelegateFileSavePrompt(void*, wchar_t* pBuffer, int iSize, const wchar_t*)
{
    std::string sURL = "file://" + g_sSavePath;
    if ((int)sURL.size() >= iSize)
        return 0;
    for (size_t i = 0; i <= sURL.size(); i++)
        pBuffer[i] = (wchar_t)(unsigned char)sURL.c_str()[i];
    return 1;
}

void GLDelegateStartCamera(void*, int, int, int) {}
void GLDelegateStopCamera(void*) {}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    RVSetLogLevel(RV_LOG_OFF);
    CSurf::g_bRenderGL = 0;
    g_sSavePath = FuzzPrivateDir("save") + "/saved";
    // Font downloads and "font.config" written by the inputs stay in a
    // private folder that goes with the process.
    g_sFontDir = FuzzPrivateDir("fonts");
    CFontServer::SetFontDirectory(CRVString(g_sFontDir.c_str()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CMainWnd* pWnd = new CMainWnd(nullptr, 1, 800, 480, 480, 800, 1);
    FuzzReader in(data, size);
    while (in.Left() > 0) {
        uint8_t choice = in.Byte();
        short sID = choice < g_nCatalogue ? g_Catalogue[choice] : (short)in.Word();
        short sSender = (short)in.Word();
        unsigned char* pFrame = NextExactFrame(in, sSender, sID);
        CRVMSG msg(reinterpret_cast<RVT_HEADER*>(pFrame));
        pWnd->ProcessMessage(&msg);
        // A string or block may skip its missing pad bytes, no more.
        if (msg.ReadIndex() > (unsigned int)msg.DataSize() + 3)
            abort();
        free(pFrame);
    }
    delete pWnd;
    unlink(g_sSavePath.c_str());
    return 0;
}
