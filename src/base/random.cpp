#include "base/random.h"

#include <atomic>

namespace cs {
namespace {
std::atomic<std::uint32_t> g_state{1};
}

void SeedRandom(std::uint32_t seed) { g_state.store(seed, std::memory_order_relaxed); }

int NextRandom() {
    // The classic linear congruential generator with a 15-bit output.
    std::uint32_t old = g_state.load(std::memory_order_relaxed), next;
    do {
        next = old * 214013u + 2531011u;
    } while (!g_state.compare_exchange_weak(old, next, std::memory_order_relaxed));
    return static_cast<int>((next >> 16) & 0x7FFFu);
}

}  // namespace cs
