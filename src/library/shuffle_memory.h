#pragma once
// Where the picture shuffle's state is kept between runs: a subkey of the
// settings key of its own, never the list subkeys.
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "config/settings_store.h"
#include "library/shuffle_cycle.h"

namespace cs {

// The state as stored; none when it is missing, of the wrong type or size,
// or does not hang together.
std::optional<ShuffleState> ReadShuffleState(SettingsStore& settings_key);
// Writes are silent on failure: the next run then starts a new cycle.
void WriteShuffleState(SettingsStore& settings_key, const ShuffleState& state);

// The same state as one run of bytes, for a memory kept in a file: the
// stored cycle's bytes, then the next path.
std::vector<std::uint8_t> EncodeShuffleState(const ShuffleState& state);
std::optional<ShuffleState> DecodeShuffleState(std::span<const std::uint8_t> bytes);

class ShuffleMemory {
public:
    virtual ~ShuffleMemory() = default;
    virtual std::optional<ShuffleState> Load() = 0;
    virtual void Save(const ShuffleState& state) = 0;
};

// The memory in the settings key, opened afresh for each load and save, so
// that it can be used from the loader thread at any time.
class SettingsShuffleMemory final : public ShuffleMemory {
public:
    using KeyOpener = std::function<std::unique_ptr<SettingsStore>()>;
    explicit SettingsShuffleMemory(KeyOpener open_settings_key) : open_(std::move(open_settings_key)) {}
    std::optional<ShuffleState> Load() override;
    void Save(const ShuffleState& state) override;

private:
    KeyOpener open_;
};

}  // namespace cs
