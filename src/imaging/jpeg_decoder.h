#pragma once
// JPEG through libjpeg (6b interface). The library's objects live as long
// as the decoder object; each picture after the first gets a fresh
// decompressor, so no table carries over from one picture to the next.
#include <memory>

#include "imaging/picture_decoder.h"

namespace cs {

class JpegDecoder : public PictureDecoder {
public:
    JpegDecoder();
    ~JpegDecoder() override;

    void DecodeInto(Bitmap& target, DataSource& source) override;
    // Hands the rows over in bands of 16 as B G R A, greyscale included, at
    // the reduction the receiver allows (DCT scaling).
    bool DecodeRows(DataSource& source, RowReceiver& receiver) override;

    // On by default: fancy upsampling is turned off for speed.
    void SetFastDecoding(bool fast);

    struct State;  // the library's objects; opaque outside the decoder

private:
    // Reads the header; a receiver, when given, may have the picture
    // decoded at a reduced size.
    void ReadHeader(DataSource& source, RowReceiver* receiver);
    // Starts the library's decompression, RGB (and greyscale when
    // `greyAsBgra` is set) straight to B G R A.
    void StartOutput(bool greyAsBgra);

    std::unique_ptr<State> state_;
};

}  // namespace cs
