#pragma once
// PCX pictures: run-length data of 1 to 4 bit planes at 1, 2, 4 or 8 bits,
// decoded to 32 bits without alpha. Little-endian fields.
#include "imaging/picture_decoder.h"

namespace cs {

class PcxDecoder : public PictureDecoder {
public:
    PcxDecoder() = default;
    ~PcxDecoder() override = default;

    // A file that ends inside its image data still decodes: the rest of the
    // picture is index 0 (or black for 24-bit files). Only the 256-colour
    // palette after the data is then missing, which throws code 11.
    void DecodeInto(Bitmap& target, DataSource& source) override;
};

}  // namespace cs
