#include "lx_prefs.h"

#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "lx_makedirs.h"
#include "rvlog.h"

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ReadSmallFile(const std::string& sPath, std::string* pText)
{
    const int fd = open(sPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    bool bOk = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= CLxPrefs::MAX_FILE_BYTES;
    if (bOk) {
        pText->resize((size_t)st.st_size);
        size_t got = 0;
        while (got < pText->size()) {
            const ssize_t n = read(fd, &(*pText)[got], pText->size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += (size_t)n;
        }
        // A file that shrank meanwhile gives what was there.
        pText->resize(got);
    } else {
        RVLog(RV_LOG_WARN, "settings: %s is not a regular file of at most %d bytes; using the defaults",
              sPath.c_str(), (int)CLxPrefs::MAX_FILE_BYTES);
    }
    close(fd);
    return bOk;
}

bool WriteAll(int fd, const std::string& s)
{
    size_t done = 0;
    while (done < s.size()) {
        const ssize_t n = write(fd, s.data() + done, s.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += (size_t)n;
    }
    return true;
}

}  // namespace

CLxPrefs::CLxPrefs(const std::string& sPath) : m_sPath(sPath.empty() ? DefaultPath() : sPath)
{
    std::string sText;
    if (!m_sPath.empty() && ReadSmallFile(m_sPath, &sText))
        Parse(sText, &m_Values);
}

std::string CLxPrefs::GetString(const std::string& sKey, const std::string& sDefault) const
{
    const auto it = m_Values.find(sKey);
    return it == m_Values.end() ? sDefault : it->second;
}

int CLxPrefs::SetString(const std::string& sKey, const std::string& sValue)
{
    m_Values[sKey] = sValue;
    if (m_sPath.empty()) {
        RVLog(RV_LOG_WARN, "settings: no place to keep them (neither XDG_CONFIG_HOME nor HOME)");
        return 0;
    }
    const size_t slash = m_sPath.rfind('/');
    const std::string sDir = slash == std::string::npos ? std::string(".") : m_sPath.substr(0, slash);
    std::string sWhy;
    if (slash != 0 && !LxMakeDirs(sDir, &sWhy)) {
        RVLog(RV_LOG_WARN, "settings: cannot create %s", sWhy.c_str());
        return 0;
    }
    std::string sTemp = m_sPath + ".XXXXXX";
    const int fd = mkostemp(&sTemp[0], O_CLOEXEC);
    if (fd < 0) {
        RVLog(RV_LOG_WARN, "settings: cannot write in %s: %s", sDir.c_str(), strerror(errno));
        return 0;
    }
    // The temporary file is complete on disk before it takes the real name.
    const bool bWritten = WriteAll(fd, Format(m_Values)) && fsync(fd) == 0;
    const int iErr = errno;
    close(fd);
    if (!bWritten || rename(sTemp.c_str(), m_sPath.c_str()) != 0) {
        RVLog(RV_LOG_WARN, "settings: cannot write %s: %s", m_sPath.c_str(), strerror(bWritten ? errno : iErr));
        unlink(sTemp.c_str());
        return 0;
    }
    return 1;
}

std::string CLxPrefs::DefaultPath()
{
    const char* pszConfig = getenv("XDG_CONFIG_HOME");
    if (pszConfig && pszConfig[0] == '/')
        return std::string(pszConfig) + "/zviewer/settings";
    std::string sHome;
    const char* pszHome = getenv("HOME");
    if (pszHome && pszHome[0] == '/') {
        sHome = pszHome;
    } else {
        const passwd* pw = getpwuid(getuid());
        if (pw && pw->pw_dir && pw->pw_dir[0] == '/')
            sHome = pw->pw_dir;
    }
    if (sHome.empty())
        return std::string();
    return sHome + "/.config/zviewer/settings";
}

std::string CLxPrefs::Escape(const std::string& s)
{
    std::string out;
    out.reserve(s.size());
    for (unsigned char c : s) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '=': out += "\\="; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char hex[5];
                snprintf(hex, sizeof hex, "\\x%02X", c);
                out += hex;
            } else {
                out += (char)c;
            }
        }
    }
    return out;
}

bool CLxPrefs::Unescape(const std::string& s, std::string* pOut)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            out += s[i];
            continue;
        }
        if (++i >= s.size())
            return false;
        switch (s[i]) {
        case '\\': out += '\\'; break;
        case '=': out += '='; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 'x': {
            const int hi = i + 1 < s.size() ? HexDigit(s[i + 1]) : -1;
            const int lo = i + 2 < s.size() ? HexDigit(s[i + 2]) : -1;
            if (hi < 0 || lo < 0)
                return false;
            out += (char)(hi * 16 + lo);
            i += 2;
            break;
        }
        default:
            return false;
        }
    }
    *pOut = std::move(out);
    return true;
}

std::string CLxPrefs::Format(const std::map<std::string, std::string>& values)
{
    std::string out;
    for (const auto& kv : values)
        out += Escape(kv.first) + "=" + Escape(kv.second) + "\n";
    return out;
}

int CLxPrefs::Parse(const std::string& sText, std::map<std::string, std::string>* pValues)
{
    int iRead = 0;
    size_t start = 0;
    while (start < sText.size()) {
        size_t end = sText.find('\n', start);
        if (end == std::string::npos)
            end = sText.size();
        std::string sLine = sText.substr(start, end - start);
        start = end + 1;
        // Files edited elsewhere may end their lines with CR LF.
        if (!sLine.empty() && sLine.back() == '\r')
            sLine.pop_back();
        // The key ends at the first '=' that is not escaped.
        size_t eq = std::string::npos;
        for (size_t i = 0; i < sLine.size(); ++i) {
            if (sLine[i] == '\\')
                ++i;
            else if (sLine[i] == '=') {
                eq = i;
                break;
            }
        }
        std::string sKey, sValue;
        if (eq == std::string::npos || eq == 0 || !Unescape(sLine.substr(0, eq), &sKey) ||
            !Unescape(sLine.substr(eq + 1), &sValue))
            continue;
        (*pValues)[sKey] = sValue;
        ++iRead;
    }
    return iRead;
}
