#pragma once
#include "imaging/picture_decoder.h"

namespace cs {

class BmpDecoder : public PictureDecoder {
public:
    void DecodeInto(Bitmap& target, DataSource& source) override;
};

}  // namespace cs
