#include "platform/ErrorCodes.h"

#include <cerrno>

namespace {
struct ErrnoMapping {
    int err;
    ErrorCode code;
};

// The one errno table of the program; backends never map errors themselves.
constexpr ErrnoMapping kErrnoTable[] = {
    {ENOENT, kErrorFileNotFound},   {ENXIO, kErrorFileNotFound},
    {ENODEV, kErrorFileNotFound},   {ENOTDIR, kErrorPathNotFound},
    {EMFILE, kErrorTooManyOpenFiles}, {ENFILE, kErrorTooManyOpenFiles},
    {EACCES, kErrorAccessDenied},   {EPERM, kErrorAccessDenied},
    {EBUSY, kErrorAccessDenied},    {EWOULDBLOCK, kErrorAccessDenied},
    {EISDIR, kErrorAccessDenied},   {EBADF, kErrorInvalidHandle},
    {ENOMEM, kErrorNotEnoughMemory}, {EROFS, kErrorWriteProtect},
    {EEXIST, kErrorFileExists},     {EINVAL, kErrorInvalidParameter},
    {ENOTTY, kErrorInvalidFunction}, {ENOSPC, kErrorDiskFull},
#ifdef EDQUOT  // a quota is a POSIX notion; the Windows C runtime has none
    {EDQUOT, kErrorDiskFull},
#endif
    {ENAMETOOLONG, kErrorFilenameTooLong},
    {EIO, kErrorIoDevice},          {ETIMEDOUT, kErrorTimeout},
    {EFBIG, kErrorFileTooLarge},
};
}  // namespace

ErrorCode ErrorFromErrno(int err) {
    if (err == 0) return kErrorSuccess;
    for (const ErrnoMapping& m : kErrnoTable) {
        if (m.err == err) return m.code;
    }
    return kErrorGenFailure;
}
