#include "library/shuffle_cycle.h"

#include <numeric>
#include <utility>

#include "base/trace.h"

namespace cs {
namespace {

// A small generator of our own: the order must come out the same from the
// same seed in every run and build, whatever the process-wide generator does.
class SeededSequence {
public:
    explicit SeededSequence(std::uint32_t seed) : state_(seed) {}
    std::uint32_t Next() {
        // splitmix64
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
    }
    // Uniform in 0..bound-1 (bound > 0), without the bias of a plain modulo.
    std::uint32_t Below(std::uint32_t bound) {
        const std::uint32_t limit = static_cast<std::uint32_t>(-bound) % bound;
        for (;;) {
            const std::uint32_t value = Next();
            if (value >= limit) return value % bound;
        }
    }

private:
    std::uint64_t state_;
};

}  // namespace

std::uint64_t ListFingerprint(const std::vector<std::string>& entries) {
    // FNV-1a over the paths, each closed by a NUL so that {"ab","c"} and
    // {"a","bc"} differ.
    std::uint64_t hash = 0xCBF29CE484222325ull;
    const auto mix = [&hash](unsigned char byte) {
        hash ^= byte;
        hash *= 0x100000001B3ull;
    };
    for (const auto& entry : entries) {
        for (const char c : entry) mix(static_cast<unsigned char>(c));
        mix(0);
    }
    return hash;
}

std::vector<std::uint32_t> CycleOrder(std::uint32_t seed, std::uint32_t count, std::uint32_t lead) {
    std::vector<std::uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    SeededSequence random(seed);
    for (std::uint32_t i = count; i > 1; --i) std::swap(order[i - 1], order[random.Below(i)]);
    if (lead < count) {
        for (std::uint32_t i = 0; i < count; ++i) {
            if (order[i] == lead) {
                std::swap(order[0], order[i]);
                break;
            }
        }
    }
    return order;
}

ShuffleCycle::ShuffleCycle(const std::vector<std::string>& entries, const std::optional<ShuffleState>& stored,
                           std::uint32_t fresh_seed, std::optional<std::uint32_t> opened_with) {
    const auto count = static_cast<std::uint32_t>(entries.size());
    state_.count = count;
    state_.fingerprint = ListFingerprint(entries);
    if (count == 0) return;
    const bool resumable = stored && stored->count == count && stored->fingerprint == state_.fingerprint &&
                           stored->shown < count && (stored->lead == kNoLead || stored->lead < count);
    if (resumable) {
        state_.seed = stored->seed;
        state_.lead = stored->lead;
        state_.shown = stored->shown;
        order_ = CycleOrder(state_.seed, count, state_.lead);
        if (opened_with) MarkShown(*opened_with, fresh_seed, entries);
    } else {
        const bool opened = opened_with && *opened_with < count;
        StartCycle(fresh_seed, opened ? *opened_with : kNoLead);
        if (opened) MarkShown(*opened_with, fresh_seed ^ 0x5BD1E995u, entries);
    }
    state_.next_path = entries[Next()];
}

void ShuffleCycle::StartCycle(std::uint32_t seed, std::uint32_t lead) {
    state_.seed = seed;
    state_.lead = lead;
    state_.shown = 0;
    order_ = CycleOrder(seed, state_.count, lead);
}

bool ShuffleCycle::MarkShown(std::uint32_t index, std::uint32_t fresh_seed, const std::vector<std::string>& entries) {
    if (order_.empty() || index != Next()) return false;
    Tracef("Shuffle cycle %u of %u: %s\n", static_cast<unsigned>(state_.shown + 1), static_cast<unsigned>(state_.count),
           entries[index].c_str());
    if (++state_.shown >= state_.count) StartCycle(fresh_seed, kNoLead);
    state_.next_path = entries[Next()];
    return true;
}

}  // namespace cs
