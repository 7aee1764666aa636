#pragma once
// Switching the display to the saver's own mode and back, with the fallback
// attempts for drivers that refuse the exact mode.
#include <cstdint>
#include <string>

namespace cs {

struct DisplayModeRequest {
    int width = 0;
    int height = 0;
    int color_depth = 0;
    int refresh_rate = 0;
};

// Which fields of a mode record a change applies.
enum DisplayModeFields : std::uint32_t {
    kFieldBitsPerPel = 0x00040000,
    kFieldPelsWidth = 0x00080000,
    kFieldPelsHeight = 0x00100000,
    kFieldDisplayFrequency = 0x00400000,
};

struct DisplayModeRecord {
    int width = 0;
    int height = 0;
    int color_depth = 0;
    int refresh_rate = 0;
    std::uint32_t fields = 0;
};

// Result codes of a mode change, as the system reports them.
enum DisplayChangeResult : long {
    kChangeSuccessful = 0,
    kChangeRestart = 1,
    kChangeFailed = -1,
    kChangeBadMode = -2,
};

class DisplaySettings {
public:
    virtual ~DisplaySettings() = default;
    // Back to the mode stored in the user's profile.
    virtual void RestoreNormalMode() = 0;
    // Enumerates the primary display's modes until one matches exactly; when
    // none does, the record holds the last one enumerated (false returned).
    virtual bool FindMode(const DisplayModeRequest& request, DisplayModeRecord& record) = 0;
    // A temporary change (never written to the profile).
    virtual long ChangeTemporarily(const DisplayModeRecord& record) = 0;
    virtual void ShowError(const std::string& text) = 0;
};

// The message for a refused change, filled with the record's numbers.
std::string DisplayChangeErrorText(long result, const DisplayModeRecord& record);

// All-zero width, height or depth restores the normal mode. Returns true when
// the display is in the requested state.
bool SwitchDisplayMode(DisplaySettings& display, const DisplayModeRequest& request);

}  // namespace cs
