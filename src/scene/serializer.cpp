#include "scene/serializer.h"

#include <cstring>

namespace cs {

Serializer Serializer::Reader(std::span<const std::uint8_t> data) {
    return Serializer(SerialMode::kRead, data.data(), nullptr, data.size());
}

Serializer Serializer::Writer(std::span<std::uint8_t> buffer) {
    return Serializer(SerialMode::kWrite, nullptr, buffer.data(), buffer.size());
}

Serializer Serializer::Measurer() { return Serializer(SerialMode::kMeasure, nullptr, nullptr, 0); }

void Serializer::Fail(Status failure) {
    if (status_ == status::kOk) status_ = failure;
}

bool Serializer::CanRead(std::uint64_t n) const {
    if (mode_ != SerialMode::kRead) return true;
    return n <= size_ - position_;
}

bool Serializer::Bytes(void* field, std::size_t n) {
    if (!Ok()) return false;
    switch (mode_) {
        case SerialMode::kMeasure:
            break;
        case SerialMode::kRead:
            if (n > size_ - position_) {
                Fail(status::kFail);
                return false;
            }
            if (n != 0) std::memcpy(field, in_ + position_, n);
            break;
        case SerialMode::kWrite:
            // The buffer was sized by measuring the same object; running
            // out means the object changed in between.
            if (n > size_ - position_) {
                Fail(status::kInvalidArg);
                return false;
            }
            if (n != 0) std::memcpy(out_ + position_, field, n);
            break;
    }
    position_ += n;
    return true;
}

bool Serializer::U8(std::uint8_t& value) { return Bytes(&value, 1); }

bool Serializer::U32(std::uint32_t& value) {
    std::uint8_t b[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                         static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    if (!Bytes(b, 4)) return false;
    if (Reading()) {
        value = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    }
    return true;
}

bool Serializer::F32(float& value) {
    static_assert(sizeof(float) == 4);
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    if (!U32(bits)) return false;
    if (Reading()) std::memcpy(&value, &bits, 4);
    return true;
}

}  // namespace cs
