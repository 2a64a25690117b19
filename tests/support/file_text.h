// Whole files as strings, for tests that check what was written to disk.
#pragma once

#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <string>

// The file's bytes; empty when it cannot be read.
inline std::string ReadFileText(const std::string& sPath)
{
    std::ifstream in(sPath, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Creates or replaces the file with exactly these bytes.
inline void WriteFileText(const std::string& sPath, const std::string& sData)
{
    std::ofstream(sPath, std::ios::binary | std::ios::trunc) << sData;
}

inline bool FileExists(const std::string& sPath)
{
    struct stat st;
    return stat(sPath.c_str(), &st) == 0;
}
