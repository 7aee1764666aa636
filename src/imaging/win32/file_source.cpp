// FileSource on Windows: the whole file mapped read-only, opened with the
// sequential-scan hint.
#include <windows.h>

#include "imaging/data_source.h"
#include "imaging/pl_exception.h"

namespace cs {

struct FileSource::Mapping {
    HANDLE file = INVALID_HANDLE_VALUE;
    HANDLE mapping = nullptr;
    const void* view = nullptr;

    ~Mapping() {
        if (view != nullptr) UnmapViewOfFile(view);
        if (mapping != nullptr) CloseHandle(mapping);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
};

FileSource::FileSource(ProgressSink* sink) : DataSource(sink) {}

FileSource::~FileSource() { mapping_.reset(); }

int FileSource::Open(const char* fileName) {
    Close();
    if (fileName == nullptr || *fileName == '\0') return plerr::kCannotOpen;
    auto mapping = std::make_unique<Mapping>();
    mapping->file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (mapping->file == INVALID_HANDLE_VALUE) {
        switch (GetLastError()) {
            case ERROR_PATH_NOT_FOUND: return plerr::kPathNotFound;
            case ERROR_ACCESS_DENIED:
            case ERROR_SHARING_VIOLATION: return plerr::kAccessDenied;
            default: return plerr::kCannotOpen;
        }
    }
    DWORD high = 0;
    const DWORD low = GetFileSize(mapping->file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return plerr::kAccessDenied;
    const std::uint64_t size = (std::uint64_t{high} << 32) | low;

    mapping->mapping = CreateFileMappingA(mapping->file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping->mapping == nullptr) return plerr::kAccessDenied;
    mapping->view = MapViewOfFile(mapping->mapping, FILE_MAP_READ, 0, 0, 0);
    if (mapping->view == nullptr) return plerr::kAccessDenied;

    OpenRecord(fileName, static_cast<std::size_t>(size));
    SetData(static_cast<const std::uint8_t*>(mapping->view));
    mapping_ = std::move(mapping);
    return 0;
}

void FileSource::Close() {
    DataSource::Close();
    mapping_.reset();
}

}  // namespace cs
