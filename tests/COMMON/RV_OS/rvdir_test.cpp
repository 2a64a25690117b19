#include "rvdir.h"

#include "scoped_temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

using Names = std::vector<std::string>;

void Touch(const std::string& path, const std::string& content = "")
{
    std::ofstream(path, std::ios::binary) << content;
}

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

std::string Narrow(const CRVString& s)
{
    EXPECT_EQ(TYPE_CHAR, s.GetType());
    return std::string(static_cast<const char*>(s.GetData()), (size_t)s.GetLength());
}

// ------------------------------------------------------------ finder

class FinderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.ok());
        for (const char* f : {"x.PNG", "README", "photo.png", "a.pngx", "png.txt", "Icon.Res", "archive.tar.gz"})
            Touch(dir / f);
        mkdir((dir / "sub").c_str(), 0700);
        mkdir((dir / "sub.d").c_str(), 0700);
    }

    Names List(const std::string& pattern, bool filesOnly = false)
    {
        CRVFileFinder finder(dir.path().c_str(), pattern.c_str());
        Names names;
        RV_FILE_ENTRY e;
        while (filesOnly ? finder.GetNextFile(e) : finder.GetNextEntry(e))
            names.push_back(e.szName);
        std::sort(names.begin(), names.end());
        return names;
    }

    ScopedTempDir dir;
};

TEST_F(FinderTest, NameFilter)
{
    const Names all = {".", "..", "Icon.Res", "README", "a.pngx", "archive.tar.gz", "photo.png", "png.txt",
                       "sub", "sub.d", "x.PNG"};
    const struct { const char* pattern; Names expected; } cases[] = {
        {"*.png", {"a.pngx", "photo.png", "x.PNG"}},       // substring of the extension, any case
        {"*.RES", {"Icon.Res"}},
        {"*", all},                                         // no filter: every entry
        {"*.*", all},
        {"", all},
        {"photo", {"photo.png"}},                           // a name filter needs a "."
        {"png.*", {"png.txt"}},                             // the name part ends at the last "."
        {"tar.gz", {"archive.tar.gz"}},                     // split at the first "." of the pattern
        {"sub.d", {"sub.d"}},
        {"*.zip", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, List(c.pattern)) << "pattern \"" << c.pattern << "\"";
}

TEST_F(FinderTest, NextFileSkipsDirectoriesAndDots)
{
    EXPECT_EQ((Names{"Icon.Res", "README", "a.pngx", "archive.tar.gz", "photo.png", "png.txt", "x.PNG"}),
              List("*", true));
    EXPECT_EQ((Names{}), List("sub.d", true));
}

TEST_F(FinderTest, EntryKindsSizeAndTime)
{
    Touch(dir / "x.PNG", std::string(1234, 'p'));
    struct stat st;
    ASSERT_EQ(0, stat((dir / "x.PNG").c_str(), &st));
    struct tm utc;
    ASSERT_TRUE(gmtime_r(&st.st_mtime, &utc));

    for (int flags : {0, RV_FIND_SIZE, RV_FIND_SIZE_TIME}) {
        CRVFileFinder finder((dir.path() + "//").c_str(), "*", flags);
        RV_FILE_ENTRY e;
        int seen = 0;
        while (finder.GetNextEntry(e)) {
            std::string name = e.szName;
            SCOPED_TRACE(name + " flags " + std::to_string(flags));
            if (name == "." || name == "..") {
                EXPECT_EQ(RV_ENTRY_DIR, e.nKind);
                EXPECT_FALSE(CRVFileFinder::IsValid(e));
            } else if (name == "sub" || name == "sub.d") {
                EXPECT_EQ(RV_ENTRY_VALID | RV_ENTRY_DIR, e.nKind);
                EXPECT_TRUE(CRVFileFinder::IsDir(e));
            } else {
                EXPECT_EQ(1, e.nKind);
            }
            if (name != "x.PNG")
                continue;
            ++seen;
            EXPECT_EQ(flags ? 1234u : 0u, e.dwSize);
            if (flags == RV_FIND_SIZE_TIME) {
                EXPECT_EQ(utc.tm_year + 1900, e.tModified.nYear);
                EXPECT_EQ(utc.tm_mon + 1, e.tModified.nMonth);
                EXPECT_EQ(utc.tm_mday, e.tModified.nDay);
                EXPECT_EQ(utc.tm_hour, e.tModified.nHour);
                EXPECT_EQ(utc.tm_min, e.tModified.nMinute);
                EXPECT_EQ(utc.tm_sec, e.tModified.nSecond);
            } else {
                EXPECT_EQ(0, e.tModified.nYear);
            }
            // The trailing separators were trimmed.
            EXPECT_EQ(dir / "x.PNG", Narrow(finder.ConcatDirectory(e)));
        }
        EXPECT_EQ(1, seen);
        EXPECT_EQ(0, finder.GetNextEntry(e));   // stays at the end
    }
}

TEST(Finder, MissingDirectoryAndRoot)
{
    CRVFileFinder missing("/nonexistent/zviewer/dir", "*");
    RV_FILE_ENTRY e;
    EXPECT_EQ(0, missing.GetNextEntry(e));

    CRVFileFinder root("/", "*");
    ASSERT_EQ(1, root.GetNextEntry(e));
    EXPECT_EQ("/" + std::string(e.szName), Narrow(root.ConcatDirectory(e)));
}

// ------------------------------------------------------------ free functions

TEST(FixPath, Separators)
{
    const struct { const char* in; const char* out; } cases[] = {
        {"a\\b//c", "a/b/c"},
        {"\\\\server\\share\\", "/server/share/"},
        {"///", "/"},
        {"/tmp/x", "/tmp/x"},
        {"", ""},
    };
    for (const auto& c : cases) {
        CRVString p(c.in);
        EXPECT_EQ(1, FixPath(p)) << c.in;
        EXPECT_EQ(c.out, Narrow(p)) << c.in;
    }
    CRVString wide(L"a\\\\b");
    EXPECT_EQ(1, FixPath(wide));
    EXPECT_EQ("a/b", Narrow(wide));   // made narrow

    CRVString euro(L"a\\\u20AC");
    EXPECT_EQ(0, FixPath(euro));      // no narrow form: left alone
    EXPECT_EQ(TYPE_WCHAR, euro.GetType());
    EXPECT_EQ(3, euro.GetLength());
}

class FileOpsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.ok()); }
    ScopedTempDir dir;
};

