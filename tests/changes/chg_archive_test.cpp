#include "changes/chg_archive.h"

#include <gtest/gtest.h>

#include <bit>
#include <functional>
#include <vector>

#include "platform/memory/memory_platform.h"

namespace kelvora {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr char kFile[] = "C:\\Kelvora\\App.qor";

class ChgArchiveTest : public ::testing::Test {
protected:
    ChgArchiveTest() { os.files.AddFolder("C:\\Kelvora"); }

    TChgArchive Archive() { return TChgArchive(os.files, os.clock, "C:\\Kelvora\\App"); }
    Bytes Stored() {
        Bytes out;
        os.files.ReadFile(kFile, out);
        return out;
    }
    void Store(const Bytes& bytes) { os.files.WriteFile(kFile, bytes.data(), bytes.size()); }
    // A fresh archive's bytes with its version replaced.
    Bytes HeaderWithVersion(std::uint32_t version) {
        TChgArchive a = Archive();
        a.CreateNew();
        Bytes b = a.Content();
        for (int i = 0; i < 4; ++i) b[12 + i] = static_cast<std::uint8_t>(version >> (8 * i));
        return b;
    }
    bool Opens(const Bytes& bytes) {
        Store(bytes);
        TChgArchive a = Archive();
        return a.Open();
    }

