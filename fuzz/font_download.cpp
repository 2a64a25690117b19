// Font files from the controller: names, "font.config", and chunks of a
// download in any order and of any size, as the font server and its
// download object take them.
//
// Input: a sequence of operations, each a byte (taken modulo 5) and its data:
//   0  name: byte n, n bytes -> BeginDownloadFontFile (the request goes to a
//      local socket pair that is drained)
//   1  8301 chunk: WORD n, n bytes of message data -> EndDownloadFontFile
//   2  raw chunk: int total, int offset, int length, then up to length bytes
//      -> CFontDownload::Add on a download begun when none is open
//   3  config: byte n, n bytes written as "font.config" -> LoadFontServerConfig
//      and the path of the name it holds
//   4  name: byte n, n bytes (16-bit characters) -> GetFontFilePath
// After every operation: no path leaves the font directory, and no file in
// it is larger than a font file may be.
#include "fuzz_tempdir.h"
#include "fuzz_reader.h"
#include "FontServer.h"
#include "fontdownload.h"
#include "rvlog.h"
#include "rvmsg.h"
#include "rvserver.h"
#include "rvutf8.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {

std::string g_sDir;
CRVServer* g_pSession = nullptr;
int g_hPeer = -1;

void Drain()
{
    char buf[4096];
    while (read(g_hPeer, buf, sizeof buf) > 0) {
    }
}

void CheckPath(const CRVString& sPath)
{
    if (sPath.IsEmpty())
        return;
    std::string s = RVToUtf8(sPath);
    const std::string sPrefix = g_sDir + "/";
    if (s.compare(0, sPrefix.size(), sPrefix) != 0 || s.find('/', sPrefix.size()) != std::string::npos ||
        s.find("..", sPrefix.size()) == sPrefix.size())
        abort();
}

// Every file in the directory within the size limit; all of them removed
// when bClear.
void CheckFiles(bool bClear)
{
    DIR* d = opendir(g_sDir.c_str());
    if (!d)
        abort();
    while (dirent* e = readdir(d)) {
        if (!strcmp(e->d_name, ".") || !strcmp(e->d_name, ".."))
            continue;
        std::string sPath = g_sDir + "/" + e->d_name;
        struct stat st;
        if (stat(sPath.c_str(), &st) == 0 && st.st_size > CFontServer::MAX_FONT_FILE_BYTES)
            abort();
        if (bClear)
            unlink(sPath.c_str());
    }
    closedir(d);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    RVSetLogLevel(RV_LOG_OFF);
    g_sDir = FuzzPrivateDir("font");
    CFontServer::SetFontDirectory(CRVString(g_sDir.c_str()));
    // A session whose far end is a local socket, so that requests can be sent.
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0)
        abort();
    g_hPeer = fds[1];
    fcntl(g_hPeer, F_SETFL, O_NONBLOCK);
    g_pSession = new CRVServer(g_sDir.c_str());
    g_pRVServer = g_pSession;
    if (!g_pSession->CreateConnection(fds[0]))
        abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzReader in(data, size);
    {
    CFontServer server;
    CFontDownload download;
    while (in.Left() > 0) {
        switch (in.Byte() % 5) {
        case 0: {
            size_t n;
            const uint8_t* q = in.Take(in.Byte(), &n);
            CRVString sName;
            sName.CopyFrom(reinterpret_cast<const char*>(q), reinterpret_cast<const char*>(q) + n);
            server.BeginDownloadFontFile(sName);
            if (server.IsDownloading())
                CheckPath(server.DownloadPath());
            Drain();
            break;
        }
        case 1: {
            size_t n;
            const uint8_t* q = in.Take(in.Word(), &n);
            // A frame in a block of exactly its size: a read past it is seen.
            unsigned char* pFrame = static_cast<unsigned char*>(malloc(RV_HEADER_SIZE + n));
            RVT_HEADER h = { CFontServer::DOWNLOAD_SENDER, 8301, (unsigned int)n };
            RVStoreHeader(pFrame, h);
            if (n)
                memcpy(pFrame + RV_HEADER_SIZE, q, n);
            CRVMSG msg(reinterpret_cast<RVT_HEADER*>(pFrame));
            server.EndDownloadFontFile(&msg);
            if (msg.ReadIndex() > (unsigned int)msg.DataSize() + 3)
                abort();
            free(pFrame);
            break;
        }
        case 2: {
            int iTotal = in.Int();
            int iOffset = in.Int();
            int iLength = in.Int();
            size_t n = 0;
            const uint8_t* q = in.Take(iLength > 0 ? (size_t)iLength : 0, &n);
            if (!download.IsOpen())
                download.Begin(CRVString((g_sDir + "/raw.ttf").c_str()));
            int iReceived = download.Received();
            CFontDownload::RESULT r = download.Add(iTotal, iOffset, q, iLength < 0 ? iLength : (int)n);
            if (r != CFontDownload::CHUNK_REFUSED && download.Received() != iReceived + (int)n)
                abort();
            break;
        }
        case 3: {
            size_t n;
            const uint8_t* q = in.Take(in.Byte(), &n);
            FILE* f = fopen((g_sDir + "/font.config").c_str(), "wb");
            if (f) {
                fwrite(q, 1, n, f);
                fclose(f);
            }
            int iType;
            CRVString sName;
            if (CFontServer::LoadFontServerConfig(&iType, &sName))
                CheckPath(CFontServer::GetFontFilePath(sName));
            break;
        }
        default: {
            size_t n;
            const uint8_t* q = in.Take((size_t)in.Byte() * 2, &n);
            std::wstring s;
            for (size_t i = 0; i + 1 < n; i += 2)
                s.push_back((wchar_t)(q[i] | (q[i + 1] << 8)));
            CheckPath(CFontServer::GetFontFilePath(CRVString(s.c_str())));
            break;
        }
        }
        CheckFiles(false);
    }
    }
    CheckFiles(true);
    return 0;
}
