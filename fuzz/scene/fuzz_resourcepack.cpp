// Any bytes as a ResourcePack container and as bare TEX and MSH records.
// Whatever reads must write back and read again to the same record.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "scene/resource_pack.h"

namespace {

template <typename T>
void CheckRoundTrip(const T& object) {
    std::vector<std::uint8_t> first;
    if (cs::WriteRecord(object, first) != cs::status::kOk) std::abort();
    T copy;
    if (cs::ReadRecord(first, &copy) != cs::status::kOk) std::abort();
    std::vector<std::uint8_t> second;
    if (cs::WriteRecord(copy, second) != cs::status::kOk || second != first) std::abort();
}

template <typename T>
void Exercise(std::span<const std::uint8_t> data) {
    T from_pack;
    const cs::Status packed = cs::ReadResourcePack(data, &from_pack);
    if (packed == cs::status::kOk) CheckRoundTrip(from_pack);
    T from_record;
    if (cs::ReadRecord(data, &from_record) == cs::status::kOk) CheckRoundTrip(from_record);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::uint8_t kEmpty = 0;
    const std::span<const std::uint8_t> bytes(size == 0 ? &kEmpty : data, size);
    Exercise<cs::Texture>(bytes);
    Exercise<cs::Mesh>(bytes);
    cs::Mesh mesh;
    if (cs::ReadResourcePack(bytes, &mesh) == cs::status::kOk) (void)mesh.DrawableArrays();
    return 0;
}
