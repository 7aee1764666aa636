#include "imaging/bitmap_filter.h"

namespace cs {

void BitmapFilter::ApplyInPlace(Bitmap& bitmap) const {
    PlainBitmap result;
    Apply(bitmap, result);
    bitmap.CreateCopy(result);
}

void BitmapFilter::Apply(const Bitmap& source, Bitmap& target) const {
    if (&source != &target) target.CreateCopy(source);
    ApplyInPlace(target);
}

void Bitmap::ApplyFilter(const BitmapFilter& filter) { filter.ApplyInPlace(*this); }

}  // namespace cs
