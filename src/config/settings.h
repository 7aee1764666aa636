#pragma once
// Every user setting, as plain fields. The general settings belong to the
// saver framework, the cube settings to the cube saver; the value names they
// are stored under ("000_001" and so on) are in settings_values.h.
#include <array>
#include <cstdint>

namespace cs {

// Settings of the saver framework (window, loop, pacing, display mode).
// The values here are the constructor values; they double as defaults.
struct GeneralSettings {
    std::int32_t value_000 = 1;            // "000_000", kept but unused
    std::int32_t show_frame_rate = 0;      // "000_001" "Show frame rate"
    std::int32_t support_power_down = 1;   // "000_002" "Support display power down"
    std::int32_t value_003 = 1;            // "000_003", kept but unused
    std::int32_t value_004 = 1;            // "000_004", kept but unused
    float value_005 = 1.0f;                // "000_005", 4-byte binary, kept but unused
    std::int32_t use_other_resolution = 0; // "000_007" "Use a different resolution"
    std::int32_t resolution_width = 0;     // "000_008" "Resolution", width
    std::int32_t resolution_height = 0;    // "000_009" "Resolution", height
    std::int32_t color_depth = 0;          // "000_010" "Color depth"
    std::int32_t refresh_rate = 0;         // "000_011" "Refresh rate"
    std::int32_t frame_limiter = 0;        // "000_012" (no dialog control)
    std::int32_t show_date_time = 0;       // "000_013" "Show date and time"
    std::int32_t blend_on_open = 0;        // "000_014" "Enable blending on open"
    std::int32_t exit_on_escape_only = 0;  // "000_015" "Exit on Escape key only"
    std::int32_t blend_on_close = 0;       // "000_016" "Enable blending on close"
    std::array<char, 260> text_017{};      // "000_017", kept but unused
    std::int32_t target_framerate = 3;     // "000_018" "Target framerate" (list index)
    std::array<char, 32> text_075{};       // "000_075", kept but unused
    std::array<char, 32> text_076{};       // "000_076", kept but unused
    std::int32_t other_monitors = 1;       // "OtherMonitors" "Other monitors:" (OtherMonitors)
};

// What the full-screen saver shows on the monitors besides the primary.
enum class OtherMonitors : std::int32_t { Black = 0, OwnCube = 1 };

enum class CubeStyle : std::int32_t {
    Huge = 0, Large = 1, Medium = 2, Small = 3, Tiny = 4, Zooming = 5, Bouncing = 6, BouncingBig = 7,
};
enum class BackgroundKind : std::int32_t { SolidColor = 0, FirstPicture = 1, StarField = 2 };
enum class GlassKind : std::int32_t { SkyBlue = 0, SilverChrome = 1, Disabled = 2 };

// Settings of the cube scene, stored from "000_100" on in this order.
struct CubeSettings {
    std::int32_t rotation_length = 2;       // "Rotation length", seconds
    std::int32_t cube_style = 1;            // "Cube style" (CubeStyle)
    std::int32_t stretch_to_fit = 0;        // "Stretch image to fit cube"
    std::int32_t randomize_pictures = 1;    // "Randomize order" (pictures)
    std::int32_t background = 2;            // "Background" (BackgroundKind)
    std::int32_t background_color = 0;      // "Background color", 0x00BBGGRR
    std::int32_t cube_glass = 0;            // "Cube glass" (GlassKind)
    std::int32_t show_picture_length = 4;   // "Show picture length", seconds
    std::int32_t show_picture_names = 0;    // "Show picture names"
    std::int32_t randomize_music = 1;       // "Randomize order" (music)
    std::int32_t use_max_texture_size = 1;  // "Use maximum texture size"
    std::int32_t texture_size_cap = 1024;   // texture size cap (no dialog control)
};

}  // namespace cs
