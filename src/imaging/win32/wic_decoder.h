#pragma once
// Pictures through the system's imaging codecs: GIF, TIFF, ICO, DDS and
// JPEG XR everywhere, WebP, HEIF, AVIF and camera raw files where their
// codecs are installed. Only the first frame of an animation is read.
#include <memory>

#include "imaging/system_codecs.h"
#include "imaging/win32/com_thread.h"

namespace cs {

class WicDecoder final : public SystemDecoder {
public:
    WicDecoder();
    ~WicDecoder() override;

    // Throws code 10 for a GIF whose screen size is beyond the bitmap limit.
    bool Recognises(DataSource& source) override;
    void DecodeInto(Bitmap& target, DataSource& source) override;
    // Decodes to the size the receiver allows: the codec's own scaled
    // decode where it has one, else the system's scaler (Fant).
    bool DecodeRows(DataSource& source, RowReceiver& receiver) override;

protected:
    // From the picture's metadata: the TIFF orientation tag, or the photo
    // orientation property where the codec exposes one.
    int ReadOrientation(DataSource& source) override;

private:
    struct Picture;
    Picture& Open(DataSource& source);

    ComThread com_;  // first: it outlives every COM object below
    std::unique_ptr<Picture> picture_;
};

}  // namespace cs
