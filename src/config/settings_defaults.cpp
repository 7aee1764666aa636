#include "config/settings_defaults.h"

#include "base/random.h"

namespace cs {

void ResetCubeDefaults(CubeSettings& settings, int group) {
    const CubeSettings defaults;
    if (group == kDefaultsAllGroups || group == kDefaultsPicturesGroup) {
        settings.show_picture_names = defaults.show_picture_names;
        settings.stretch_to_fit = defaults.stretch_to_fit;
        settings.randomize_pictures = defaults.randomize_pictures;
        settings.use_max_texture_size = defaults.use_max_texture_size;
        settings.texture_size_cap = defaults.texture_size_cap;
    }
    if (group == kDefaultsAllGroups || group == kDefaultsCubeGroup) {
        settings.rotation_length = defaults.rotation_length;
        settings.show_picture_length = defaults.show_picture_length;
        settings.cube_style = defaults.cube_style;
        settings.background = defaults.background;
        settings.background_color = defaults.background_color;
        settings.cube_glass = defaults.cube_glass;
    }
    // The music page has no button of its own, so every reset restores it.
    settings.randomize_music = 1;
}

void ResetOptionsDefaults(GeneralSettings& settings) {
    const GeneralSettings defaults;
    settings.show_date_time = defaults.show_date_time;
    settings.show_frame_rate = defaults.show_frame_rate;
    settings.blend_on_open = defaults.blend_on_open;
    settings.blend_on_close = defaults.blend_on_close;
    settings.target_framerate = defaults.target_framerate;
    settings.use_other_resolution = defaults.use_other_resolution;
    settings.other_monitors = defaults.other_monitors;
    settings.exit_on_escape_only = defaults.exit_on_escape_only;
    settings.support_power_down = defaults.support_power_down;
}

void SeedFirstRunCubeDefaults(CubeSettings& settings) {
    settings.rotation_length = 1 + NextRandom() % 4;
    settings.show_picture_length = 1 + NextRandom() % 8;
    settings.cube_style = NextRandom() % 8;
    settings.cube_glass = NextRandom() % 3;
}

}  // namespace cs
