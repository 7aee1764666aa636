#pragma once
// The one exception type of the decoding layer. Its callers catch it at one
// boundary (texture loading, the file-list preview, picturetool); nothing
// else in the program throws.
#include <cstdint>
#include <string>

#include "imaging/pl_object.h"

namespace cs {

// Error codes carried by PLTextException.
namespace plerr {
inline constexpr std::int32_t kWrongSignature = 1;    // BMP, PCX header checks
inline constexpr std::int32_t kMalformed = 2;         // malformed or unsupported content, libpng errors
inline constexpr std::int32_t kPathNotFound = 3;      // file open
inline constexpr std::int32_t kCannotOpen = 4;        // file or resource cannot be opened
inline constexpr std::int32_t kAccessDenied = 5;      // access denied, sharing violation, mapping failed
inline constexpr std::int32_t kNotSupported = 6;      // unsupported format or feature, libjpeg errors
inline constexpr std::int32_t kDecoderLimit = 7;      // PCX plane and run limits
inline constexpr std::int32_t kUnknownFileType = 8;   // detection
inline constexpr std::int32_t kOutOfMemory = 10;      // bitmap creation, global copy
inline constexpr std::int32_t kEndOfData = 11;        // source read past the end
}  // namespace plerr

class PLTextException : public PLObject {
public:
    // Also restores the process's default error mode (on Windows), as the
    // decoding layer always has when it reports a failure.
    PLTextException(std::int32_t code, std::string text);
    PLTextException(const PLTextException&) = default;
    PLTextException& operator=(const PLTextException&) = default;
    ~PLTextException() override = default;

    virtual std::int32_t GetCode() const { return code_; }
    virtual const char* GetText() const { return text_.c_str(); }

private:
    std::int32_t code_;
    std::string text_;
};

// Formats "Decoder error: <message>\n", writes it to the decoder trace at
// level 0 and throws it with the code. Every decoder error built from a
// message goes out through here.
[[noreturn]] void ThrowDecoderError(std::int32_t code, const std::string& message);
[[noreturn]] void ThrowDecoderErrorf(std::int32_t code, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// Throws the text exactly as given, without the prefix; used for the few
// texts that are documented that way ("End of file reached while
// decoding.\n", "Image bit depth doesn't match request.").
[[noreturn]] void ThrowPlainError(std::int32_t code, const std::string& text);

namespace pltext {
inline constexpr const char* kEndOfData = "End of file reached while decoding.\n";
inline constexpr const char* kDepthMismatch = "Image bit depth doesn't match request.";
inline constexpr const char* kOutOfMemoryBitmap = "Out of memory creating bitmap.";
inline constexpr const char* kNoGlobalMemory = "Can't allocate global memory block.";
inline constexpr const char* kNotCompiled = "Library not compiled for this file type.";
inline constexpr const char* kUnknownFileType = "Unknown file type.";
inline constexpr const char* kBadDimensions = "Invalid image dimensions.";
}  // namespace pltext

}  // namespace cs
