#pragma once
// The growable array of the asset formats. Its record form is a block of
// capacity, growth step and count followed by the elements; capacity and
// growth step are kept as read so that a record is written back unchanged.
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "scene/serializer.h"

namespace cs {

template <typename T>
class MeshArray {
    static_assert(std::is_same_v<T, float> || std::is_same_v<T, std::uint32_t> || std::is_same_v<T, char>,
                  "records hold 32-bit floats, 32-bit indices or name bytes");

public:
    explicit MeshArray(std::uint32_t growth = sizeof(T) == 1 ? 1 : 4) : growth_(growth) {}

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    T* data() { return items_.data(); }
    const T* data() const { return items_.data(); }
    T& operator[](std::size_t i) { return items_[i]; }
    const T& operator[](std::size_t i) const { return items_[i]; }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

    std::uint32_t Capacity() const { return capacity_; }
    std::uint32_t Growth() const { return growth_; }

    // Sizes the array to exactly n elements (zeroed), capacity n.
    void Resize(std::size_t n) {
        items_.assign(n, T{});
        capacity_ = static_cast<std::uint32_t>(n);
    }
    void Assign(std::vector<T> items) {
        items_ = std::move(items);
        capacity_ = static_cast<std::uint32_t>(items_.size());
    }
    // Appends, growing the reserved capacity by the growth step when full.
    void Append(const T& value) {
        if (items_.size() >= capacity_) capacity_ += growth_ == 0 ? 1 : growth_;
        items_.push_back(value);
    }
    void Clear() {
        items_.clear();
        capacity_ = 0;
    }

    friend bool operator==(const MeshArray&, const MeshArray&) = default;

    // The block (or, headerless, the elements alone at the current size).
    // A block whose capacity is below its count, or whose count promises
    // more elements than the data holds, fails with E_FAIL before anything
    // is allocated and leaves the array empty.
    void Serialize(Serializer& s, bool headerless = false) {
        if (!headerless) {
            std::uint32_t capacity = capacity_;
            std::uint32_t growth = growth_;
            std::uint32_t count = static_cast<std::uint32_t>(items_.size());
            if (!s.U32(capacity) || !s.U32(growth) || !s.U32(count)) return;
            if (s.Reading()) {
                Clear();
                if (capacity < count || !s.CanRead(std::uint64_t{count} * sizeof(T))) {
                    s.Fail(status::kFail);
                    return;
                }
                items_.resize(count);
                capacity_ = capacity;
                growth_ = growth;
            }
        } else if (s.Reading() && !s.CanRead(std::uint64_t{items_.size()} * sizeof(T))) {
            s.Fail(status::kFail);
            return;
        }
        for (T& item : items_) {
            bool ok;
            if constexpr (std::is_same_v<T, float>) {
                ok = s.F32(item);
            } else if constexpr (std::is_same_v<T, std::uint32_t>) {
                ok = s.U32(item);
            } else {
                ok = s.Bytes(&item, 1);
            }
            if (!ok) return;
        }
    }

private:
    std::vector<T> items_;
    std::uint32_t capacity_ = 0;
    std::uint32_t growth_;
};

}  // namespace cs
