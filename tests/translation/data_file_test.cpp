#include "translation/data_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/memory/memory_file_system.h"
#include "translation/data_file_writer.h"

namespace kelvora {
namespace {

const std::string kLongName(36, 'N');  // no room for a terminating zero

std::vector<std::uint8_t> SampleFile() {
    TDataFileWriter w;
    w.AddSection("*SYSTEM*");
    w.AddInteger("CHARSET", 238);
    w.AddValue("Short", "ab");
    w.AddSection("resourcestring");
    w.AddValue("RS_OK", "Gut");
    w.AddValue("RS_OK", "second");
    w.AddValue("RS_EMPTY", "");
    w.AddValue("RS_BYTES", std::string(" Bytes\n\0x", 9));
    w.AddSection(kLongName);
    w.AddValue(kLongName, "long");
    return w.Bytes();
}

// Writes the header fields as they are stored: scrambled.
void PutHeader(std::vector<std::uint8_t>& file, std::size_t at, std::uint32_t mark, std::string_view name,
               std::int32_t size) {
    std::uint8_t block[kDataFileHeaderSize] = {};
    std::memcpy(block, &mark, 4);
    std::memcpy(block + 4, name.data(), name.size());
    std::memcpy(block + 40, &size, 4);
    ScrambleBlock(block, sizeof block);
    if (file.size() < at + sizeof block) file.resize(at + sizeof block);
    std::memcpy(file.data() + at, block, sizeof block);
}

TEST(DataFile, ReadsWhatTheWriterWrote) {
    TDataFile f(SampleFile());
    EXPECT_EQ(f.ReadInteger("*system*", "charset", 1), 238);
    EXPECT_EQ(f.ReadString("RESOURCESTRING", "rs_ok", "-"), "Gut");  // the first of two
    EXPECT_EQ(f.ReadString("RESOURCESTRING", "RS_BYTES", "-"), std::string(" Bytes\n\0x", 9));
    EXPECT_EQ(f.ReadString("RESOURCESTRING", "RS_EMPTY", "-"), "");
    EXPECT_EQ(f.ReadInteger("RESOURCESTRING", "RS_EMPTY", 7), 7);
    EXPECT_EQ(f.ReadInteger("*SYSTEM*", "Short", 7), 7);
    EXPECT_EQ(f.ReadString(kLongName, kLongName, "-"), "long");
    EXPECT_EQ(f.ReadString(kLongName + "tail", kLongName + "tail", "-"), "long");  // 36 characters count
    EXPECT_EQ(f.ReadString("RESOURCESTRING", "RS_NONE", "-"), "-");
    EXPECT_EQ(f.ReadString("Missing", "RS_OK", "-"), "-");
    EXPECT_FALSE(f.ValueExists("*SYSTEM*", "RS_OK"));

    std::vector<std::uint8_t> buffer{1, 2, 3};
    EXPECT_EQ(f.ReadBuffer("RESOURCESTRING", "RS_OK", buffer), 3);
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "Gut");
    EXPECT_EQ(f.ReadBuffer("RESOURCESTRING", "RS_NONE", buffer), -1);

