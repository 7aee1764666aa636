#include "library/shuffle_memory.h"

#include <cstring>

#include "base/encoded_text.h"
#include "base/utf8_text.h"
#include "library/path_list.h"

namespace cs {
namespace {

constexpr std::uint32_t kLayoutVersion = 1;

std::string ShuffleKeyName() {
    static constexpr EncodedText kText("Shuffle");
    return kText.Decode();
}
std::string CycleValueName() {
    static constexpr EncodedText kText("Cycle");
    return kText.Decode();
}
std::string NextValueName() {
    static constexpr EncodedText kText("Next");
    return kText.Decode();
}

// Version, seed, count, shown, lead, then the fingerprint: little-endian words.
constexpr std::size_t kCycleBytes = 5 * 4 + 8;

void PutWord(std::uint8_t* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}
std::uint32_t GetWord(const std::uint8_t* in) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(in[i]) << (8 * i);
    return value;
}

}  // namespace

std::optional<ShuffleState> ReadShuffleState(SettingsStore& settings_key) {
    const auto key = settings_key.OpenSubkey(ShuffleKeyName(), false);
    if (!key) return std::nullopt;
    const auto cycle = key->Read(CycleValueName());
    if (!cycle || cycle->type != ValueType::Binary || cycle->bytes.size() != kCycleBytes) return std::nullopt;
    const std::uint8_t* b = cycle->bytes.data();
    if (GetWord(b) != kLayoutVersion) return std::nullopt;
    ShuffleState state;
    state.seed = GetWord(b + 4);
    state.count = GetWord(b + 8);
    state.shown = GetWord(b + 12);
    state.lead = GetWord(b + 16);
    state.fingerprint = GetWord(b + 20) | static_cast<std::uint64_t>(GetWord(b + 24)) << 32;
    if (state.count == 0 || state.shown >= state.count || (state.lead != kNoLead && state.lead >= state.count))
        return std::nullopt;
    // The next path only opens the next run before its list is complete; a
    // damaged one is simply not used.
    if (const auto next = key->Read(NextValueName()); next && next->type == ValueType::String) {
        const auto& bytes = next->bytes;
        const void* nul = std::memchr(bytes.data(), 0, bytes.size());
        if (nul) {
            const std::string_view path(reinterpret_cast<const char*>(bytes.data()),
                                        static_cast<const std::uint8_t*>(nul) - bytes.data());
            if (Utf16Length(path) <= kMaxPathChars) state.next_path.assign(path);
        }
    }
    return state;
}

void WriteShuffleState(SettingsStore& settings_key, const ShuffleState& state) {
    const auto key = settings_key.OpenSubkey(ShuffleKeyName(), true);
    if (!key) return;
    std::uint8_t bytes[kCycleBytes];
    PutWord(bytes, kLayoutVersion);
    PutWord(bytes + 4, state.seed);
    PutWord(bytes + 8, state.count);
    PutWord(bytes + 12, state.shown);
    PutWord(bytes + 16, state.lead);
    PutWord(bytes + 20, static_cast<std::uint32_t>(state.fingerprint));
    PutWord(bytes + 24, static_cast<std::uint32_t>(state.fingerprint >> 32));
    key->WriteBinary(CycleValueName(), bytes, sizeof bytes);
    key->WriteString(NextValueName(), state.next_path);
}

std::optional<ShuffleState> SettingsShuffleMemory::Load() {
    const auto key = open_ ? open_() : nullptr;
    return key ? ReadShuffleState(*key) : std::nullopt;
}

void SettingsShuffleMemory::Save(const ShuffleState& state) {
    if (const auto key = open_ ? open_() : nullptr) WriteShuffleState(*key, state);
}

}  // namespace cs
