#pragma once
// JPEG through libjpeg (6b interface). The decompressor lives as long as the
// decoder object and is reused for each picture.
#include <memory>

#include "imaging/picture_decoder.h"

namespace cs {

class JpegDecoder : public PictureDecoder {
public:
    JpegDecoder();
    ~JpegDecoder() override;

    void DecodeInto(Bitmap& target, DataSource& source) override;

    // On by default: fancy upsampling is turned off for speed.
    void SetFastDecoding(bool fast);

    struct State;  // the library's objects; opaque outside the decoder

private:
    std::unique_ptr<State> state_;
};

}  // namespace cs
