// A private directory under $TMPDIR (or /tmp) for one test, removed with all
// its contents when the object goes.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <ftw.h>
#include <string>
#include <unistd.h>

class ScopedTempDir {
public:
    ScopedTempDir()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/zvtest.XXXXXX";
        if (mkdtemp(&pattern[0]))
            path_ = pattern;
    }
    ~ScopedTempDir()
    {
        if (!path_.empty())
            nftw(path_.c_str(), Remove, 16, FTW_DEPTH | FTW_PHYS);
    }
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;

    bool ok() const { return !path_.empty(); }
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    static int Remove(const char* p, const struct stat*, int, struct FTW*) { return std::remove(p), 0; }
    std::string path_;
};
