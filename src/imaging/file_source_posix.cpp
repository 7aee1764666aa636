// FileSource on the host: the file mapped read-only with mmap. The result
// codes follow the Windows ones so that both builds report the same errors.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "imaging/data_source.h"
#include "imaging/pl_exception.h"

namespace cs {

struct FileSource::Mapping {
    int fd = -1;
    void* view = nullptr;
    std::size_t length = 0;

    ~Mapping() {
        if (view != nullptr) munmap(view, length);
        if (fd >= 0) close(fd);
    }
};

namespace {

// Windows tells a missing folder (path not found) from a missing file; on
// the host both are ENOENT, so look at the folder.
int MissingFileResult(const char* fileName) {
    std::string folder(fileName);
    const auto slash = folder.find_last_of('/');
    if (slash == std::string::npos) return plerr::kCannotOpen;
    folder.resize(slash == 0 ? 1 : slash);
    struct stat st{};
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return plerr::kPathNotFound;
    return plerr::kCannotOpen;
}

}  // namespace

FileSource::FileSource(ProgressSink* sink) : DataSource(sink) {}

FileSource::~FileSource() { mapping_.reset(); }

int FileSource::Open(const char* fileName) {
    Close();
    if (fileName == nullptr || *fileName == '\0') return plerr::kCannotOpen;
    auto mapping = std::make_unique<Mapping>();
    // Without O_NONBLOCK a FIFO that has a picture's name would hold the
    // loader until something wrote to it; it is refused below.
    mapping->fd = open(fileName, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (mapping->fd < 0) {
        switch (errno) {
            case ENOENT: return MissingFileResult(fileName);
            case ENOTDIR: return plerr::kPathNotFound;
            case EACCES:
            case EPERM: return plerr::kAccessDenied;
            default: return plerr::kCannotOpen;
        }
    }
    struct stat st{};
    if (fstat(mapping->fd, &st) != 0) return plerr::kCannotOpen;
    // Windows refuses to open a folder as a file with access denied, and
    // cannot map an empty file.
    if (S_ISDIR(st.st_mode)) return plerr::kAccessDenied;
    if (!S_ISREG(st.st_mode) || st.st_size <= 0) return plerr::kAccessDenied;
    mapping->length = static_cast<std::size_t>(st.st_size);
    void* view = mmap(nullptr, mapping->length, PROT_READ, MAP_PRIVATE, mapping->fd, 0);
    if (view == MAP_FAILED) return plerr::kAccessDenied;
    mapping->view = view;
    madvise(view, mapping->length, MADV_SEQUENTIAL);

    OpenRecord(fileName, mapping->length);
    SetData(static_cast<const std::uint8_t*>(view));
    mapping_ = std::move(mapping);
    return 0;
}

void FileSource::Close() {
    DataSource::Close();
    mapping_.reset();
}

}  // namespace cs
