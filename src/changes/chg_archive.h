// TChgArchive: the archive file <identifier>.qor that holds a saved changes
// tree. The whole file is held in memory while it is read or written.
//
// Layout (little-endian): a 56-byte header (length-prefixed magic "Q O R
// file", a reserved byte, Version, Created, LastUsed, UseCount, 20 reserved
// bytes), then change records up to the end of the file. A record is made of
// Ints (4 bytes, signed), Strs (an Int length, then that many bytes) and
// Blocks (raw bytes counted by the Int before them).
//
// A record of activity (a change the setup did not make) is preceded by one
// Int, kActivityMark with the reason (TActivityReason, 1 and up) in its low
// byte. Archives written before activity was known simply lack these marks,
// so every change in them is the setup's; an archive without activity is
// written exactly as before. A reader that does not know the mark takes it
// for a record of an unknown kind and refuses the archive as damaged: the
// record stream has no room for data that an older reader could skip.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace kelvora {

inline constexpr std::size_t kArchiveHeaderSize = 56;
inline constexpr std::uint32_t kArchiveVersion = 200;
inline constexpr std::uint32_t kArchiveMaxVersion = 299;
inline constexpr std::string_view kArchiveExtension = ".qor";
// The mark before an activity record, far from every change kind: "KA" in the
// top bytes, the reason in the low byte, the byte between 0.
inline constexpr std::uint32_t kActivityMark = 0x4B410000u;
inline constexpr std::uint32_t kActivityMarkMask = 0xFFFFFF00u;

// The archive's path without extension: the program's folder, a backslash
// and the application's identifier.
inline std::string ArchiveFileBase(std::string_view programFolder, std::string_view identifier) {
    std::string base(programFolder);
    base += '\\';
    base += identifier;
    return base;
}

struct TChgHeader {
    std::string Magic;       // "Q O R file"
    std::uint32_t Version = 0;
    double Created = 0.0;    // days since 30 December 1899, local time
    double LastUsed = 0.0;   // 0.0 until the first uninstall
    std::int32_t UseCount = 0;
};

// A failure to store an archive (Save, MarkUsed).
class ArchiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TChgArchive {
public:
    // fileBase is the path without ".qor".
    TChgArchive(platform::FileSystem& files, platform::Clock& clock, std::string fileBase);

    const std::string& FileBase() const { return fileBase_; }
    std::string FileName() const { return fileBase_ + std::string(kArchiveExtension); }

    // Makes the content a fresh header (Created = now) and positions at its
    // end, ready for appending records. Returns true.
    bool CreateNew();
    // Stores the whole content as FileBase + ".qor" through an atomic
    // replace, so a failed or interrupted save leaves the earlier archive
    // intact. Raises ArchiveError on failure.
    void Save() const;
    // Loads the file and validates its header; true when it is an archive,
    // positioned at the first record. Never raises.
    bool Open();
    // Whether the file starts with a valid header, as Open finds it, reading
    // the header only; the content is left as it is.
    bool HasValidHeader() const;
    // The header fields of the content; false when there is no whole header.
    bool GetHeader(TChgHeader& header) const;
    // Loads the file again, sets LastUsed to now, raises UseCount by one and
    // stores it back atomically. Raises ArchiveError when the file cannot be
    // read, is not an archive, or cannot be stored.
    void MarkUsed();

    void WriteInt(std::int32_t value);
    void WriteStr(std::string_view text);
    void WriteBlock(const std::uint8_t* data, std::size_t count);

    // Reads never go past the loaded data. A read that finds no more data
    // sets AtEnd and yields 0, an empty string or no block. A read that
    // finds only part of what it needs (an Int cut short, a length that is
    // negative or runs past the end) also sets Damaged and moves to the end.
    std::int32_t ReadInt();
    std::string ReadStr();
    // A view of the next count bytes inside the content; false (no block)
    // when they are not all there. A count of 0 yields an empty block.
    bool ReadBlock(std::int32_t count, std::span<const std::uint8_t>& block);

    bool AtEnd() const { return atEnd_; }
    // A read needed bytes that were not there.
    bool Damaged() const { return damaged_; }
    std::size_t Position() const { return position_; }
    std::size_t Size() const { return content_.size(); }
    const std::vector<std::uint8_t>& Content() const { return content_; }
    // How much of the record stream has been read, 0 to 100.
    int PercentDone() const;

private:
    bool Need(std::size_t count);
    void Fail();
    void WriteHeader(double created, double lastUsed, std::int32_t useCount);
    static bool ValidHeader(const std::vector<std::uint8_t>& content);

    platform::FileSystem& files_;
    platform::Clock& clock_;
    std::string fileBase_;
    std::vector<std::uint8_t> content_;
    std::size_t position_ = 0;
    bool atEnd_ = false;
    bool damaged_ = false;
};

}  // namespace kelvora
