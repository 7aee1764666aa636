#pragma once
// Filters that turn one bitmap into another. The two entry points are
// written in terms of each other, so a filter overrides whichever suits it
// and gets the other for free (overriding neither would recurse).
#include "imaging/bitmap.h"
#include "imaging/pl_object.h"

namespace cs {

class BitmapFilter : public PLObject {
public:
    BitmapFilter() = default;
    ~BitmapFilter() override = default;

    // Filters into a temporary PlainBitmap, then copies that back at its own
    // depth, so the bitmap keeps its class (a DibBitmap stays one).
    virtual void ApplyInPlace(Bitmap& bitmap) const;
    // Copies the source into the target when they differ, then filters the
    // target in place.
    virtual void Apply(const Bitmap& source, Bitmap& target) const;
};

}  // namespace cs
