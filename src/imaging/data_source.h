#pragma once
// Where a decoder's bytes come from: a file mapped read-only, a memory block
// or a module resource. All three hold the whole data in memory, so reading
// is pointer arithmetic and never copies.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "imaging/pl_object.h"

namespace cs {

// Told how far a decode has got, as a fraction 0..1.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void OnProgress(double fraction) = 0;
};

class DataSource : public PLObject {
public:
    explicit DataSource(ProgressSink* sink = nullptr) : sink_(sink) {}
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;
    ~DataSource() override = default;

    // Records the name and size and rewinds to the start.
    virtual void OpenRecord(std::string name, std::size_t size);
    virtual void Close();
    // Up to n bytes from the current position: fewer when the data ends
    // sooner. Neither checks further nor advances.
    virtual std::span<const std::uint8_t> LookAhead(std::size_t n);
    // Consumes n bytes and returns a pointer to them. Throws code 11 "End of
    // file reached while decoding.\n" when fewer than n bytes are left (the
    // position is then left where it was).
    virtual const std::uint8_t* Read(std::size_t n);
    // The first byte of the data (not of what is left).
    virtual const std::uint8_t* WholeData() { return data_; }

    void Skip(std::size_t n) { Read(n); }
    std::uint8_t ReadByte() { return *Read(1); }
    std::uint16_t ReadU16LE();
    std::uint32_t ReadU32LE();
    std::uint16_t ReadU16BE();
    std::uint32_t ReadU32BE();

    const std::string& Name() const { return name_; }
    std::size_t Size() const { return size_; }
    std::size_t Position() const { return position_; }
    std::size_t Remaining() const { return size_ - position_; }
    ProgressSink* Sink() const { return sink_; }
    void SetSink(ProgressSink* sink) { sink_ = sink; }

protected:
    // For the subclasses' own opens.
    void SetData(const std::uint8_t* data) { data_ = data; }

private:
    std::string name_;
    std::size_t size_ = 0;
    std::size_t position_ = 0;
    const std::uint8_t* data_ = nullptr;
    ProgressSink* sink_ = nullptr;
};

// A file mapped read-only with the sequential-scan hint (mmap on the host).
class FileSource final : public DataSource {
public:
    explicit FileSource(ProgressSink* sink = nullptr);
    ~FileSource() override;

    // 0 on success; 3 when a folder of the path does not exist; 5 for access
    // denied, a sharing violation, a folder, or when the mapping fails (an
    // empty file cannot be mapped); 4 for any other failure to open,
    // including a missing file.
    int Open(const char* fileName);
    void Close() override;

private:
    struct Mapping;
    std::unique_ptr<Mapping> mapping_;
};

// A block of memory owned by the caller, who keeps it alive while decoding.
class MemorySource final : public DataSource {
public:
    explicit MemorySource(ProgressSink* sink = nullptr) : DataSource(sink) {}
    // Always 0.
    int Open(const std::uint8_t* data, std::size_t size);
};

// A module resource (Windows only; elsewhere every open fails with 4).
// `module` is the HMODULE, `type` the resource type as FindResourceA takes
// it (nullptr for RT_RCDATA).
class ResourceSource final : public DataSource {
public:
    ResourceSource() = default;
    ~ResourceSource() override;

    // 0, or 4 when the resource cannot be found, loaded or locked.
    int Open(void* module, int id, const char* type = nullptr);
    void Close() override;

private:
    [[maybe_unused]] void* loaded_ = nullptr;  // HGLOBAL of the loaded resource (Windows)
};

}  // namespace cs
