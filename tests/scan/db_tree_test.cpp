#include "scan/db_tree.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/memory/memory_file_system.h"
#include "translation/messages.h"

namespace kelvora {
namespace {

using platform::memory::MemoryFileSystem;
using Bytes = std::vector<std::uint8_t>;

// The program's folder, with the current directory elsewhere: snapshot
// files are named by full path.
void MakeProgramFolder(MemoryFileSystem& fs) {
    fs.AddFolder("C:\\Kelvora");
    fs.AddFolder("D:\\Elsewhere");
    fs.SetCurrentDir("D:\\Elsewhere");
}

void Put(platform::FileSystem& fs, std::string_view path, const Bytes& bytes) {
    fs.WriteFile(path, bytes.data(), bytes.size());
}

void PutText(Bytes& out, std::string_view s) { out.insert(out.end(), s.begin(), s.end()); }

const std::uint8_t* Text(const char* s) { return reinterpret_cast<const std::uint8_t*>(s); }

// The headers of every record of a stream, read back.
std::vector<std::uint32_t> Headers(TDBTree&& db) {
    std::vector<std::uint32_t> headers;
    std::string path;
    for (db.ReadHeader(path); !db.EndOfData(); db.ReadHeader(path)) headers.push_back(db.Header());
    return headers;
}

TEST(DBTree, WritesTheStartOfARegistrySnapshotByteForByte) {
    TDBTree db = TDBTree::CreateEmpty("C:\\Kelvora", "HKLM");
    db.WriteRecord("", "", nullptr, 0, 0);
    db.WriteRecord("Software", "", nullptr, 0, 0);
    db.WriteRecord("Software\\Example", "", nullptr, 0, 0);
    db.WriteRecord("Software\\Example", "Version", Text("1.0"), 1, 4);

    Bytes expected = {0x10, 0x11, 0x00, 0x00, 0x10, 0x11, 0x08, 0x00};
    PutText(expected, "Software");
    expected.insert(expected.end(), {0x40, 0x11, 0x07, 0x00});
    PutText(expected, "Example");
    expected.insert(expected.end(), {0x01, 0x00, 0x10, 0x00, 0x07, 0x00, 0x00, 0x00});
    PutText(expected, "Version");
    expected.insert(expected.end(), {0x04, 0x00, 0x00, 0x00, '1', '.', '0', 0x00});
    EXPECT_EQ(db.Bytes(), expected);
}

TEST(DBTree, CompressesPathsAgainstThePreviousRecordOnly) {
    TDBTree db = TDBTree::CreateEmpty("C:\\Kelvora", "FIS2");
    db.WriteRecord("C:", "", nullptr, 0, 0);
    db.WriteRecord("C:\\A", "", nullptr, 0, 0);       // relative A
    db.WriteRecord("C:\\A\\B", "", nullptr, 0, 0);    // relative B
    db.WriteRecord("C:\\A\\B\\C", "", nullptr, 0, 0); // relative C
    db.WriteRecord("C:\\A", "", nullptr, 0, 0);       // back up: full
    db.WriteRecord("C:\\AB", "", nullptr, 0, 0);      // shares characters only: full
    db.WriteRecord("c:\\ab\\x", "", nullptr, 0, 0);   // letter case counts: full
    EXPECT_EQ(Headers(std::move(db)), (std::vector<std::uint32_t>{0x00021110, 0x00011140, 0x00011140, 0x00011140,
                                                                   0x00041110, 0x00051110, 0x00071110}));
}

TEST(DBTree, RepeatsNoPathForTheSamePathButEveryRootRecordCarriesOne) {
    const std::uint8_t dword[4] = {1, 0, 0, 0};
    TDBTree db = TDBTree::CreateEmpty("C:\\Kelvora", "HKCU");
    db.WriteRecord("", "", nullptr, 0, 0);
    db.WriteRecord("", "A", dword, 4, 4);
    db.WriteRecord("", "B", dword, 4, 4);
    db.WriteRecord("Key", "", nullptr, 0, 0);
    db.WriteRecord("Key", "", nullptr, 3, 0);  // default value without data
    // Root key: an empty previous path never counts as the same path.
    // Same non-empty path: no path bit, but the length of the path.
    EXPECT_EQ(Headers(std::move(db)), (std::vector<std::uint32_t>{0x1110, 0x0014, 0x0014, 0x00031110, 0x00031103}));
}

TEST(DBTree, ReadsBackNamesAndDataOfEveryKind) {
    const std::uint8_t raw[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    TDBTree db = TDBTree::CreateEmpty("C:\\Kelvora", "HKCU");
    db.WriteRecord("K", "s", Text(""), 1, 1);  // empty text: its zero byte
    db.WriteRecord("K", "", raw, 3, 8);
    db.WriteRecord("K\\L", "n", nullptr, 3, 0);

    MemoryFileSystem fs;
    MakeProgramFolder(fs);
    db.Save(fs);
    ASSERT_TRUE(fs.FileExists("C:\\Kelvora\\HKCU.SNS"));
    TDBTree in = TDBTree::CreateFromFile(fs, "C:\\Kelvora", "HKCU");
    EXPECT_EQ(in.FileName(), "HKCU");

    std::string path = "untouched", name;
    in.ReadHeader(path);
    EXPECT_EQ(path, "K");
    in.ReadName(name);
    EXPECT_EQ(name, "s");
    EXPECT_EQ(in.DataSize(), 1);
    EXPECT_EQ(in.ReadData().size(), 1u);

    path = "untouched";
    in.ReadHeader(path);
    EXPECT_EQ(path, "untouched");
    EXPECT_EQ(in.Kind(), 3);
    in.ReadName(name);
    EXPECT_EQ(name, "");
    const auto data = in.ReadData();
    EXPECT_EQ(Bytes(data.begin(), data.end()), Bytes(raw, raw + 8));

    in.ReadHeader(path);
    EXPECT_EQ(path, "L");
    in.ReadName(name);
    EXPECT_EQ(in.DataSize(), 0);
    EXPECT_TRUE(in.ReadData().empty());
    in.ReadHeader(path);
    EXPECT_TRUE(in.EndOfData());
}

TEST(DBTree, ValuesOfOtherTypesCarryTheirRealTypeAfterTheName) {
    const std::uint8_t text[4] = {'%', 'a', '%', 0};
    TDBTree db = TDBTree::CreateEmpty("C:\\Kelvora", "HKCU");
    // REG_SZ, REG_BINARY and REG_DWORD are written exactly as plain records.
    TDBTree plain = TDBTree::CreateEmpty("C:\\Kelvora", "HKCU");
    for (TDBTree* out : {&db, &plain}) {
        const bool values = out == &db;
        auto put = [&](std::uint32_t type, std::int32_t kind) {
            if (values) out->WriteValueRecord("K", "v", text, type, 4);
            else out->WriteRecord("K", "v", text, kind, 4);
        };
        put(platform::kRegSz, 1);
        put(platform::kRegBinary, 3);
        put(platform::kRegDword, 4);
    }
    EXPECT_EQ(db.Bytes(), plain.Bytes());
    const std::size_t plainSize = db.Bytes().size();
    db.WriteValueRecord("K", "e", text, platform::kRegExpandSz, 4);
    db.WriteValueRecord("K", "", nullptr, platform::kRegNone, 0);
    db.WriteValueRecord("K", "q", text, 0xFFFF0012u, 4);

    // Kind 3 with bit 5; the type between the name and the data.
    Bytes expanded{0x23, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 'e', 0x02, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00};
    expanded.insert(expanded.end(), text, text + 4);
    EXPECT_EQ(Bytes(db.Bytes().begin() + static_cast<std::ptrdiff_t>(plainSize),
                    db.Bytes().begin() + static_cast<std::ptrdiff_t>(plainSize + expanded.size())),
              expanded);

    std::vector<std::uint32_t> types;
    std::string path, name;
    for (db.ReadHeader(path); !db.EndOfData(); db.ReadHeader(path)) {
        db.ReadName(name);
        const auto data = db.ReadData();
        EXPECT_EQ(data.size(), name.empty() ? 0u : 4u);
        types.push_back(db.ValueType());
    }
    EXPECT_EQ(types, (std::vector<std::uint32_t>{1, 3, 4, 2, 0, 0xFFFF0012u}));

    // A record cut inside its type is not read.
    Bytes cut(db.Bytes().begin(), db.Bytes().begin() + static_cast<std::ptrdiff_t>(plainSize + 11));
    MemoryFileSystem fs;
    MakeProgramFolder(fs);
    Put(fs, "C:\\Kelvora\\HKCU.sns", cut);
    EXPECT_EQ(Headers(TDBTree::CreateFromFile(fs, "C:\\Kelvora", "HKCU")).size(), 3u);
}

TEST(DBTree, SkipsTheUnreadNameAndDataOfARecord) {
    const std::uint8_t raw[2] = {9, 9};
    TDBTree db = TDBTree::CreateEmpty("C:\\Kelvora", "X");
    db.WriteRecord("A", "first", raw, 3, 2);
    db.WriteRecord("A\\B", "second", raw, 3, 2);
    std::string path;
    db.ReadHeader(path);  // name and data left unread
    db.ReadHeader(path);
    EXPECT_EQ(path, "B");
    std::string name;
    db.ReadName(name);
    EXPECT_EQ(name, "second");
}

TEST(DBTree, StopsAtARecordThatDoesNotFit) {
    // Lengths that run past the end, negative lengths, a cut header.
    const std::vector<Bytes> damaged = {
        {0x10, 0x00, 0xFF, 0xFF, 'a'},                                  // path longer than the rest
        {0x03, 0x10, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x7F},               // name length past the end
        {0x03, 0x10, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF},               // negative name length
        {0x03, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80},               // negative data size
        {0x10, 0x11},                                                   // cut header
    };
    for (const Bytes& bytes : damaged) {
        MemoryFileSystem fs;
        MakeProgramFolder(fs);
        Put(fs, "C:\\Kelvora\\D.sns", bytes);
        TDBTree db = TDBTree::CreateFromFile(fs, "C:\\Kelvora", "D");
        std::string path = "kept";
        db.ReadHeader(path);
        EXPECT_TRUE(db.EndOfData());
        EXPECT_EQ(path, "kept");
    }
}

// The error's text as the user sees it, in a language that shows each
// message's identifier.
template <class Work>
std::string ErrorText(Work work) {
    SetMessageLanguage("Ids", [](std::string_view id) -> std::optional<std::string> { return std::string(id) + " %s"; });
    std::string text = "(none)";
    try {
        work();
    } catch (const SnapshotFileError& e) {
        text = e.what();
    }
    SetMessageLanguage("", {});
    return text;
}

TEST(DBTree, ReportsFilesThatCannotBeReadOrSavedInTheUsersLanguage) {
    MemoryFileSystem fs;
    MakeProgramFolder(fs);
    EXPECT_EQ(ErrorText([&] { TDBTree::CreateFromFile(fs, "C:\\Kelvora", "HKCR"); }),
              "RS_SNAPSHOT_OPEN C:\\Kelvora\\HKCR.sns");
    fs.SetDiskFull(true);
    EXPECT_EQ(ErrorText([&] { TDBTree::CreateEmpty("C:\\Kelvora", "HKCR").Save(fs); }),
              "RS_SNAPSHOT_CREATE C:\\Kelvora\\HKCR.sns");
    EXPECT_EQ(ErrorText([] {
                  TDBTree::CreateEmpty("C:\\Kelvora", "FIS2").WriteRecord(std::string(dbMaxPathLength + 1, 'x'), "",
                                                                          nullptr, 0, 0);
              }),
              "RS_SNAPSHOT_PATH_TOO_LONG " + std::string(260, 'x'));
}

// Records enough for several pieces of a streaming snapshot.
void WriteManyRecords(TDBTree& db, int count) {
    const std::string data(300, 'd');
    for (int i = 0; i < count; ++i) {
        const std::string path = "Key" + std::to_string(i / 10);
        db.WriteRecord(path, "Value" + std::to_string(i), Text(data.c_str()), 3, 300);
    }
}

TEST(DBTree, StreamingWritesTheSameBytesAndLeavesNoPartialFile) {
    MemoryFileSystem fs;
    MakeProgramFolder(fs);
    TDBTree whole = TDBTree::CreateEmpty("C:\\Kelvora", "HKLM");
    WriteManyRecords(whole, 12000);
    TDBTree streamed = TDBTree::CreateStreaming(fs, "C:\\Kelvora", "HKLM");
    WriteManyRecords(streamed, 12000);
    EXPECT_EQ(streamed.Size(), whole.Bytes().size());
    streamed.Save(fs);
    Bytes file;
    ASSERT_TRUE(fs.ReadFile("C:\\Kelvora\\HKLM.sns", file));
    EXPECT_EQ(file, whole.Bytes());

    // A full disk ends the walk at the piece that cannot be written, with
    // the snapshot error, and the partial file goes.
    EXPECT_EQ(ErrorText([&] {
                  TDBTree db = TDBTree::CreateStreaming(fs, "C:\\Kelvora", "HKCU");
                  fs.SetDiskFull(true);
                  WriteManyRecords(db, 12000);
              }),
              "RS_SNAPSHOT_CREATE C:\\Kelvora\\HKCU.sns");
    EXPECT_FALSE(fs.Exists("C:\\Kelvora\\HKCU.sns"));
    EXPECT_EQ(ErrorText([&] {
                  TDBTree db = TDBTree::CreateStreaming(fs, "C:\\Kelvora", "HKCC");
                  WriteManyRecords(db, 1);
                  db.Save(fs);
              }),
              "RS_SNAPSHOT_CREATE C:\\Kelvora\\HKCC.sns");
    EXPECT_FALSE(fs.Exists("C:\\Kelvora\\HKCC.sns"));
    EXPECT_EQ(ErrorText([&] { TDBTree::CreateStreaming(fs, "C:\\Missing", "HKCR"); }),
              "RS_SNAPSHOT_CREATE C:\\Missing\\HKCR.sns");
}

TEST(DBTree, RefusesAPathTooLongForItsLengthField) {
    TDBTree db = TDBTree::CreateEmpty("C:\\Kelvora", "FIS2");
    const std::string longPath(dbMaxPathLength + 1, 'x');
    EXPECT_THROW(db.WriteRecord(longPath, "", nullptr, 0, 0), SnapshotFileError);
    // A long path reached one short component at a time is fine.
    const std::string parent(dbMaxPathLength - 1, 'y');
    db.WriteRecord(parent, "", nullptr, 0, 0);
    db.WriteRecord(parent + "\\zz", "", nullptr, 0, 0);
    db.WriteRecord(parent + "\\zz", "v", nullptr, 3, 0);
    EXPECT_EQ(Headers(std::move(db)).size(), 3u);
}

}  // namespace
}  // namespace kelvora
