#pragma once
// One traversal serves reading, writing and measuring a record: the object's
// Serialize walks its fields in record order and the Serializer decides what
// happens to each. All values are little-endian; floats are moved as their
// 32-bit patterns so that every bit survives a round trip.
#include <cstddef>
#include <cstdint>
#include <span>

#include "base/status.h"

namespace cs {

enum class SerialMode { kRead, kWrite, kMeasure };

class Serializer {
public:
    static Serializer Reader(std::span<const std::uint8_t> data);
    static Serializer Writer(std::span<std::uint8_t> buffer);
    static Serializer Measurer();

    SerialMode Mode() const { return mode_; }
    bool Reading() const { return mode_ == SerialMode::kRead; }

    // Each moves one field: reading fills it from the buffer, writing copies
    // it out, measuring only counts. False once anything has failed; a
    // failed serializer moves nothing more.
    bool Bytes(void* field, std::size_t n);
    bool U8(std::uint8_t& value);
    bool U32(std::uint32_t& value);
    bool F32(float& value);

    // For readers sizing an allocation from the data: true when at least n
    // bytes are left to read. Always true when writing or measuring.
    bool CanRead(std::uint64_t n) const;

    // Bytes moved or counted so far.
    std::size_t Position() const { return position_; }
    Status GetStatus() const { return status_; }
    bool Ok() const { return status_ == status::kOk; }
    // Records the first failure; later ones are ignored.
    void Fail(Status failure);

private:
    Serializer(SerialMode mode, const std::uint8_t* in, std::uint8_t* out, std::size_t size)
        : mode_(mode), in_(in), out_(out), size_(size) {}

    SerialMode mode_;
    const std::uint8_t* in_;
    std::uint8_t* out_;
    std::size_t size_;
    std::size_t position_ = 0;
    Status status_ = status::kOk;
};

}  // namespace cs
