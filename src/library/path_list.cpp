#include "library/path_list.h"

#include <numeric>

#include "base/random.h"
#include "base/trace.h"

namespace cs {

bool PathList::Append(std::string path) {
    if (path.empty() || path.size() > kMaxPathChars) return false;
    entries_.push_back(std::move(path));
    return true;
}

std::optional<std::string> PathList::NextInOrder() {
    if (entries_.empty()) return std::nullopt;
    // A removal can leave the index past the end; start over then.
    std::uint32_t index = next_index_;
    if (index >= entries_.size()) index = 0;
    next_index_ = index + 1 >= entries_.size() ? 0 : index + 1;
    last_picked_ = static_cast<std::int32_t>(index);
    return entries_[index];
}

std::optional<std::string> PathList::NextShuffled(std::uint32_t tick_count) {
    if (entries_.empty()) return std::nullopt;
    if (shuffle_bag_.empty()) {
        shuffle_bag_.resize(entries_.size());
        std::iota(shuffle_bag_.begin(), shuffle_bag_.end(), 0u);
    }
    const std::uint32_t draw = static_cast<std::uint32_t>(NextRandom()) + tick_count;
    const std::uint32_t slot = draw % static_cast<std::uint32_t>(shuffle_bag_.size());
    const std::uint32_t index = shuffle_bag_[slot];
    shuffle_bag_.erase(shuffle_bag_.begin() + slot);
    last_picked_ = static_cast<std::int32_t>(index);
    Tracef("%04d %04d %s\n", static_cast<int>(slot), static_cast<int>(index), entries_[index].c_str());
    return entries_[index];
}

void PathList::RemoveEntry(std::size_t i) {
    if (i >= entries_.size()) return;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
    shuffle_bag_.clear();
    // Keep the in-order walk on the entry it would have shown next.
    if (i < next_index_) --next_index_;
    if (next_index_ >= entries_.size()) next_index_ = 0;
}

}  // namespace cs
