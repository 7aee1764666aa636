#include "imaging/data_source.h"

#include <algorithm>
#include <utility>

#include "imaging/pl_exception.h"

namespace cs {

void DataSource::OpenRecord(std::string name, std::size_t size) {
    name_ = std::move(name);
    size_ = size;
    position_ = 0;
}

void DataSource::Close() {
    data_ = nullptr;
    size_ = 0;
    position_ = 0;
}

std::span<const std::uint8_t> DataSource::LookAhead(std::size_t n) {
    if (data_ == nullptr) return {};
    return {data_ + position_, std::min(n, Remaining())};
}

const std::uint8_t* DataSource::Read(std::size_t n) {
    // Compared before adding so that a huge n cannot wrap the position.
    if (n > Remaining() || data_ == nullptr) ThrowPlainError(plerr::kEndOfData, pltext::kEndOfData);
    const std::size_t old = position_;
    position_ += n;
    if (sink_ != nullptr && old / 1024 != position_ / 1024) {
        sink_->OnProgress(static_cast<double>(position_) / static_cast<double>(size_));
    }
    return data_ + old;
}

std::uint16_t DataSource::ReadU16LE() {
    const std::uint8_t* p = Read(2);
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t DataSource::ReadU32LE() {
    const std::uint8_t* p = Read(4);
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

std::uint16_t DataSource::ReadU16BE() {
    const std::uint8_t* p = Read(2);
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}

std::uint32_t DataSource::ReadU32BE() {
    const std::uint8_t* p = Read(4);
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | std::uint32_t{p[3]};
}

int MemorySource::Open(const std::uint8_t* data, std::size_t size) {
    OpenRecord("Mem", data != nullptr ? size : 0);
    SetData(data);
    return 0;
}

}  // namespace cs
