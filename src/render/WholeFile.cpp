#include "render/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

WholeFile failed(WholeFile::Status status, const std::string& reason) {
    WholeFile file;
    file.status = status;
    file.reason = reason;
    return file;
}

WholeFile failedWithErrno(int error) {
    return failed(error == ENOENT ? WholeFile::Status::Missing : WholeFile::Status::Failed, std::strerror(error));
}

}  // namespace

WholeFile WholeFile::read(const std::string& path, size_t maxBytes) {
    // Not blocking: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return failedWithErrno(errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return failedWithErrno(error);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return failed(Status::NotRegular, S_ISDIR(info.st_mode) ? "is a directory" : "is not a regular file");
    }
    if (static_cast<unsigned long long>(info.st_size) > maxBytes) {
        ::close(fd);
        return failed(Status::TooLarge, "is larger than " + std::to_string(maxBytes) + " bytes");
    }
    WholeFile file;
    file.content.reserve(static_cast<size_t>(info.st_size));
    char buffer[1 << 16];
    while (true) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0 || file.content.size() + static_cast<size_t>(n) > maxBytes) {
            const int error = errno;
            ::close(fd);
            if (n < 0) return failedWithErrno(error);
            if (n > 0) return failed(Status::TooLarge, "is larger than " + std::to_string(maxBytes) + " bytes");
            break;
        }
        file.content.append(buffer, static_cast<size_t>(n));
    }
    file.status = Status::Read;
    return file;
}