TEST_F(FileOpsTest, ExistsDeleteMove)
{
    std::string f = dir / "f.txt";
    EXPECT_EQ(0, FileExists(f.c_str()));
    Touch(f, "data");
    EXPECT_EQ(1, FileExists(f.c_str()));
    EXPECT_EQ(1, FileExists((dir.path() + "\\\\f.txt").c_str()));   // normalised first
    EXPECT_EQ(1, DirectoryExists(dir.path().c_str()));
    EXPECT_EQ(0, DirectoryExists(f.c_str()));

    std::string g = dir / "g.txt";
    EXPECT_EQ(1, TAVO_MoveFile(f.c_str(), g.c_str()));
    EXPECT_FALSE(Exists(f));
    EXPECT_EQ("data", Slurp(g));
    EXPECT_EQ(0, TAVO_MoveFile(f.c_str(), g.c_str()));

    EXPECT_EQ(1, TAVO_DeleteFile(g.c_str()));
    EXPECT_FALSE(Exists(g));
    EXPECT_EQ(0, TAVO_DeleteFile(g.c_str()));
    EXPECT_EQ(0, TAVO_DeleteFile(CRVString(L"\u20AC")));   // no narrow form
}

TEST_F(FileOpsTest, CopyKeepsDataAndAttributes)
{
    std::string a = dir / "a.bin", b = dir / "b.bin";
    std::string data(200000, '\0');
    for (size_t k = 0; k < data.size(); ++k)
        data[k] = (char)(k * 17);
    Touch(a, data);
    bool haveXattr = setxattr(a.c_str(), "user.zv", "v1", 2, 0) == 0;

    Touch(b, "old and longer content that must go entirely");
    EXPECT_EQ(1, TAVO_CopyFile(a.c_str(), b.c_str()));
    EXPECT_EQ(data, Slurp(b));
    if (haveXattr) {
        char value[8] = {};
        EXPECT_EQ(2, getxattr(b.c_str(), "user.zv", value, sizeof value));
        EXPECT_STREQ("v1", value);
    }

    // Copying a file onto itself must not empty it.
    EXPECT_EQ(0, TAVO_CopyFile(a.c_str(), (dir.path() + "//a.bin").c_str()));
    EXPECT_EQ(data, Slurp(a));
    EXPECT_EQ(0, TAVO_CopyFile((dir / "missing").c_str(), b.c_str()));
    EXPECT_EQ(0, TAVO_CopyFile(a.c_str(), (dir / "no/such/dir").c_str()));
}

