// Path normalisation and the single-file helpers declared in rvdir.h.
#include "rvdir.h"

#include "rvdebug.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

int NarrowPath(const CRVString& path, CRVString& narrow)
{
    narrow = path;
    if (narrow.ConvertTochar())
        return 1;
    narrow = CRVString(TYPE_CHAR);
    return 0;
}

int FixPath(CRVString& path)
{
    CRVString narrow;
    if (!NarrowPath(path, narrow))
        return 0;
    const char* src = NarrowText(narrow);
    size_t n = std::strlen(src);
    char* out = static_cast<char*>(std::malloc(n + 1));
    if (!out)
        return 0;
    size_t k = 0;
    for (size_t i = 0; i < n; ++i) {
        char c = src[i] == '\\' ? '/' : src[i];
        if (c == '/' && k && out[k - 1] == '/')
            continue;
        out[k++] = c;
    }
    out[k] = 0;
    path = CRVString(out);
    std::free(out);
    return 1;
}

int FileExists(const CRVString& path)
{
    CRVString fixed(path);
    if (!FixPath(fixed))
        return 0;
    return access(NarrowText(fixed), F_OK) == 0;
}

int TAVO_DeleteFile(const CRVString& path)
{
    CRVString p;
    return NarrowPath(path, p) && unlink(NarrowText(p)) == 0;
}

int TAVO_MoveFile(const CRVString& from, const CRVString& to)
{
    CRVString a, b;
    return NarrowPath(from, a) && NarrowPath(to, b) && std::rename(NarrowText(a), NarrowText(b)) == 0;
}

namespace {

int WriteAll(int fd, const char* data, ssize_t n)
{
    while (n > 0) {
        ssize_t w = write(fd, data, (size_t)n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return 0;
        data += w;
        n -= w;
    }
    return 1;
}

int CopyData(int in, int out)
{
    char block[65536];
    for (;;) {
        ssize_t r = read(in, block, sizeof block);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            return 0;
        if (r == 0)
            return 1;
        if (!WriteAll(out, block, r))
            return 0;
    }
}

// Extended attributes are copied where both file systems support them;
// a file system without them is not an error, as with the data-only copy.
void CopyAttributes(int in, int out)
{
    ssize_t size = flistxattr(in, nullptr, 0);
    if (size <= 0)
        return;
    char* names = static_cast<char*>(std::malloc((size_t)size));
    if (!names)
        return;
    size = flistxattr(in, names, (size_t)size);
    for (ssize_t i = 0; i < size; i += (ssize_t)strnlen(names + i, (size_t)(size - i)) + 1) {
        const char* name = names + i;
        if (!memchr(name, 0, (size_t)(size - i)))
            break;   // the last name lost its terminator: the list changed meanwhile
        ssize_t len = fgetxattr(in, name, nullptr, 0);
        if (len < 0)
            continue;
        void* value = std::malloc(len ? (size_t)len : 1);
        if (!value)
            continue;
        len = fgetxattr(in, name, value, (size_t)len);
        if (len >= 0 && fsetxattr(out, name, value, (size_t)len, 0) != 0)
            RVLog(RV_LOG_DEBUG, "copy: attribute %s not kept", name);
        std::free(value);
    }
    std::free(names);
}

}  // namespace

int TAVO_CopyFile(const CRVString& from, const CRVString& to, int)
{
    CRVString a, b;
    if (!NarrowPath(from, a) || !NarrowPath(to, b))
        return 0;
    int in = open(NarrowText(a), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return 0;
    struct stat src, dst;
    // Opening the target with O_TRUNC would empty the source when both name
    // the same file.
    if (fstat(in, &src) != 0 ||
        (stat(NarrowText(b), &dst) == 0 && dst.st_dev == src.st_dev && dst.st_ino == src.st_ino)) {
        close(in);
        return 0;
    }
    int out = open(NarrowText(b), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0) {
        close(in);
        return 0;
    }
    int ok = CopyData(in, out);
    if (ok)
        CopyAttributes(in, out);
    if (close(out) != 0)
        ok = 0;
    close(in);
    if (!ok)
        unlink(NarrowText(b));   // a half copy must not pass for the file
    return ok;
}

int TAVO_MakeExec(const CRVString& path)
{
    CRVString p;
    return NarrowPath(path, p) && chmod(NarrowText(p), 0777) == 0;
}

int TAVO_wtoi(const wchar_t* text)
{
    if (!text)
        return 0;
    while (std::iswspace((wint_t)*text))
        ++text;
    bool negative = *text == L'-';
    if (*text == L'-' || *text == L'+')
        ++text;
    long long value = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        value = value * 10 + (*text - L'0');
        if (value > (long long)INT_MAX + 1)
            value = (long long)INT_MAX + 1;   // saturate; clamped below
    }
    if (negative)
        return value > (long long)INT_MAX ? INT_MIN : -(int)value;
    return value > INT_MAX ? INT_MAX : (int)value;
}

int TAVO_GetLastError() { return 0; }
