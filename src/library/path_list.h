#pragma once
// A flat list of file paths (the picture list and the music list) and the
// two ways of picking from it: in list order, or from a shuffle bag that
// hands out every entry once per cycle.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/utf8_text.h"
#include "library/shuffle_cycle.h"

namespace cs {

class ShuffleMemory;

class PathList {
public:
    // Appends a path; empty paths and paths longer than kMaxPathChars are
    // refused (answer false).
    bool Append(std::string path);

    std::size_t Count() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    const std::vector<std::string>& Entries() const { return entries_; }

    // The entry after the previous in-order pick, wrapping to the first;
    // none for an empty list.
    std::optional<std::string> NextInOrder();
    // A random entry not yet drawn in this cycle; the draw adds the
    // millisecond tick count to cs::NextRandom(). Traces "%04d %04d %s\n"
    // (slot, index, path). None for an empty list.
    std::optional<std::string> NextShuffled(std::uint32_t tick_count);

    // Removes entry i (ignored when out of range) and empties the shuffle
    // bag, so the next shuffled pick draws from the shorter list.
    void RemoveEntry(std::size_t i);

    // Appends the rest of a list built in two goes, so that picking goes on
    // as if the whole list had been there from the start: the in-order walk
    // continues past the entries it has shown, and a shuffle bag in use
    // takes the new entries in.
    void AppendFrom(PathList&& rest);

    // The remembered shuffle (pictures only). Until the list is complete,
    // shuffled picking opens with the picture the last run would have shown
    // next (once), then draws from the bag. RememberShuffle binds the
    // complete list to the stored cycle, or starts a new one.
    void SetOpeningPath(std::string path) { opening_path_ = std::move(path); }
    void RememberShuffle(std::shared_ptr<ShuffleMemory> memory, const std::optional<ShuffleState>& stored,
                         std::uint32_t fresh_seed);
    // A picked entry has reached the screen: moves the remembered cycle on.
    void MarkShown(std::int32_t index, std::uint32_t fresh_seed);
    bool Remembers() const { return cycle_.has_value(); }

    std::int32_t LastPicked() const { return last_picked_; }
    std::uint32_t NextIndex() const { return next_index_; }
    std::size_t BagSize() const { return shuffle_bag_.size(); }

    bool Randomize() const { return randomize_ != 0; }
    void SetRandomize(bool randomize) { randomize_ = randomize ? 1 : 0; }

private:
    std::vector<std::string> entries_;
    std::uint32_t next_index_ = 0;
    std::int32_t last_picked_ = 0;
    std::vector<std::uint32_t> shuffle_bag_;
    std::uint8_t randomize_ = 0;

    bool picked_ = false;
    std::string opening_path_;
    std::string opened_path_;  // the opening picture, once it was picked
    std::optional<ShuffleCycle> cycle_;
    std::shared_ptr<ShuffleMemory> memory_;
};

}  // namespace cs
