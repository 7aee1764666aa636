#include "library/posix/file_shuffle_memory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace cs {
namespace {

// Far more than a state with the longest next path.
constexpr std::size_t kLargestStateFile = 64 * 1024;

// Creates the folders of path that are missing, for the user alone.
bool MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}

bool WriteAll(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

std::optional<ShuffleState> FileShuffleMemory::Load() {
    const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::vector<std::uint8_t> bytes(kLargestStateFile + 1);
    std::size_t size = 0;
    for (;;) {
        const ssize_t got = read(fd, bytes.data() + size, bytes.size() - size);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        size += static_cast<std::size_t>(got);
        if (size == bytes.size()) break;
    }
    close(fd);
    if (size > kLargestStateFile) return std::nullopt;
    return DecodeShuffleState({bytes.data(), size});
}

void FileShuffleMemory::Save(const ShuffleState& state) {
    if (path_.empty() || !MakeFolders(path_)) return;
    const std::string temporary = path_ + ".new";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return;
    const bool written = WriteAll(fd, EncodeShuffleState(state));
    if (close(fd) != 0 || !written || rename(temporary.c_str(), path_.c_str()) != 0) unlink(temporary.c_str());
}

std::string DefaultShuffleFile() {
    const char* state = std::getenv("XDG_STATE_HOME");
    std::string folder;
    // The base directory rules: a relative path is to be ignored.
    if (state && state[0] == '/') {
        folder = state;
    } else if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
        folder = std::string(home) + "/.local/state";
    } else {
        return {};
    }
    return folder + "/cubesaver/shuffle";
}

}  // namespace cs
