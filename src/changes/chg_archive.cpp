#include "changes/chg_archive.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "translation/messages.h"

namespace kelvora {

namespace {

constexpr std::uint8_t kMagic[11] = {10, 'Q', ' ', 'O', ' ', 'R', ' ', 'f', 'i', 'l', 'e'};
constexpr std::size_t kVersionOffset = 12;
constexpr std::size_t kCreatedOffset = 16;
constexpr std::size_t kLastUsedOffset = 24;
constexpr std::size_t kUseCountOffset = 32;

void PutU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void PutF64(std::uint8_t* p, double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i) p[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

std::uint32_t GetU32(const std::uint8_t* p) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

double GetF64(const std::uint8_t* p) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | p[i];
    return std::bit_cast<double>(bits);
}

}  // namespace

TChgArchive::TChgArchive(platform::FileSystem& files, platform::Clock& clock, std::string fileBase)
    : files_(files), clock_(clock), fileBase_(std::move(fileBase)) {}

void TChgArchive::WriteHeader(double created, double lastUsed, std::int32_t useCount) {
    content_.assign(kArchiveHeaderSize, 0);
    std::memcpy(content_.data(), kMagic, sizeof kMagic);
    PutU32(content_.data() + kVersionOffset, kArchiveVersion);
    PutF64(content_.data() + kCreatedOffset, created);
    PutF64(content_.data() + kLastUsedOffset, lastUsed);
    PutU32(content_.data() + kUseCountOffset, static_cast<std::uint32_t>(useCount));
}

bool TChgArchive::CreateNew() {
    atEnd_ = false;
    damaged_ = false;
    WriteHeader(clock_.Now(), 0.0, 0);
    position_ = content_.size();
    return true;
}

void TChgArchive::Save() const {
    if (!files_.WriteFileAtomic(FileName(), content_.data(), content_.size())) {
        throw ArchiveError(FormatText(TranslateString(RS_ARCHIVE_CANT_WRITE), {FileName()}));
    }
}

bool TChgArchive::ValidHeader(const std::vector<std::uint8_t>& content) {
    return content.size() >= kArchiveHeaderSize && std::memcmp(content.data(), kMagic, sizeof kMagic) == 0 &&
           GetU32(content.data() + kVersionOffset) <= kArchiveMaxVersion;
}

bool TChgArchive::Open() {
    atEnd_ = false;
    damaged_ = false;
    position_ = 0;
    try {
        content_.clear();
        if (!files_.ReadFile(FileName(), content_)) {
            content_.clear();
            return false;
        }
    } catch (const std::bad_alloc&) {  // no memory for a huge file: not an archive to load
        content_.clear();
        return false;
    }
    if (!ValidHeader(content_)) {
        position_ = content_.size();
        return false;
    }
    position_ = kArchiveHeaderSize;
    return true;
}

bool TChgArchive::HasValidHeader() const {
    std::vector<std::uint8_t> head;
    try {
        return files_.ReadFileHead(FileName(), kArchiveHeaderSize, head) && ValidHeader(head);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool TChgArchive::GetHeader(TChgHeader& header) const {
    if (content_.size() < kArchiveHeaderSize) return false;
    const std::size_t magicLength = std::min<std::size_t>(content_[0], sizeof kMagic - 1);
    header.Magic.assign(reinterpret_cast<const char*>(content_.data()) + 1, magicLength);
    header.Version = GetU32(content_.data() + kVersionOffset);
    header.Created = GetF64(content_.data() + kCreatedOffset);
    header.LastUsed = GetF64(content_.data() + kLastUsedOffset);
    header.UseCount = static_cast<std::int32_t>(GetU32(content_.data() + kUseCountOffset));
    return true;
}

void TChgArchive::MarkUsed() {
    std::vector<std::uint8_t> content;
    if (!files_.ReadFile(FileName(), content)) {
        throw ArchiveError(FormatText(TranslateString(RS_ARCHIVE_CANT_READ), {FileName()}));
    }
    if (!ValidHeader(content)) throw ArchiveError(FormatText(TranslateString(RS_ARCHIVE_INVALID), {FileName()}));
    PutF64(content.data() + kLastUsedOffset, clock_.Now());
    PutU32(content.data() + kUseCountOffset, GetU32(content.data() + kUseCountOffset) + 1);
    if (!files_.WriteFileAtomic(FileName(), content.data(), content.size())) {
        throw ArchiveError(FormatText(TranslateString(RS_ARCHIVE_CANT_WRITE), {FileName()}));
    }
    content_ = std::move(content);
    position_ = kArchiveHeaderSize;
    atEnd_ = false;
    damaged_ = false;
}

void TChgArchive::WriteInt(std::int32_t value) {
    std::uint8_t bytes[4];
    PutU32(bytes, static_cast<std::uint32_t>(value));
    content_.insert(content_.end(), bytes, bytes + 4);
    position_ = content_.size();
}

void TChgArchive::WriteStr(std::string_view text) {
    WriteInt(static_cast<std::int32_t>(text.size()));
    content_.insert(content_.end(), text.begin(), text.end());
    position_ = content_.size();
}

void TChgArchive::WriteBlock(const std::uint8_t* data, std::size_t count) {
    if (count != 0) content_.insert(content_.end(), data, data + count);
    position_ = content_.size();
}

void TChgArchive::Fail() {
    atEnd_ = true;
    damaged_ = true;
    position_ = content_.size();
}

// True when count bytes follow the position; otherwise the stream is
// damaged (or simply over) and the position moves to its end.
bool TChgArchive::Need(std::size_t count) {
    if (content_.size() - position_ >= count) return true;
    Fail();
    return false;
}

std::int32_t TChgArchive::ReadInt() {
    if (!Need(4)) return 0;
    const auto value = static_cast<std::int32_t>(GetU32(content_.data() + position_));
    position_ += 4;
    return value;
}

std::string TChgArchive::ReadStr() {
    if (!Need(4)) return {};
    const std::int32_t length = ReadInt();
    if (length == 0) {
        // An empty string that ends the file also ends the stream.
        if (position_ >= content_.size()) atEnd_ = true;
        return {};
    }
    if (length < 0) {
        Fail();
        return {};
    }
    if (!Need(static_cast<std::size_t>(length))) return {};
    std::string text(reinterpret_cast<const char*>(content_.data()) + position_, static_cast<std::size_t>(length));
    position_ += static_cast<std::size_t>(length);
    return text;
}

bool TChgArchive::ReadBlock(std::int32_t count, std::span<const std::uint8_t>& block) {
    block = {};
    if (count == 0) return true;
    if (count < 0) {
        Fail();
        return false;
    }
    if (!Need(static_cast<std::size_t>(count))) return false;
    block = std::span<const std::uint8_t>(content_.data() + position_, static_cast<std::size_t>(count));
    position_ += static_cast<std::size_t>(count);
    return true;
}

int TChgArchive::PercentDone() const {
    if (content_.size() <= kArchiveHeaderSize || position_ <= kArchiveHeaderSize) {
        return content_.size() <= kArchiveHeaderSize ? 100 : 0;
    }
    const auto done = static_cast<std::uint64_t>(position_ - kArchiveHeaderSize);
    const auto total = static_cast<std::uint64_t>(content_.size() - kArchiveHeaderSize);
    return static_cast<int>(done * 100 / total);
}

}  // namespace kelvora
