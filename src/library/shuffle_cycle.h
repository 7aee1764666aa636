#pragma once
// A shuffle that remembers across runs: the order of a cycle follows from a
// seed and the list's size, so a few numbers in the registry are enough for
// the next run to go on where this one stopped, and every picture is shown
// once before any is shown twice even when the saver only ever runs for a
// few minutes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cs {

inline constexpr std::uint32_t kNoLead = 0xFFFFFFFFu;

struct ShuffleState {
    std::uint32_t seed = 0;
    std::uint32_t count = 0;        // entries of the list the cycle was made for
    std::uint32_t shown = 0;        // pictures of the cycle already shown
    std::uint32_t lead = kNoLead;   // entry moved to the front of the cycle
    std::uint64_t fingerprint = 0;  // of the list's paths, in order
    std::string next_path;          // the picture the cycle shows next
};

// A hash of the paths and their order; a changed list gives another one.
std::uint64_t ListFingerprint(const std::vector<std::string>& entries);

// The cycle's order: a permutation of 0..count-1 drawn from seed alone, with
// lead (when it is an entry) moved to the front.
std::vector<std::uint32_t> CycleOrder(std::uint32_t seed, std::uint32_t count, std::uint32_t lead);

class ShuffleCycle {
public:
    // For a complete, non-empty list. Resumes stored when it was made for
    // this very list; otherwise starts a new cycle from fresh_seed. opened_with
    // is an entry this run has shown already: it counts as the new cycle's
    // first picture, or as the stored cycle's next when it is that one.
    ShuffleCycle(const std::vector<std::string>& entries, const std::optional<ShuffleState>& stored,
                 std::uint32_t fresh_seed, std::optional<std::uint32_t> opened_with);

    // The entry to show next; the same until it is marked shown. 0 for an
    // empty list.
    std::uint32_t Next() const { return order_.empty() ? 0 : order_[state_.shown]; }
    // The entry index has reached the screen. Only the cycle's next entry
    // moves the cycle on; after the last one a new cycle starts from
    // fresh_seed. True when the state changed.
    bool MarkShown(std::uint32_t index, std::uint32_t fresh_seed, const std::vector<std::string>& entries);

    const ShuffleState& State() const { return state_; }

private:
    void StartCycle(std::uint32_t seed, std::uint32_t lead);

    std::vector<std::uint32_t> order_;
    ShuffleState state_;
};

}  // namespace cs
