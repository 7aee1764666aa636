#pragma once
// Cameras and phones store many photos as the sensor saw them and record in
// the Exif block how they are to be turned for showing. The texture path and
// the file-list preview turn them upright; the plain decodes keep the
// pictures as stored.
#include <cstdint>
#include <span>

#include "imaging/bitmap.h"
#include "imaging/row_receiver.h"

namespace cs {

// The Exif orientation of a JPEG file given from its start: 1 to 8 as the
// Exif tag counts them (1: as stored, 6: to be turned a quarter clockwise,
// ...). 1 for anything else: not a JPEG, no Exif block before the first
// scan, no orientation tag in IFD0, a tag of another type or count, a value
// out of range, or a block that points outside itself. Only IFD0 is read,
// and no more than its first few kilobytes.
int ReadExifOrientation(std::span<const std::uint8_t> file);

// True for the orientations that swap width and height (5 to 8).
bool OrientationTurns(int orientation);

// The size of a stored picture once it is upright.
PictureSize UprightSize(PictureSize stored, int orientation);

// Turns a 32-bit bitmap upright from the orientation it is stored in; other
// depths and orientation 1 (or out of range) stay as they are. It works on
// a copy of the bitmap, so it is meant for a fitted picture, not a whole
// camera picture.
void OrientBitmap(Bitmap& bitmap, int orientation);

}  // namespace cs
