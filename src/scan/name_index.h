// Finding an entry of a sibling chain or an item list by name. Names match
// without regard to ASCII case and the first match in list order wins, as a
// linear search from the start of the list would find it. Short lists are
// searched linearly; longer ones get a small open-addressing hash table, so a
// level with n entries costs O(n) however wide it is. The table's storage is
// kept between builds: one index reused for many lists allocates only while
// it grows.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/text.h"
#include "scan/snapshot_tree.h"

namespace kelvora {

inline const TNode* NextInList(const TNode* node) { return node->NextSibling; }
inline const TValori* NextInList(const TValori* item) { return item->Next; }

template <class T>
class NameIndex {
public:
    // Indexes the list that starts at first (nullptr: an empty list).
    void Build(const T* first) {
        first_ = first;
        std::size_t count = 0;
        for (const T* p = first; p != nullptr && count <= kLinearLimit; p = NextInList(p)) ++count;
        hashed_ = count > kLinearLimit;
        if (!hashed_) return;
        for (const T* p = first; p != nullptr; p = NextInList(p)) ++count;
        std::size_t capacity = 16;
        while (capacity < count * 2) capacity *= 2;
        slots_.assign(capacity, Slot{});
        mask_ = capacity - 1;
        for (const T* p = first; p != nullptr; p = NextInList(p)) {
            const std::size_t hash = NoCaseHash{}(p->Name());
            std::size_t i = hash & mask_;
            while (slots_[i].item != nullptr) {
                // A later entry of the same name never hides the first one.
                if (slots_[i].hash == hash && EqualsNoCase(slots_[i].item->Name(), p->Name())) break;
                i = (i + 1) & mask_;
            }
            if (slots_[i].item == nullptr) slots_[i] = Slot{hash, p};
        }
    }

    // The first entry named name, or nullptr.
    const T* Find(std::string_view name) const {
        if (!hashed_) {
            for (const T* p = first_; p != nullptr; p = NextInList(p)) {
                if (EqualsNoCase(p->Name(), name)) return p;
            }
            return nullptr;
        }
        const std::size_t hash = NoCaseHash{}(name);
        for (std::size_t i = hash & mask_; slots_[i].item != nullptr; i = (i + 1) & mask_) {
            if (slots_[i].hash == hash && EqualsNoCase(slots_[i].item->Name(), name)) return slots_[i].item;
        }
        return nullptr;
    }

private:
    static constexpr std::size_t kLinearLimit = 8;
    struct Slot {
        std::size_t hash = 0;
        const T* item = nullptr;
    };

    const T* first_ = nullptr;
    bool hashed_ = false;
    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
};

}  // namespace kelvora
