#include "library/path_list.h"

#include <algorithm>
#include <numeric>

#include "base/random.h"
#include "base/utf8_text.h"
#include "base/trace.h"
#include "library/shuffle_memory.h"

namespace cs {

bool PathList::Append(std::string path) {
    if (path.empty() || Utf16Length(path) > kMaxPathChars) return false;
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
    picked_ = true;
    return entries_[index];
}

std::optional<std::string> PathList::NextShuffled(std::uint32_t tick_count) {
    if (cycle_) {
        // The remembered cycle's next stays next until it has been shown.
        const std::uint32_t index = cycle_->Next();
        last_picked_ = static_cast<std::int32_t>(index);
        picked_ = true;
        return entries_[index];
    }
    if (!opening_path_.empty()) {
        opened_path_ = std::move(opening_path_);
        opening_path_.clear();
        return opened_path_;
    }
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
    picked_ = true;
    Tracef("%04d %04d %s\n", static_cast<int>(slot), static_cast<int>(index), entries_[index].c_str());
    return entries_[index];
}

void PathList::AppendFrom(PathList&& rest) {
    const auto before = static_cast<std::uint32_t>(entries_.size());
    for (auto& entry : rest.entries_) entries_.push_back(std::move(entry));
    const auto after = static_cast<std::uint32_t>(entries_.size());
    if (!picked_ || after == before) return;
    // A walk that wrapped only because the list was short goes on instead.
    if (next_index_ == 0 && last_picked_ == static_cast<std::int32_t>(before) - 1) next_index_ = before;
    for (std::uint32_t i = before; i < after; ++i) shuffle_bag_.push_back(i);
}

void PathList::RememberShuffle(std::shared_ptr<ShuffleMemory> memory, const std::optional<ShuffleState>& stored,
                               std::uint32_t fresh_seed) {
    opening_path_.clear();
    if (entries_.empty()) return;
    // What this run has shown already counts as the cycle's first picture.
    std::optional<std::uint32_t> opened_with;
    if (!opened_path_.empty()) {
        const auto found = std::find(entries_.begin(), entries_.end(), opened_path_);
        if (found != entries_.end()) opened_with = static_cast<std::uint32_t>(found - entries_.begin());
    } else if (picked_) {
        opened_with = static_cast<std::uint32_t>(last_picked_);
    }
    cycle_.emplace(entries_, stored, fresh_seed, opened_with);
    memory_ = std::move(memory);
    if (memory_) memory_->Save(cycle_->State());
}

void PathList::MarkShown(std::int32_t index, std::uint32_t fresh_seed) {
    if (!cycle_ || index < 0) return;
    if (cycle_->MarkShown(static_cast<std::uint32_t>(index), fresh_seed, entries_) && memory_)
        memory_->Save(cycle_->State());
}

void PathList::RemoveEntry(std::size_t i) {
    if (i >= entries_.size()) return;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
    shuffle_bag_.clear();
    cycle_.reset();  // its indices no longer fit
    // Keep the in-order walk on the entry it would have shown next.
    if (i < next_index_) --next_index_;
    if (next_index_ >= entries_.size()) next_index_ = 0;
}

}  // namespace cs
