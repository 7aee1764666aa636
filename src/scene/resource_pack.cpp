#include "scene/resource_pack.h"

#include <zlib.h>

#include <algorithm>
#include <new>

namespace cs {
namespace {

template <typename T>
void ClearTarget(T& target) {
    target.Clear();
}

template <typename T>
Status ReadRecordInto(std::span<const std::uint8_t> record, T* target) {
    if (target == nullptr) return status::kPointer;
    Serializer s = Serializer::Reader(record);
    target->Serialize(s);
    if (!s.Ok()) ClearTarget(*target);
    return s.GetStatus();
}

template <typename T>
Status ReadPack(std::span<const std::uint8_t> data, T* target) {
    if (target == nullptr) return status::kPointer;
    if (data.data() == nullptr) {
        ClearTarget(*target);
        return status::kPointer;
    }
    const std::size_t header = data.size() >= 1 ? data[0] : 0;
    const bool compressed = data.size() >= 3 && data[2] != 0;
    // The header must be in the data: its three flag bytes always, the size
    // field when the payload is compressed.
    if (data.size() < 3 || data.size() < header || (compressed && data.size() < resource_pack::kHeaderBytes)) {
        ClearTarget(*target);
        return status::kFail;
    }
    const std::span<const std::uint8_t> payload = data.subspan(header);
    if (!compressed) return ReadRecordInto(payload, target);

    const std::uint64_t declared = std::uint64_t{data[4]} | std::uint64_t{data[5]} << 8 |
                                   std::uint64_t{data[6]} << 16 | std::uint64_t{data[7]} << 24;
    // Space beyond what the stream could possibly produce is never used.
    const std::uint64_t bound = std::max<std::uint64_t>(payload.size(), 64) * resource_pack::kMaxInflateRatio;
    std::vector<std::uint8_t> inflated;
    try {
        inflated.resize(static_cast<std::size_t>(std::min(declared, bound)));
    } catch (const std::bad_alloc&) {
        ClearTarget(*target);
        return status::kOutOfMemory;
    }
    uLongf length = static_cast<uLongf>(inflated.size());
    // uncompress wants a non-null destination even for zero bytes.
    std::uint8_t empty = 0;
    const int result = uncompress(inflated.empty() ? &empty : inflated.data(), &length, payload.data(),
                                  static_cast<uLong>(payload.size()));
    if (result != Z_OK) {
        ClearTarget(*target);
        return result == Z_MEM_ERROR ? status::kOutOfMemory : status::kInvalidArg;
    }
    return ReadRecordInto(std::span<const std::uint8_t>(inflated.data(), length), target);
}

template <typename T>
Status WriteRecordOf(const T& source, std::vector<std::uint8_t>& out) {
    // Serialize is one traversal for all three modes; in write and measure
    // modes it only reads the object.
    T& object = const_cast<T&>(source);
    Serializer measure = Serializer::Measurer();
    object.Serialize(measure);
    if (!measure.Ok()) return measure.GetStatus();
    try {
        out.assign(measure.Position(), 0);
    } catch (const std::bad_alloc&) {
        return status::kOutOfMemory;
    }
    Serializer write = Serializer::Writer(out);
    object.Serialize(write);
    if (!write.Ok()) {
        out.clear();
        return write.GetStatus();
    }
    return status::kOk;
}

template <typename T>
Status WritePack(const T& source, std::vector<std::uint8_t>& out, bool compress) {
    std::vector<std::uint8_t> record;
    if (Status s = WriteRecordOf(source, record); Failed(s)) return s;
    if (record.size() > 0xFFFFFFFFu) return status::kInvalidArg;
    const auto size = static_cast<std::uint32_t>(record.size());
    out = {static_cast<std::uint8_t>(resource_pack::kHeaderBytes), resource_pack::kFormat,
           static_cast<std::uint8_t>(compress ? 1 : 0), resource_pack::kPadding,
           static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
           static_cast<std::uint8_t>(size >> 16), static_cast<std::uint8_t>(size >> 24)};
    if (!compress) {
        out.insert(out.end(), record.begin(), record.end());
        return status::kOk;
    }
    uLongf length = compressBound(static_cast<uLong>(record.size()));
    out.resize(resource_pack::kHeaderBytes + length);
    const int result = compress2(out.data() + resource_pack::kHeaderBytes, &length, record.data(),
                                 static_cast<uLong>(record.size()), Z_BEST_COMPRESSION);
    if (result != Z_OK) {
        out.clear();
        return result == Z_MEM_ERROR ? status::kOutOfMemory : status::kFail;
    }
    out.resize(resource_pack::kHeaderBytes + length);
    return status::kOk;
}

template <typename T>
Status Copy(const T& from, T& to) {
    if (&from == &to) return status::kNothingToDo;
    std::vector<std::uint8_t> record;
    if (Status s = WriteRecordOf(from, record); Failed(s)) return s;
    return ReadRecordInto(std::span<const std::uint8_t>(record), &to);
}

}  // namespace

Status ReadResourcePack(std::span<const std::uint8_t> data, Texture* target) { return ReadPack(data, target); }
Status ReadResourcePack(std::span<const std::uint8_t> data, Mesh* target) { return ReadPack(data, target); }
Status ReadRecord(std::span<const std::uint8_t> record, Texture* target) { return ReadRecordInto(record, target); }
Status ReadRecord(std::span<const std::uint8_t> record, Mesh* target) { return ReadRecordInto(record, target); }
Status WriteRecord(const Texture& source, std::vector<std::uint8_t>& out) { return WriteRecordOf(source, out); }
Status WriteRecord(const Mesh& source, std::vector<std::uint8_t>& out) { return WriteRecordOf(source, out); }
Status WriteResourcePack(const Texture& source, std::vector<std::uint8_t>& out, bool compress) {
    return WritePack(source, out, compress);
}
Status WriteResourcePack(const Mesh& source, std::vector<std::uint8_t>& out, bool compress) {
    return WritePack(source, out, compress);
}
Status CopyBySerializing(const Texture& from, Texture& to) { return Copy(from, to); }
Status CopyBySerializing(const Mesh& from, Mesh& to) { return Copy(from, to); }

}  // namespace cs