    platform::memory::MemoryPlatform os;
};

TEST_F(ChgArchiveTest, NewHeaderIsExactly56Bytes) {
    TChgArchive a = Archive();
    ASSERT_TRUE(a.CreateNew());
    a.Save();
    const Bytes got = Stored();
    Bytes want = {10, 'Q', ' ', 'O', ' ', 'R', ' ', 'f', 'i', 'l', 'e', 0, 200, 0, 0, 0};
    const auto created = std::bit_cast<std::uint64_t>(44986.5);
    for (int i = 0; i < 8; ++i) want.push_back(static_cast<std::uint8_t>(created >> (8 * i)));
    want.resize(56, 0);  // LastUsed 0.0, UseCount 0, reserved
    EXPECT_EQ(got, want);
    EXPECT_EQ(a.FileName(), kFile);
}

TEST_F(ChgArchiveTest, HeaderValidation) {
    Bytes good = HeaderWithVersion(200);
    EXPECT_TRUE(Opens(good));
    EXPECT_TRUE(Opens(HeaderWithVersion(0)));
    EXPECT_TRUE(Opens(HeaderWithVersion(299)));
    EXPECT_FALSE(Opens(HeaderWithVersion(300)));
    EXPECT_FALSE(Opens(HeaderWithVersion(0xFFFFFFFFu)));
    EXPECT_FALSE(Opens(Bytes(good.begin(), good.end() - 1)));  // 55 bytes
    Bytes b = good;
    b[0] = 11;
    EXPECT_FALSE(Opens(b));
    b = good;
    b[7] = 'F';  // "Q O R File"
    EXPECT_FALSE(Opens(b));
    b = good;
    b[11] = 0x7F;  // reserved bytes are ignored
    b[40] = 0x7F;
    EXPECT_TRUE(Opens(b));
    TChgArchive missing(os.files, os.clock, "C:\\Kelvora\\Nothing");
    EXPECT_FALSE(missing.Open());
}

TEST_F(ChgArchiveTest, HeaderOnlyOpensWithNoRecords) {
    Store(HeaderWithVersion(200));
    TChgArchive a = Archive();
    ASSERT_TRUE(a.Open());
    EXPECT_EQ(a.Position(), 56u);
    EXPECT_EQ(a.ReadInt(), 0);
    EXPECT_TRUE(a.AtEnd());
    TChgHeader h;
    ASSERT_TRUE(a.GetHeader(h));
    EXPECT_EQ(h.Magic, "Q O R file");
    EXPECT_EQ(h.Version, 200u);
    EXPECT_EQ(h.Created, 44986.5);
}

TEST_F(ChgArchiveTest, GuardedReads) {
    TChgArchive w = Archive();
    w.CreateNew();
    w.WriteInt(-2);
    w.WriteStr("abc");
    w.WriteInt(3);
    const std::uint8_t data[3] = {1, 2, 3};
    w.WriteBlock(data, 3);
    w.WriteStr("");
    w.Save();

    TChgArchive a = Archive();
    ASSERT_TRUE(a.Open());
    EXPECT_EQ(a.ReadInt(), -2);
    EXPECT_EQ(a.ReadStr(), "abc");
    std::span<const std::uint8_t> block;
    ASSERT_TRUE(a.ReadBlock(a.ReadInt(), block));
    EXPECT_EQ(Bytes(block.begin(), block.end()), Bytes({1, 2, 3}));
    EXPECT_EQ(a.PercentDone(), 81);  // 18 of 22 record bytes
    // An empty string that ends the file reads as empty and ends the stream.
    EXPECT_EQ(a.ReadStr(), "");
    EXPECT_TRUE(a.AtEnd());
    EXPECT_FALSE(a.Damaged());
    EXPECT_EQ(a.PercentDone(), 100);
    // A block of 0 bytes is there even at the end.
    EXPECT_TRUE(a.ReadBlock(0, block));
    EXPECT_TRUE(block.empty());
}

TEST_F(ChgArchiveTest, LengthsPastTheEndNeverReadBeyondTheData) {
    TChgArchive w = Archive();
    w.CreateNew();
    w.WriteInt(1000);  // a string length with 2 bytes behind it
    w.WriteBlock(reinterpret_cast<const std::uint8_t*>("ab"), 2);
    w.Save();
    TChgArchive a = Archive();
    ASSERT_TRUE(a.Open());
    EXPECT_EQ(a.ReadStr(), "");
    EXPECT_TRUE(a.AtEnd());
    EXPECT_TRUE(a.Damaged());
    EXPECT_EQ(a.Position(), a.Size());

    ASSERT_TRUE(a.Open());
    std::span<const std::uint8_t> block;
    EXPECT_FALSE(a.ReadBlock(-1, block));
    EXPECT_TRUE(a.Damaged());

    ASSERT_TRUE(a.Open());
    a.ReadInt();
    EXPECT_EQ(a.ReadInt(), 0);  // only 2 bytes left
    EXPECT_TRUE(a.Damaged());

    ASSERT_TRUE(a.Open());
    a.ReadInt();
    EXPECT_FALSE(a.ReadBlock(3, block));
    EXPECT_TRUE(block.empty());
}

TEST_F(ChgArchiveTest, MarkUsedRaisesUseAndSavingResetsIt) {
    TChgArchive a = Archive();
    a.CreateNew();
    a.WriteInt(7);
    a.WriteStr("C:\\X");
    a.Save();
    os.clock.Set(45000.25);
    TChgArchive user = Archive();
    user.MarkUsed();
    user.MarkUsed();
    TChgArchive check = Archive();
    ASSERT_TRUE(check.Open());
    TChgHeader h;
    ASSERT_TRUE(check.GetHeader(h));
    EXPECT_EQ(h.Created, 44986.5);
    EXPECT_EQ(h.LastUsed, 45000.25);
    EXPECT_EQ(h.UseCount, 2);
    EXPECT_EQ(check.ReadInt(), 7);  // the records are kept
    EXPECT_EQ(check.ReadStr(), "C:\\X");

    a.CreateNew();
    a.Save();
    ASSERT_TRUE(check.Open());
    ASSERT_TRUE(check.GetHeader(h));
    EXPECT_EQ(h.Created, 45000.25);
    EXPECT_EQ(h.LastUsed, 0.0);
    EXPECT_EQ(h.UseCount, 0);
}

TEST_F(ChgArchiveTest, FailedWritesKeepThePreviousArchive) {
    TChgArchive a = Archive();
    a.CreateNew();
    a.WriteStr("old");
    a.Save();
    const Bytes before = Stored();

    os.files.SetDiskFull(true);
    TChgArchive b = Archive();
    b.CreateNew();
    b.WriteStr("new and longer");
    // The errors are messages of the catalogue, for the user to read.
    const auto error = [](const std::function<void()>& action) {
        try {
            action();
        } catch (const ArchiveError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(error([&] { b.Save(); }), "Can't write the archive 'C:\\Kelvora\\App.qor'.");
    EXPECT_EQ(error([&] { b.MarkUsed(); }), "Can't write the archive 'C:\\Kelvora\\App.qor'.");
    EXPECT_EQ(Stored(), before);
    os.files.SetDiskFull(false);

    // MarkUsed never rewrites a file that is not an archive.
    Store(Bytes{1, 2, 3});
    EXPECT_EQ(error([&] { b.MarkUsed(); }), "'C:\\Kelvora\\App.qor' is not an archive.");
    EXPECT_EQ(Stored(), Bytes({1, 2, 3}));
    TChgArchive gone(os.files, os.clock, "C:\\Kelvora\\Gone");
    EXPECT_EQ(error([&] { gone.MarkUsed(); }), "Can't read the archive 'C:\\Kelvora\\Gone.qor'.");
}

}  // namespace
}  // namespace kelvora
