#include "lx_utf8.h"

#include "rvutf8.h"

std::wstring LxUtf8ToWide(const std::string& s)
{
    return RVUtf8ToWide(s.data(), s.size());
}
