#pragma once
// The system's picture codecs, where a platform has them: they read what the
// program's own decoders do not. A platform shell installs them once at
// start; without them the front end keeps to its own decoders.
#include <memory>
#include <string_view>
#include <vector>

#include "base/system_picture_formats.h"
#include "imaging/picture_decoder.h"

namespace cs {

// A decoder for whatever data an installed system codec accepts.
class SystemDecoder : public PictureDecoder {
public:
    // Whether a system codec reads the source's data. What it opened to find
    // out is kept for the decode that follows on the same source.
    virtual bool Recognises(DataSource& source) = 0;
};

// Held by a thread while it decodes: makes the thread ready for the codecs
// (COM on Windows) and releases what it took when it goes.
class CodecThreadLease {
public:
    virtual ~CodecThreadLease() = default;
};

class SystemCodecs {
public:
    virtual ~SystemCodecs() = default;
    // Every format a codec reads, the program's own included: their other
    // extensions (.jfif, .dib) list files that the own decoders then read.
    virtual const std::vector<SystemPictureFormat>& Formats() const = 0;
    virtual std::unique_ptr<SystemDecoder> MakeDecoder() const = 0;
    virtual std::unique_ptr<CodecThreadLease> LeaseThread() const = 0;
};

// Before any thread decodes; the codecs stay until the process ends.
void InstallSystemCodecs(std::unique_ptr<SystemCodecs> codecs);
// Null where none are installed.
const SystemCodecs* InstalledSystemCodecs();
// The installed codecs' formats; none where no codecs are installed.
std::vector<SystemPictureFormat> InstalledSystemFormats();

// For the lifetime of a thread that decodes (the loader, the list preview's
// worker): the thread is made ready once instead of for every picture.
class DecodingThread {
public:
    DecodingThread();
    ~DecodingThread();
    DecodingThread(const DecodingThread&) = delete;
    DecodingThread& operator=(const DecodingThread&) = delete;

private:
    std::unique_ptr<CodecThreadLease> lease_;
};

// A codec's list of file extensions as the system gives it (".tif;.tiff",
// ".gif,.GIF"): split at ';' and ',', blanks and dots dropped, lower case,
// each once, in their order.
std::vector<std::string> ParseCodecExtensions(std::string_view text);

}  // namespace cs
