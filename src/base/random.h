#pragma once
// The one process-wide pseudo-random generator (values 0 to 32767), seeded
// with the millisecond tick count at the start of a run. Only the main thread
// and, once started, the picture loader draw from it; draws are not ordered
// between the two, which is fine for picking faces and pictures.
#include <cstdint>

namespace cs {

void SeedRandom(std::uint32_t seed);
int NextRandom();  // 0..32767

}  // namespace cs
