#pragma once
// PSD pictures: the run-length composite image of greyscale, indexed and
// RGB files (8 bits per channel); layers are skipped. Big-endian fields.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/picture_decoder.h"

namespace cs {

class PsdDecoder : public PictureDecoder {
public:
    PsdDecoder() = default;
    ~PsdDecoder() override = default;

    void DecodeInto(Bitmap& target, DataSource& source) override;

    // What one decode learnt about the layers; emptied when the decode ends.
    struct LayerChannel {
        std::int16_t id = 0;
        std::uint32_t length = 0;
    };
    struct Layer {
        std::int32_t top = 0, left = 0, bottom = 0, right = 0;
        std::vector<LayerChannel> channels;
        std::array<char, 4> blendSignature{};
        std::array<char, 4> blendKey{};
        std::uint8_t opacity = 0;
        std::uint8_t clipping = 0;
        std::uint8_t flags = 0;
        std::uint32_t extraLength = 0;
    };

private:
    void ReadColourModeData(DataSource& source);
    void ReadImageResources(DataSource& source);
    void ReadLayerSection(DataSource& source);
    // Width and height already checked against the bitmap limit.
    void ReadComposite(Bitmap& target, DataSource& source, int mode, int channels, std::int32_t width,
                       std::int32_t height);

    std::array<Pixel32, 256> palette_{};
    bool hasPalette_ = false;
    Resolution resolution_;
    std::size_t layerSectionStart_ = 0;
    std::uint32_t layerSectionLength_ = 0;
    std::vector<Layer> layers_;
};

}  // namespace cs
