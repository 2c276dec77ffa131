#include "game/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

FileLock::FileLock(const std::string& path) {
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    int result = 0;
    do {
        result = ::flock(fd, LOCK_EX);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        ::close(fd);
        fd = -1;
    }
}

FileLock::~FileLock() {
    if (fd >= 0) ::close(fd);  // closing the last descriptor releases the lock
}