TEST_F(FileOpsTest, CreateRemoveDirectoryAndMakeExec)
{
    std::string d = dir / "made";
    EXPECT_EQ(1, TAVO_CreateDirectory(d.c_str()));
    EXPECT_EQ(1, DirectoryExists(d.c_str()));
    mode_t mask = umask(0);
    umask(mask);
    struct stat st;
    ASSERT_EQ(0, stat(d.c_str(), &st));
    EXPECT_EQ(0700 & ~mask, st.st_mode & 0777);   // never open to other users
    EXPECT_EQ(0, TAVO_CreateDirectory(d.c_str()));   // already there

    // A tree with files, a subdirectory and a link to a directory outside it:
    // the link goes, what it points at stays.
    std::string outside = dir / "outside";
    mkdir(outside.c_str(), 0700);
    Touch(outside + "/keep", "k");
    mkdir((d + "/inner").c_str(), 0700);
    Touch(d + "/inner/f", "x");
    Touch(d + "/g", "y");
    ASSERT_EQ(0, symlink(outside.c_str(), (d + "/link").c_str()));
    EXPECT_EQ(1, TAVO_RemoveDirectory(d.c_str()));
    EXPECT_FALSE(Exists(d));
    EXPECT_EQ("k", Slurp(outside + "/keep"));

    EXPECT_EQ(0, TAVO_RemoveDirectory(d.c_str()));                    // gone
    EXPECT_EQ(0, TAVO_RemoveDirectory((outside + "/keep").c_str()));  // not a directory
    EXPECT_TRUE(Exists(outside + "/keep"));
    ASSERT_EQ(0, symlink(outside.c_str(), (dir / "dirlink").c_str()));
    EXPECT_EQ(0, TAVO_RemoveDirectory((dir / "dirlink").c_str()));    // a link, not followed
    EXPECT_TRUE(Exists(outside + "/keep"));

    std::string f = outside + "/keep";
    chmod(f.c_str(), 0600);
    EXPECT_EQ(1, TAVO_MakeExec(f.c_str()));
    ASSERT_EQ(0, stat(f.c_str(), &st));
    EXPECT_EQ(0777u, st.st_mode & 0777);
    EXPECT_EQ(0, TAVO_MakeExec((dir / "missing").c_str()));
}

TEST(FileOps, DecimalText)
{
    const struct { const wchar_t* text; int value; } cases[] = {
        {L"123", 123}, {L"  -45x", -45}, {L"+7", 7}, {L"", 0}, {L"abc", 0}, {L"0042", 42},
        {L"2147483647", INT_MAX}, {L"99999999999999999999", INT_MAX}, {L"-2147483648", INT_MIN},
        {L"-99999999999", INT_MIN}, {nullptr, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value, TAVO_wtoi(c.text)) << (c.text ? c.text : L"(null)");
    EXPECT_EQ(0, TAVO_GetLastError());
}

}  // namespace