    std::vector<std::string> keys{"old"};
    f.ReadSectionKeys("ResourceString", keys);
    EXPECT_EQ(keys, (std::vector<std::string>{"RS_OK", "RS_OK", "RS_EMPTY", "RS_BYTES"}));
    f.ReadSectionKeys("Missing", keys);
    EXPECT_TRUE(keys.empty());
}

TEST(DataFile, EveryBlockIsScrambledWithTheKeyFromItsStart) {
    TDataFileWriter w;
    w.AddSection("*SYSTEM*");
    std::vector<std::uint8_t> file = w.Bytes();
    ASSERT_EQ(file.size(), kDataFileHeaderSize);
    ScrambleBlock(file.data(), file.size());
    std::uint8_t expected[kDataFileHeaderSize] = {'S', 'S', 'S', 'S', '*', 'S', 'Y', 'S', 'T', 'E', 'M', '*'};
    EXPECT_EQ(std::memcmp(file.data(), expected, sizeof expected), 0);

    w.AddValue("V", "AB");
    file = w.Bytes();
    ASSERT_EQ(file.size(), 2 * kDataFileHeaderSize + 2);
    EXPECT_EQ(file[2 * kDataFileHeaderSize], 'A' ^ 'H');
    EXPECT_EQ(file[2 * kDataFileHeaderSize + 1], 'B' ^ 'q');
    EXPECT_EQ(file[kDataFileHeaderSize], 'V' ^ 'H');  // the value's mark
    EXPECT_EQ(file[kDataFileHeaderSize + 4], 'V' ^ 'L');
}

TEST(DataFile, AMissingFileIsEmptyAndIsNotCreated) {
    platform::memory::MemoryFileSystem files;
    TDataFile f = TDataFile::Load(files, "C:\\Translations\\Gone.lng");
    std::int32_t size = 0;
    EXPECT_FALSE(f.FindSection("*SYSTEM*", size));
    EXPECT_EQ(f.ReadInteger("*SYSTEM*", "CHARSET", 1), 1);
    EXPECT_FALSE(files.Exists("C:\\Translations\\Gone.lng"));
}

TEST(DataFile, WrongMarksRaiseAndBadSizesAreNotFound) {
    std::vector<std::uint8_t> file = SampleFile();
    PutHeader(file, 0, 0x12345678, "*SYSTEM*", 0);
    EXPECT_THROW(TDataFile(file).ReadString("RESOURCESTRING", "RS_OK", ""), DataFileError);

    // A value header where a section header belongs, and the reverse.
    file = SampleFile();
    PutHeader(file, 0, kValueMark, "*SYSTEM*", 0);
    EXPECT_THROW(TDataFile(file).ValueExists("X", "Y"), DataFileError);
    file = SampleFile();
    PutHeader(file, kDataFileHeaderSize, kSectionMark, "CHARSET", 4);
    EXPECT_THROW(TDataFile(file).ReadInteger("*SYSTEM*", "CHARSET", 1), DataFileError);

    for (std::int32_t size : {-1, -44, INT32_MIN, INT32_MAX, 1 << 30}) {
        SCOPED_TRACE(size);
        // The first section's size: the next sections are out of reach.
        file = SampleFile();
        PutHeader(file, 0, kSectionMark, "*SYSTEM*", size);
        TDataFile bad(file);
        EXPECT_EQ(bad.ReadString("RESOURCESTRING", "RS_OK", "-"), "-");
        EXPECT_EQ(bad.ReadInteger("*SYSTEM*", "CHARSET", 1), 1);
        std::vector<std::string> keys;
        bad.ReadSectionKeys("*SYSTEM*", keys);
        EXPECT_TRUE(keys.empty());

        // A value's length: that value and those after it are out of reach.
        file = SampleFile();
        PutHeader(file, kDataFileHeaderSize, kValueMark, "CHARSET", size);
        TDataFile badValue(file);
        std::vector<std::uint8_t> buffer;
        EXPECT_EQ(badValue.ReadBuffer("*SYSTEM*", "CHARSET", buffer), -1);
        EXPECT_EQ(badValue.ReadString("*SYSTEM*", "Short", "-"), "-");
        EXPECT_EQ(badValue.ReadString("RESOURCESTRING", "RS_OK", "-"), "Gut");
    }
}

TEST(DataFile, EveryTruncationAndEveryDamagedByteIsSafe) {
    const std::vector<std::uint8_t> whole = SampleFile();
    auto probe = [](std::vector<std::uint8_t> bytes) {
        TDataFile f(std::move(bytes));
        std::vector<std::string> keys;
        std::vector<std::uint8_t> buffer;
        try {
            f.ReadInteger("*SYSTEM*", "CHARSET", 1);
            f.ReadBuffer("RESOURCESTRING", "RS_BYTES", buffer);
            f.ReadSectionKeys("RESOURCESTRING", keys);
            f.ForEachValue(kLongName, [](std::string_view, std::string_view) {});
        } catch (const DataFileError&) {
        }
    };
    for (std::size_t n = 0; n < whole.size(); ++n) {
        probe({whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n)});
        std::vector<std::uint8_t> damaged = whole;
        damaged[n] ^= 0xA5;
        probe(damaged);
    }
    // A file cut inside the section's body: its values before the cut remain
    // unreachable rather than half read.
    TDataFile cut({whole.begin(), whole.end() - 1});
    EXPECT_EQ(cut.ReadString(kLongName, kLongName, "-"), "-");
    EXPECT_EQ(cut.ReadString("RESOURCESTRING", "RS_OK", "-"), "Gut");
}

}  // namespace
}  // namespace kelvora
