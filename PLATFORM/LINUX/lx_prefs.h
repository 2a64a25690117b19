// CLxPrefs: the user's preferences, a small text file of "key=value" lines.
//
// Backslash, '=', line feed, carriage return and the other control bytes are
// written escaped ("\\", "\=", "\n", "\r", "\xHH"), so any key and value
// survive. A file that cannot be read, or lines that do not parse, give the
// defaults: a damaged file never stops the viewer. Writes go to a temporary
// file that replaces the old one, so a crash never leaves half a file.
#pragma once

#include <map>
#include <string>

class CLxPrefs
{
public:
    // Files larger than this are not read (defaults instead).
    enum { MAX_FILE_BYTES = 1 << 20 };

    // Reads sPath (empty: DefaultPath()).
    explicit CLxPrefs(const std::string& sPath = std::string());

    const std::string& Path() const { return m_sPath; }
    std::string GetString(const std::string& sKey, const std::string& sDefault) const;
    // Sets the value and writes the file (its directory is created, mode
    // 0700). 1 when written; 0 with a logged reason (the value is kept in
    // memory either way).
    int SetString(const std::string& sKey, const std::string& sValue);

    // $XDG_CONFIG_HOME/zviewer/settings, else $HOME/.config/zviewer/settings
    // (relative XDG paths are ignored, as the XDG rules say).
    static std::string DefaultPath();

    // The file's text from the values, and back. Parse keeps what it can:
    // lines without '=' or with a bad escape are skipped; a key given twice
    // keeps its last value. It returns the number of entries read.
    static std::string Format(const std::map<std::string, std::string>& values);
    static int Parse(const std::string& sText, std::map<std::string, std::string>* pValues);
    static std::string Escape(const std::string& s);
    // false for a bad escape.
    static bool Unescape(const std::string& s, std::string* pOut);

private:
    std::string m_sPath;
    std::map<std::string, std::string> m_Values;
};
