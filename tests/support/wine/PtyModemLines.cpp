// Test support for running the Windows programs under wine against the simulator: a
// pseudo-terminal has no modem lines, and wine fails a pending WaitCommEvent on one
// (its TIOCMGET is refused). Preloaded into wine (LD_PRELOAD), this lets the modem-line
// ioctls succeed on a pty with all lines low, so waits pend as on a real port. Real
// serial devices do not need it; nothing but the tests loads it.
#include <cerrno>
#include <cstdarg>
#include <dlfcn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {
using Ioctl = int (*)(int, unsigned long, void*);

bool IsPseudoTerminal(int fd) {
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode)) return false;
    unsigned major = ::major(info.st_rdev);
    return major >= 136 && major <= 143;  // the pty slaves
}

bool ModemLineRequest(unsigned long request) {
    return request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC;
}
}  // namespace

extern "C" int ioctl(int fd, unsigned long request, ...) {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    static Ioctl real = reinterpret_cast<Ioctl>(dlsym(RTLD_NEXT, "ioctl"));
    int result = real(fd, request, argument);
    if (result < 0 && (errno == ENOTTY || errno == EINVAL) && ModemLineRequest(request) && IsPseudoTerminal(fd)) {
        if (request == TIOCMGET && argument) *static_cast<int*>(argument) = 0;
        return 0;
    }
    return result;
}
