#include "changes/node_data.h"

#include <cstring>

namespace kelvora {

std::string_view RootKeyName(std::uint32_t rootKey) {
    switch (rootKey) {
        case 0x80000000u: return "HKEY_CLASSES_ROOT";
        case 0x80000001u: return "HKEY_CURRENT_USER";
        case 0x80000002u: return "HKEY_LOCAL_MACHINE";
        case 0x80000003u: return "HKEY_USERS";
        case 0x80000005u: return "HKEY_CURRENT_CONFIG";
        default: return "(error)";
    }
}

void DataBlock::Assign(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        // An empty block is still a block (a value with empty data), so it is
        // kept apart from no block at all.
        bytes_ = std::make_unique<std::uint8_t[]>(1);
        return;
    }
    bytes_ = std::make_unique_for_overwrite<std::uint8_t[]>(size);
    std::memcpy(bytes_.get(), data, size);
}

void DataBlock::AssignText(std::string_view text) {
    bytes_ = std::make_unique_for_overwrite<std::uint8_t[]>(text.size() + 1);
    if (!text.empty()) std::memcpy(bytes_.get(), text.data(), text.size());
    bytes_[text.size()] = 0;
}

void TNodeData::SetOld(const std::uint8_t* data, std::size_t size) {
    OldData.Assign(data, size);
    OldSize = static_cast<std::int32_t>(size);
}

void TNodeData::SetNew(const std::uint8_t* data, std::size_t size) {
    NewData.Assign(data, size);
    NewSize = static_cast<std::int32_t>(size);
}

void TNodeData::SetOldText(std::string_view text) {
    OldData.AssignText(text);
    OldSize = static_cast<std::int32_t>(text.size() + 1);
}

void TNodeData::SetNewText(std::string_view text) {
    NewData.AssignText(text);
    NewSize = static_cast<std::int32_t>(text.size() + 1);
}

std::string_view BlockText(const DataBlock& block, std::int32_t size) {
    if (!block.Present() || size <= 0) return {};
    const auto* p = reinterpret_cast<const char*>(block.Get());
    const void* nul = std::memchr(p, 0, static_cast<std::size_t>(size));
    return std::string_view(p, nul ? static_cast<const char*>(nul) - p : static_cast<std::size_t>(size));
}

std::string_view TNodeData::OldText() const { return BlockText(OldData, OldSize); }
std::string_view TNodeData::NewText() const { return BlockText(NewData, NewSize); }

void TNodeData::Reset() {
    Name.clear();
    OldData.Reset();
    NewData.Reset();
    OldSize = 0;
    NewSize = 0;
    ValueType = 0;
    RootKey = 0;
    Kind = ckPathBranch;
    Activity = arSetup;
    Path.clear();
}

}  // namespace kelvora
