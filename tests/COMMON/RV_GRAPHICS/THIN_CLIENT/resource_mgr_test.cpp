// CResourceManager: which files of the cache directory count as keys, the
// keys at the end of the session start, files written and read back, and the
// files that cannot be read (removed, logged, never followed elsewhere).
#include "resource_mgr.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "rvlog.h"
#include "rvmsg.h"
#include "scoped_temp_dir.h"

namespace {

const unsigned char kKeyA[16] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
const unsigned char kKeyB[16] = {0xDE, 0xAD, 0xBE, 0xEF, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
const std::string kNameA = "00112233445566778899AABBCCDDEEFF";
const std::string kNameB = "DEADBEEF0102030405060708090A0B0C";

void WriteBytes(const std::string& sPath, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(sPath, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), (std::streamsize)bytes.size());
}

std::vector<unsigned char> ReadBytes(const std::string& sPath)
{
    std::ifstream in(sPath, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& sPath)
{
    struct stat st;
    return lstat(sPath.c_str(), &st) == 0;
}

std::vector<unsigned char> LE32(int v)
{
    return {(unsigned char)v, (unsigned char)(v >> 8), (unsigned char)(v >> 16), (unsigned char)(v >> 24)};
}

// A cache file of the given type and stated length holding the given bytes.
std::vector<unsigned char> CacheFile(int iType, int iLength, const std::vector<unsigned char>& data)
{
    std::vector<unsigned char> out = LE32(iType);
    const std::vector<unsigned char> len = LE32(iLength);
    out.insert(out.end(), len.begin(), len.end());
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

class ResourceCache : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.ok());
        m_eLevel = RVGetLogLevel();
        RVSetLogLevel(RV_LOG_WARN);
    }
    void TearDown() override { RVSetLogLevel(m_eLevel); }

    ScopedTempDir dir;
    RV_LOG_LEVEL m_eLevel = RV_LOG_WARN;
};

TEST_F(ResourceCache, OnlyFilesNamedByAKeyAreListed)
{
    const char* files[] = {
        "00112233445566778899AABBCCDDEEFF.res",     // a key
        "DEADBEEF0102030405060708090A0B0C.RES",     // a key, extension in capitals
        "00112233445566778899AABBCCDDEEFF.RES",     // the first key again
        "notes.txt",                                // too short
        "00112233445566778899aabbccddeeff.res",     // not a name the cache writes
        "0011223344556677889GAABBCCDDEEFF.res",     // not hex
        "00112233445566778899AABBCCDDEEFF0.res",    // 38 characters
        "00112233445566778899AABBCCDDEEFF.rex",
        "00112233445566778899AABBCCDDEEFF.res.tmp", // an unfinished write
    };
    for (const char* f : files)
        WriteBytes(dir / f, {1});
    CResourceManager cache(dir.path().c_str());
    EXPECT_EQ(cache.Read(), 2);
    ASSERT_EQ(cache.Count(), 2);
    EXPECT_TRUE(cache.FindResource(kKeyA));
    EXPECT_TRUE(cache.FindResource(kKeyB));
    unsigned char other[16] = {};
    EXPECT_FALSE(cache.FindResource(other));

    // Read starts over: a removed file is gone from the list.
    unlink((dir / "DEADBEEF0102030405060708090A0B0C.RES").c_str());
    EXPECT_EQ(cache.Read(), 1);
    EXPECT_FALSE(cache.FindResource(kKeyB));
}

TEST_F(ResourceCache, SessionStartEndsWithTheKeys)
{
    WriteBytes(dir / (kNameA + ".res"), {1});
    WriteBytes(dir / (kNameB + ".res"), {1});
    CResourceManager cache(dir.path().c_str());
    cache.Read();
    CRVMSG msg(0, 20000, 0, 1);
    msg.PutInt(77);
    cache.LoadConfig(&msg);
    msg.ResetRead();
    EXPECT_EQ(msg.GetInt(), 77);
    EXPECT_EQ(msg.GetInt(), 2);
    ASSERT_EQ(msg.BytesLeft(), 32);
    // In the order the directory listed them; both must be there.
    std::vector<std::vector<unsigned char>> keys;
    for (int i = 0; i < 2; i++) {
        std::vector<unsigned char> k(16);
        ASSERT_TRUE(msg.GetData(k.data(), 16));
        keys.push_back(k);
    }
    const std::vector<unsigned char> a(kKeyA, kKeyA + 16), b(kKeyB, kKeyB + 16);
    EXPECT_TRUE((keys[0] == a && keys[1] == b) || (keys[0] == b && keys[1] == a));

    // No keys: the count alone.
    ScopedTempDir empty;
    CResourceManager none(empty.path().c_str());
    none.Read();
    CRVMSG msg2(0, 20000, 0, 1);
    none.LoadConfig(&msg2);
    EXPECT_EQ(msg2.DataSize(), 4);
}

