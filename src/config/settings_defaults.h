#pragma once
// Defaults of the settings: the "Defaults" buttons of the dialog pages and
// the random appearance of a first run.
#include "config/settings.h"

namespace cs {

// Groups of ResetCubeDefaults: both pages, the Pictures page, the Cube
// Appearance page.
inline constexpr int kDefaultsAllGroups = 0;
inline constexpr int kDefaultsPicturesGroup = 1;
inline constexpr int kDefaultsCubeGroup = 2;

// Puts the group's settings back to their defaults. Group 1: "Show picture
// names", "Stretch image to fit cube", "Randomize order" (pictures), "Use
// maximum texture size", texture size cap. Group 2: "Rotation length", "Show
// picture length", "Cube style", "Background", "Background color", "Cube
// glass". Group 0: both. Any call also turns "Randomize order" (music) on.
void ResetCubeDefaults(CubeSettings& settings, int group);

// The Options page's "Defaults": its check boxes, "Target framerate" and
// "Other monitors:" take the values a new installation has. The resolution
// picks are left to the dialog, which shows the current mode once "Use a
// different resolution" is off; the music and the cube are not touched.
void ResetOptionsDefaults(GeneralSettings& settings);

// Four draws of cs::NextRandom(), in this order: "Rotation length" 1 to 4,
// "Show picture length" 1 to 8, "Cube style" 0 to 7, "Cube glass" 0 to 2.
void SeedFirstRunCubeDefaults(CubeSettings& settings);

}  // namespace cs
