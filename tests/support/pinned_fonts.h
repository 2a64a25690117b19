// A fontconfig setup of one face for text tests: its own fonts.conf (named by
// FONTCONFIG_FILE) listing a directory that holds only that face, so text
// bitmaps do not depend on what the machine has installed. Font servers made
// while it lives use it; the earlier setup comes back when it goes.
#pragma once

#include <fontconfig/fontconfig.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "scoped_temp_dir.h"

#define ZV_LIBERATION_SANS "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"
#define ZV_DEJAVU_SANS "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"

class CPinnedFonts
{
public:
    explicit CPinnedFonts(const char* pszFontFile = ZV_LIBERATION_SANS)
    {
        const char* pszOld = getenv("FONTCONFIG_FILE");
        m_bHadOld = pszOld != nullptr;
        if (pszOld)
            m_sOld = pszOld;
        struct stat st;
        if (!m_dir.ok() || stat(pszFontFile, &st) != 0)
            return;
        const std::string sFonts = m_dir / "fonts";
        const std::string sFile = pszFontFile;
        if (mkdir(sFonts.c_str(), 0700) != 0 ||
            symlink(pszFontFile, (sFonts + sFile.substr(sFile.rfind('/'))).c_str()) != 0)
            return;
        const std::string sConf = m_dir / "fonts.conf";
        std::ofstream(sConf) << "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                             << "<fontconfig><dir>" << sFonts << "</dir><cachedir>" << (m_dir / "cache")
                             << "</cachedir></fontconfig>\n";
        setenv("FONTCONFIG_FILE", sConf.c_str(), 1);
        m_bOk = FcInitReinitialize() == FcTrue;
    }
    ~CPinnedFonts()
    {
        if (m_bHadOld)
            setenv("FONTCONFIG_FILE", m_sOld.c_str(), 1);
        else
            unsetenv("FONTCONFIG_FILE");
        FcInitReinitialize();
    }
    CPinnedFonts(const CPinnedFonts&) = delete;
    CPinnedFonts& operator=(const CPinnedFonts&) = delete;

    // False when the face is not installed or fontconfig refused the setup.
    bool ok() const { return m_bOk; }

private:
    ScopedTempDir m_dir;
    bool m_bOk = false;
    bool m_bHadOld = false;
    std::string m_sOld;
};