TEST_F(ResourceCache, SavedResourcesReadBack)
{
    CResourceManager cache((dir.path() + "//").c_str());    // trailing separators are dropped
    EXPECT_EQ(cache.Directory(), dir.path());
    char szPath[CResourceManager::PATH_BUFFER];
    ASSERT_TRUE(cache.GetResourcePath(kKeyA, szPath));
    EXPECT_EQ(std::string(szPath), dir / (kNameA + ".res"));

    const std::vector<unsigned char> data = {9, 8, 7, 6, 5};
    ASSERT_TRUE(cache.SaveResource(kKeyA, RESOURCE_TYPE_GIF, data.data(), 5));
    EXPECT_EQ(ReadBytes(szPath), CacheFile(4, 5, data));
    EXPECT_EQ(cache.Count(), 0);    // the list changes with the next Read only
    EXPECT_FALSE(Exists(std::string(szPath) + ".tmp"));

    CResourceData res;
    ASSERT_TRUE(cache.LoadResource(kKeyA, &res));
    EXPECT_EQ(res.m_iType, 4);
    ASSERT_EQ(res.m_iLength, 5);
    EXPECT_EQ(std::vector<unsigned char>(res.m_pData, res.m_pData + 5), data);

    // Replaced, then an empty resource.
    ASSERT_TRUE(cache.SaveResource(kKeyA, RESOURCE_TYPE_GRAPHIC, data.data(), 2));
    ASSERT_TRUE(cache.LoadResource(kKeyA, &res));
    EXPECT_EQ(res.m_iType, 2);
    EXPECT_EQ(res.m_iLength, 2);
    ASSERT_TRUE(cache.SaveResource(kKeyB, RESOURCE_TYPE_SOUND, nullptr, 0));
    ASSERT_TRUE(cache.LoadResource(kKeyB, &res));
    EXPECT_EQ(res.m_iType, 1);
    EXPECT_EQ(res.m_iLength, 0);

    EXPECT_EQ(cache.Read(), 2);

    // Lengths the cache cannot hold are refused before anything is written.
    EXPECT_FALSE(cache.SaveResource(kKeyB, RESOURCE_TYPE_SOUND, data.data(), -1));
    EXPECT_FALSE(cache.SaveResource(kKeyB, RESOURCE_TYPE_SOUND, nullptr, 3));
    std::vector<unsigned char> big(CResourceData::MAX_LENGTH + 1);
    EXPECT_FALSE(cache.SaveResource(kKeyB, RESOURCE_TYPE_SOUND, big.data(), (int)big.size()));
    ASSERT_TRUE(cache.LoadResource(kKeyB, &res));
    EXPECT_EQ(res.m_iLength, 0);
}

