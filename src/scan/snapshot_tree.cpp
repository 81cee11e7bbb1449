#include "scan/snapshot_tree.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace kelvora {

namespace {
constexpr std::size_t kBlockSize = 256 * 1024;
}

void* SnapshotTree::Allocate(std::size_t size, std::size_t align) {
    auto misalign = reinterpret_cast<std::uintptr_t>(cursor_) % align;
    std::size_t pad = misalign == 0 ? 0 : align - misalign;
    if (cursor_ == nullptr || pad + size > left_) {
        // Large items get a block of their own so the common block stays full.
        const std::size_t want = std::max(kBlockSize, size + align);
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

std::string_view SnapshotTree::CopyText(std::string_view text) {
    if (text.empty()) return {};
    auto* p = static_cast<char*>(Allocate(text.size(), 1));
    std::memcpy(p, text.data(), text.size());
    return {p, text.size()};
}

TNode* SnapshotTree::NewNode(std::string_view name) {
    auto* node = new (Allocate(sizeof(TNode), alignof(TNode))) TNode{};
    node->Name = CopyText(name);
    return node;
}

TValori* SnapshotTree::NewValue(std::string_view name, std::int32_t type, const std::uint8_t* data,
                                std::int32_t size) {
    auto* item = new (Allocate(sizeof(TValori), alignof(TValori))) TValori{};
    item->Name = CopyText(name);
    item->DataType = type;
    if (size > 0 && data != nullptr) {
        auto* copy = static_cast<std::uint8_t*>(Allocate(static_cast<std::size_t>(size), 1));
        std::memcpy(copy, data, static_cast<std::size_t>(size));
        item->Data = copy;
        item->Size = size;
    }
    return item;
}

}  // namespace kelvora
