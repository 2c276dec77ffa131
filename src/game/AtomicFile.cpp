#include "game/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

bool fail(const std::string& what, std::string& error) {
    error = what + ": " + std::strerror(errno);
    return false;
}

bool writeAll(int fd, const std::string& content) {
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Makes the rename itself durable; a folder that cannot be synced is no reason to fail.
void syncFolder(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

std::string AtomicFile::temporaryPath(const std::string& path) { return path + ".tmp-" + std::to_string(::getpid()); }

bool AtomicFile::write(const std::string& path, const std::string& content, std::string& error) {
    const std::string temporary = temporaryPath(path);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return fail("cannot create " + temporary, error);
    const bool written = writeAll(fd, content) && ::fsync(fd) == 0;
    const int savedErrno = errno;
    if (::close(fd) != 0 || !written) {
        if (!written) errno = savedErrno;
        fail("cannot write " + temporary, error);
        ::unlink(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        fail("cannot replace " + path, error);
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(path);
    return true;
}
