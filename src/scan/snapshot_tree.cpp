#include "scan/snapshot_tree.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace kelvora {

namespace {
// A tree's blocks grow from the first size to the largest as it grows: the
// many small trees that the sub-keys read on other threads make (tree_pieces.h)
// would otherwise each hold a large block mostly empty.
constexpr std::size_t kFirstBlockSize = 8 * 1024;
constexpr std::size_t kBlockSize = 256 * 1024;
}

void* SnapshotTree::Allocate(std::size_t size, std::size_t align) {
    auto misalign = reinterpret_cast<std::uintptr_t>(cursor_) % align;
    std::size_t pad = misalign == 0 ? 0 : align - misalign;
    if (cursor_ == nullptr || pad + size > left_) {
        // Large items get a block of their own so the common block stays full.
        const std::size_t block = std::clamp(reserved_, kFirstBlockSize, kBlockSize);
        const std::size_t want = std::max(block, size + align);
        // Not zero-filled: every byte is written before it is read.
        blocks_.push_back(std::make_unique_for_overwrite<std::byte[]>(want));
        reserved_ += want;
        cursor_ = blocks_.back().get();
        left_ = want;
        misalign = reinterpret_cast<std::uintptr_t>(cursor_) % align;
        pad = misalign == 0 ? 0 : align - misalign;
    }
    std::byte* p = cursor_ + pad;
    cursor_ = p + size;
    left_ -= pad + size;
    return p;
}

void SnapshotTree::Adopt(SnapshotTree&& other) {
    for (auto& block : other.blocks_) blocks_.push_back(std::move(block));
    reserved_ += other.reserved_;
    other.blocks_.clear();
    other.Root = nullptr;
    other.cursor_ = nullptr;
    other.left_ = other.reserved_ = 0;
}

TNode* SnapshotTree::NewNode(std::string_view name) {
    void* place = Allocate(sizeof(TNode) + name.size(), alignof(TNode));
    auto* node = new (place) TNode{};
    node->NameLength = static_cast<std::uint32_t>(name.size());
    if (!name.empty()) std::memcpy(node + 1, name.data(), name.size());
    return node;
}

TValori* SnapshotTree::NewValue(std::string_view name, std::int32_t type, const std::uint8_t* data,
                                std::int32_t size) {
    const std::size_t dataSize = size > 0 && data != nullptr ? static_cast<std::size_t>(size) : 0;
    void* place = Allocate(sizeof(TValori) + name.size() + dataSize, alignof(TValori));
    auto* item = new (place) TValori{};
    item->NameLength = static_cast<std::uint32_t>(name.size());
    item->DataType = type;
    item->Size = static_cast<std::int32_t>(dataSize);
    auto* bytes = reinterpret_cast<std::uint8_t*>(item + 1);
    if (!name.empty()) std::memcpy(bytes, name.data(), name.size());
    if (dataSize != 0) std::memcpy(bytes + name.size(), data, dataSize);
    return item;
}

}  // namespace kelvora
