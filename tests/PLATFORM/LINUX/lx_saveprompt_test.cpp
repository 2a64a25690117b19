#include "lx_saveprompt.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

TEST(LxSavePrompt, PathHelpers)
{
    struct
    {
        const char* pszPath;
        const char* pszExt;
        const char* pszWant;
    } const cases[] = {
        {"/home/u/report", "pdf", "/home/u/report.pdf"},
        {"/home/u/report.pdf", "pdf", "/home/u/report.pdf"},
        {"/home/u/REPORT.PDF", "pdf", "/home/u/REPORT.PDF"},
        {"/home/u/report.txt", "pdf", "/home/u/report.txt.pdf"},
        {"/home/u/report", "", "/home/u/report"},
        {".pdf", "pdf", ".pdf.pdf"},   // a bare extension is no file name
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.pszWant, LxSavePathWithExt(c.pszPath, c.pszExt)) << c.pszPath << " + " << c.pszExt;

    EXPECT_EQ("/home/u/untitled.csv", LxDefaultSavePath("csv", "/home/u"));
    EXPECT_EQ("/home/u/untitled.csv", LxDefaultSavePath("csv", "/home/u/"));
    EXPECT_EQ("./untitled", LxDefaultSavePath("", ""));

    EXPECT_EQ("file:///tmp/a b.txt", LxPathToFileURL("/tmp/a b.txt"));
    char cwd[4096];
    ASSERT_NE(nullptr, getcwd(cwd, sizeof cwd));
    EXPECT_EQ(std::string("file://") + cwd + "/x.bin", LxPathToFileURL("x.bin"));
}

}  // namespace
