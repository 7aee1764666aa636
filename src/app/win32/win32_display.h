#pragma once

namespace cs {

// Sets the display mode for the saver (all zero: back to the normal mode).
bool SwitchSystemDisplayMode(int width, int height, int color_depth, int refresh_rate);

}  // namespace cs
