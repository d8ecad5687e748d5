#include "platform/SafeFile.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
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

// Writes all of `data` at the descriptor's position.
ErrorCode WriteAll(int fd, const char* data, std::size_t size) {
    std::size_t written = 0;
    while (written < size) {
        ssize_t n = write(fd, data + written, size - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return ErrorFromErrno(n < 0 ? errno : ENOSPC);
        written += static_cast<std::size_t>(n);
    }
    return kErrorSuccess;
}

// The file a path names once every symbolic link is followed; the path itself for a
// file that does not exist yet.
std::string Target(const char* path) {
    char resolved[PATH_MAX];
    if (realpath(path, resolved)) return resolved;
    return path;
}

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes sure `size` bytes can be written to `fd` from its start before any byte of it
// changes: within the file-size limit and with the blocks reserved. A file that the
// reservation left longer goes back to its old length.
ErrorCode EnsureRoom(int fd, std::size_t size) {
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && size > limit.rlim_cur) {
        return kErrorFileTooLarge;
    }
    if (size == 0) return kErrorSuccess;
    struct stat before;
    if (fstat(fd, &before) != 0) return ErrorFromErrno(errno);
    int error = posix_fallocate(fd, 0, static_cast<off_t>(size));
    if (error == 0) return kErrorSuccess;
    struct stat after;
    if (fstat(fd, &after) == 0 && after.st_size > before.st_size) (void)!ftruncate(fd, before.st_size);
    return ErrorFromErrno(error);
}

// The old file, overwritten where it stands: for a folder that takes no temporary file
// or an owner the rename could not keep. Nothing is written unless all of it fits.
ErrorCode WriteInPlace(const std::string& target, const char* data, std::size_t size) {
    // Read access too, where there is one: a reservation emulated by the C library
    // reads before it writes.
    int fd = open(target.c_str(), O_RDWR | O_CREAT | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EACCES) fd = open(target.c_str(), O_WRONLY | O_CREAT | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) return ErrorFromErrno(errno);
    ErrorCode result = EnsureRoom(fd, size);
    if (result == kErrorSuccess) result = WriteAll(fd, data, size);
    if (result == kErrorSuccess && ftruncate(fd, static_cast<off_t>(size)) != 0) result = ErrorFromErrno(errno);
    if (result == kErrorSuccess && fsync(fd) != 0) result = ErrorFromErrno(errno);
    if (close(fd) != 0 && result == kErrorSuccess) result = ErrorFromErrno(errno);
    return result;
}

// The outcome of a replacement through a temporary file: done, failed (the old file
// is as it was), or not possible here (then the file is written in place).
struct Replaced {
    ErrorCode result;
    bool possible;
};

Replaced ReplaceThroughTemporary(const std::string& target, const struct stat* old, const char* data,
                                 std::size_t size) {
    std::string folder = FolderOf(target);
    std::string temporary = folder + "/.zl-XXXXXX";  // short: any valid name fits beside it
    int fd = mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0) {
        bool denied = errno == EACCES || errno == EPERM;
        return {ErrorFromErrno(errno), !denied};
    }
    ErrorCode result = WriteAll(fd, data, size);
    bool possible = true;
    if (result == kErrorSuccess && old && (old->st_uid != geteuid() || old->st_gid != getegid()) &&
        fchown(fd, old->st_uid, old->st_gid) != 0) {
        possible = false;  // the replaced file would change its owner
    }
    mode_t mode = old ? (old->st_mode & 07777) : (0666 & ~CurrentUmask());
    if (possible && result == kErrorSuccess && fchmod(fd, mode) != 0) result = ErrorFromErrno(errno);
    if (possible && result == kErrorSuccess && fsync(fd) != 0) result = ErrorFromErrno(errno);
    if (close(fd) != 0 && result == kErrorSuccess) result = ErrorFromErrno(errno);
    if (possible && result == kErrorSuccess && rename(temporary.c_str(), target.c_str()) != 0) {
        result = ErrorFromErrno(errno);
    }
    if (!possible || result != kErrorSuccess) {
        unlink(temporary.c_str());
        return {result, possible};
    }
    // The rename itself lives in the folder: flush it too (best effort; some file
    // systems cannot).
    int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return {kErrorSuccess, true};
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
    const std::string target = Target(path);
    struct stat old;
    bool exists = stat(target.c_str(), &old) == 0;
    if (exists) {
        if (!S_ISREG(old.st_mode)) return kErrorAccessDenied;  // a folder, a pipe, a device
        if (ReadOnly(target.c_str(), old)) return kErrorAccessDenied;
    }
    struct stat link;
    if (!exists && lstat(path, &link) == 0 && S_ISLNK(link.st_mode)) {
        return WriteInPlace(path, data, size);  // a link to a file yet to be made: through it
    }
    Replaced replaced = ReplaceThroughTemporary(target, exists ? &old : nullptr, data, size);
    if (replaced.possible) return replaced.result;
    return WriteInPlace(target, data, size);
}

ErrorCode CheckWritableFile(const char* path) {
    if (path[0] == 0) return kErrorPathNotFound;
    const std::string target = Target(path);
    struct stat info;
    if (stat(target.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode) || ReadOnly(target.c_str(), info)) return kErrorAccessDenied;
        return kErrorSuccess;  // written through a temporary file, or in place
    }
    if (errno != ENOENT) return ErrorFromErrno(errno);
    std::string probe = FolderOf(target) + "/.zl-XXXXXX";
    int fd = mkostemp(&probe[0], O_CLOEXEC);
    if (fd < 0) return ErrorFromErrno(errno);
    close(fd);
    unlink(probe.c_str());
    return kErrorSuccess;
}

void IgnoreFileSizeSignal() { signal(SIGXFSZ, SIG_IGN); }
