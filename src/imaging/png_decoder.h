#pragma once
// PNG through libpng.
#include "imaging/picture_decoder.h"

namespace cs {

struct PngLayout;

class PngDecoder : public PictureDecoder {
public:
    void DecodeInto(Bitmap& target, DataSource& source) override;
    // Hands the rows over in bands of 16 as B G R A. An interlaced picture
    // is left to the whole decode (false, nothing read).
    bool DecodeRows(DataSource& source, RowReceiver& receiver) override;

private:
    static Resolution ResolutionOf(const PngLayout& layout);
};

}  // namespace cs
