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

// The cycle's words; none when they are of another layout or do not hang
// together.
std::optional<ShuffleState> DecodeCycle(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kCycleBytes) return std::nullopt;
    const std::uint8_t* b = bytes.data();
    if (GetWord(b) != kLayoutVersion) return std::nullopt;
    ShuffleState state;
    state.seed = GetWord(b + 4);
    state.count = GetWord(b + 8);
    state.shown = GetWord(b + 12);
    state.lead = GetWord(b + 16);
    state.fingerprint = GetWord(b + 20) | static_cast<std::uint64_t>(GetWord(b + 24)) << 32;
    if (state.count == 0 || state.shown >= state.count || (state.lead != kNoLead && state.lead >= state.count))
        return std::nullopt;
    return state;
}

void EncodeCycle(const ShuffleState& state, std::uint8_t* bytes) {
    PutWord(bytes, kLayoutVersion);
    PutWord(bytes + 4, state.seed);
    PutWord(bytes + 8, state.count);
    PutWord(bytes + 12, state.shown);
    PutWord(bytes + 16, state.lead);
    PutWord(bytes + 20, static_cast<std::uint32_t>(state.fingerprint));
    PutWord(bytes + 24, static_cast<std::uint32_t>(state.fingerprint >> 32));
}

// The next path only opens the next run before its list is complete; one
// too long for a list is simply not used.
std::string CheckedNextPath(std::span<const std::uint8_t> bytes) {
    const std::string_view path(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return Utf16Length(path) <= kMaxPathChars ? std::string(path) : std::string();
}

}  // namespace

std::optional<ShuffleState> ReadShuffleState(SettingsStore& settings_key) {
    const auto key = settings_key.OpenSubkey(ShuffleKeyName(), false);
    if (!key) return std::nullopt;
    const auto cycle = key->Read(CycleValueName());
    if (!cycle || cycle->type != ValueType::Binary) return std::nullopt;
    auto state = DecodeCycle(cycle->bytes);
    if (!state) return std::nullopt;
    if (const auto next = key->Read(NextValueName()); next && next->type == ValueType::String) {
        const auto& bytes = next->bytes;
        // Only up to its terminator; one without is not used.
        const void* nul = std::memchr(bytes.data(), 0, bytes.size());
        if (nul) state->next_path = CheckedNextPath({bytes.data(), static_cast<const std::uint8_t*>(nul)});
    }
    return state;
}

void WriteShuffleState(SettingsStore& settings_key, const ShuffleState& state) {
    const auto key = settings_key.OpenSubkey(ShuffleKeyName(), true);
    if (!key) return;
    std::uint8_t bytes[kCycleBytes];
    EncodeCycle(state, bytes);
    key->WriteBinary(CycleValueName(), bytes, sizeof bytes);
    key->WriteString(NextValueName(), state.next_path);
}

std::vector<std::uint8_t> EncodeShuffleState(const ShuffleState& state) {
    std::vector<std::uint8_t> bytes(kCycleBytes + state.next_path.size());
    EncodeCycle(state, bytes.data());
    std::memcpy(bytes.data() + kCycleBytes, state.next_path.data(), state.next_path.size());
    return bytes;
}

std::optional<ShuffleState> DecodeShuffleState(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kCycleBytes) return std::nullopt;
    auto state = DecodeCycle(bytes.first(kCycleBytes));
    if (state) state->next_path = CheckedNextPath(bytes.subspan(kCycleBytes));
    return state;
}

std::optional<ShuffleState> SettingsShuffleMemory::Load() {
    const auto key = open_ ? open_() : nullptr;
    return key ? ReadShuffleState(*key) : std::nullopt;
}

void SettingsShuffleMemory::Save(const ShuffleState& state) {
    if (const auto key = open_ ? open_() : nullptr) WriteShuffleState(*key, state);
}

}  // namespace cs
