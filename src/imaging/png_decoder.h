#pragma once
// PNG through libpng.
#include "imaging/picture_decoder.h"

namespace cs {

class PngDecoder : public PictureDecoder {
public:
    void DecodeInto(Bitmap& target, DataSource& source) override;
};

}  // namespace cs