TEST_F(ResourceCache, UnreadableFilesAreDeleted)
{
    const std::vector<unsigned char> five = {1, 2, 3, 4, 5};
    const struct
    {
        const char* what;
        std::vector<unsigned char> bytes;
    } cases[] = {
        {"empty", {}},
        {"header cut", {2, 0, 0, 0, 5, 0}},
        {"data cut short", CacheFile(2, 6, five)},
        {"negative length", CacheFile(2, -1, five)},
        {"over the limit", CacheFile(2, CResourceData::MAX_LENGTH + 1, five)},
    };
    CResourceManager cache(dir.path().c_str());
    const std::string path = dir / (kNameA + ".res");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(path, c.bytes);
        CResourceData res;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(cache.LoadResource(kKeyA, &res));
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_NE(log.find("Error Could not load resource: " + path), std::string::npos) << log;
        EXPECT_EQ(res.m_pData, nullptr);
        EXPECT_FALSE(Exists(path));
    }

    // A missing file is logged too.
    CResourceData res;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(cache.LoadResource(kKeyA, &res));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Could not load resource"), std::string::npos);

    // A link under a key's name is removed, and what it pointed to is neither
    // read nor touched.
    ScopedTempDir elsewhere;
    const std::string target = elsewhere / "secret";
    WriteBytes(target, CacheFile(2, 5, five));
    ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(cache.LoadResource(kKeyA, &res));
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(Exists(path));
    EXPECT_EQ(ReadBytes(target), CacheFile(2, 5, five));

    // Saving over a link replaces the link, never writes through it.
    ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0);
    ASSERT_TRUE(cache.SaveResource(kKeyA, RESOURCE_TYPE_JPEG, five.data(), 1));
    EXPECT_EQ(ReadBytes(target), CacheFile(2, 5, five));
    ASSERT_TRUE(cache.LoadResource(kKeyA, &res));
    EXPECT_EQ(res.m_iType, 3);
}

TEST_F(ResourceCache, WithoutADirectoryNothingIsTouched)
{
    const std::string tooLong(CResourceManager::MAX_DIRECTORY + 1, 'a');
    const char* dirs[] = {nullptr, "", tooLong.c_str()};
    const unsigned char data[1] = {1};
    for (const char* d : dirs) {
        CResourceManager cache(d);
        EXPECT_STREQ(cache.Directory(), "");
        char szPath[CResourceManager::PATH_BUFFER];
        EXPECT_FALSE(cache.GetResourcePath(kKeyA, szPath));
        EXPECT_EQ(cache.Read(), 0);
        EXPECT_FALSE(cache.SaveResource(kKeyA, RESOURCE_TYPE_GRAPHIC, data, 1));
        CResourceData res;
        EXPECT_FALSE(cache.LoadResource(kKeyA, &res));
    }
    // The longest directory accepted still fits its paths.
    const std::string longest(CResourceManager::MAX_DIRECTORY, 'b');
    CResourceManager cache(longest.c_str());
    char szPath[CResourceManager::PATH_BUFFER];
    ASSERT_TRUE(cache.GetResourcePath(kKeyA, szPath));
    EXPECT_EQ(std::string(szPath), longest + "/" + kNameA + ".res");
}

TEST(ResourceData, AllocRefusesLengthsOutsideTheLimit)
{
    const struct
    {
        int n;
        int ok;
    } cases[] = {{-1, 0}, {0, 1}, {1, 1}, {CResourceData::MAX_LENGTH, 1}, {CResourceData::MAX_LENGTH + 1, 0}};
    for (const auto& c : cases) {
        CResourceData res;
        res.Alloc(3);
        EXPECT_EQ(res.Alloc(c.n), c.ok) << c.n;
        EXPECT_EQ(res.m_iLength, c.ok ? c.n : 0);
        EXPECT_EQ(res.m_pData != nullptr, c.ok != 0);
    }
}

TEST(ResourceKeys, TheListGrowsUpToItsLimit)
{
    CResourceManager cache("/nonexistent");
    for (int i = 0; i < CResourceManager::MAX_KEYS; i++) {
        unsigned char* p = cache.AddResource();
        ASSERT_NE(p, nullptr) << i;
        memset(p, 0, 16);
        memcpy(p, &i, sizeof i);
    }
    EXPECT_EQ(cache.AddResource(), nullptr);
    EXPECT_EQ(cache.Count(), CResourceManager::MAX_KEYS);
    unsigned char key[16] = {};
    const int last = CResourceManager::MAX_KEYS - 1;
    memcpy(key, &last, sizeof last);
    EXPECT_TRUE(cache.FindResource(key));
    unsigned char got[16];
    ASSERT_TRUE(cache.Key(last, got));
    EXPECT_EQ(memcmp(got, key, 16), 0);
    EXPECT_FALSE(cache.Key(last + 1, got));
    EXPECT_FALSE(cache.Key(-1, got));
}

}  // namespace
