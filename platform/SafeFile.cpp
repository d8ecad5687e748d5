#include "platform/SafeFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The process's umask without changing it (umask() itself would, for every thread).
mode_t CurrentUmask() {
    mode_t mask = 022;
    if (FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[128];
        while (std::fgets(line, sizeof line, status)) {
            unsigned value = 0;
            if (std::sscanf(line, "Umask: %o", &value) == 1) {
                mask = static_cast<mode_t>(value);
                break;
            }
        }
        std::fclose(status);
    }
    return mask;
}

bool ReadOnly(const char* path, const struct stat& info) {
    if (access(path, W_OK) != 0) return errno != ENOENT;
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}
}  // namespace

ErrorCode ReadRegularFile(const char* path, std::size_t maxSize, std::string* contents) {
    struct stat info;
    if (stat(path, &info) != 0) return ErrorFromErrno(errno);
    if (!S_ISREG(info.st_mode)) return kErrorAccessDenied;
    // Non-blocking, should the name have become a pipe since the look above.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return ErrorFromErrno(errno);
    ErrorCode result = kErrorSuccess;
    std::string data;
    if (fstat(fd, &info) != 0) {
        result = ErrorFromErrno(errno);
    } else if (!S_ISREG(info.st_mode)) {
        result = kErrorAccessDenied;
    } else {
        char chunk[4096];
        for (;;) {
            ssize_t n = read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                result = ErrorFromErrno(errno);
                break;
            }
            if (n == 0) break;
            if (data.size() + static_cast<std::size_t>(n) > maxSize) {
                result = kErrorFileTooLarge;
                break;
            }
            data.append(chunk, static_cast<std::size_t>(n));
        }
    }
    close(fd);
    if (result == kErrorSuccess) contents->swap(data);
    return result;
}

ErrorCode ReplaceFileContents(const char* path, const char* data, std::size_t size) {
    if (path[0] == 0) return kErrorPathNotFound;
    struct stat target;
    bool exists = stat(path, &target) == 0;
    if (exists) {
        if (S_ISDIR(target.st_mode)) return kErrorAccessDenied;
        if (ReadOnly(path, target)) return kErrorAccessDenied;
    }
    constexpr std::size_t kSuffix = sizeof ".XXXXXX";
    std::size_t length = std::strlen(path);
    char* temporary = static_cast<char*>(std::malloc(length + kSuffix));
    if (!temporary) return kErrorNotEnoughMemory;
    std::memcpy(temporary, path, length);
    std::memcpy(temporary + length, ".XXXXXX", kSuffix);

    ErrorCode result = kErrorSuccess;
    int fd = mkostemp(temporary, O_CLOEXEC);
    if (fd < 0) {
        result = ErrorFromErrno(errno);
    } else {
        std::size_t written = 0;
        while (written < size && result == kErrorSuccess) {
            ssize_t n = write(fd, data + written, size - written);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                result = ErrorFromErrno(n < 0 ? errno : ENOSPC);
            } else {
                written += static_cast<std::size_t>(n);
            }
        }
        mode_t mode = exists ? (target.st_mode & 07777) : (0666 & ~CurrentUmask());
        if (result == kErrorSuccess && fchmod(fd, mode) != 0) result = ErrorFromErrno(errno);
        if (result == kErrorSuccess && fsync(fd) != 0) result = ErrorFromErrno(errno);
        if (close(fd) != 0 && result == kErrorSuccess) result = ErrorFromErrno(errno);
        if (result == kErrorSuccess && rename(temporary, path) != 0) result = ErrorFromErrno(errno);
        if (result != kErrorSuccess) unlink(temporary);
    }
    std::free(temporary);
    return result;
}
