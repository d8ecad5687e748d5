// Windows: the same promises as on Linux. The new contents go to a temporary file in
// the target's folder, are flushed, and replace the target (ReplaceFileW keeps its
// attributes and security; a new file is moved into place, written through). A folder
// that takes no temporary file gets the file written in place, and only once the room
// for all of it is reserved. Paths are narrow texts in the system's ANSI code page, as
// a program's arguments come.
#include "platform/SafeFile.h"

#include <string>
#include <windows.h>

namespace {
ErrorCode LastError() { return static_cast<ErrorCode>(GetLastError()); }

bool ToWide(const char* path, std::wstring* wide) {
    int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
    if (n <= 0) return false;
    wide->resize(static_cast<std::size_t>(n));
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, &(*wide)[0], n);
    wide->resize(static_cast<std::size_t>(n - 1));
    return true;
}

std::wstring FolderOf(const std::wstring& path) {
    std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L".";
    return path.substr(0, slash + 1);
}

ErrorCode WriteAll(HANDLE file, const char* data, std::size_t size) {
    std::size_t written = 0;
    while (written < size) {
        DWORD chunk = size - written > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size - written);
        DWORD n = 0;
        if (!WriteFile(file, data + written, chunk, &n, nullptr)) return LastError();
        if (n == 0) return kErrorDiskFull;
        written += n;
    }
    return kErrorSuccess;
}

// The length of a file, or -1.
LONGLONG LengthOf(HANDLE file) {
    LARGE_INTEGER length{};
    return GetFileSizeEx(file, &length) ? length.QuadPart : -1;
}

bool SetLength(HANDLE file, LONGLONG length) {
    LARGE_INTEGER at{};
    at.QuadPart = length;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

// Overwritten where it stands: the file grows to its new length first (which
// allocates the room, or fails on a full disk with the old contents untouched).
ErrorCode WriteInPlace(const std::wstring& target, const char* data, std::size_t size) {
    HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastError();
    ErrorCode result = kErrorSuccess;
    const LONGLONG old = LengthOf(file);
    if (old < 0) {
        result = LastError();
    } else if (static_cast<LONGLONG>(size) > old && !SetLength(file, static_cast<LONGLONG>(size))) {
        result = LastError();
        SetLength(file, old);
    }
    LARGE_INTEGER start{};
    if (result == kErrorSuccess && !SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) result = LastError();
    if (result == kErrorSuccess) result = WriteAll(file, data, size);
    if (result == kErrorSuccess && !SetEndOfFile(file)) result = LastError();
    if (result == kErrorSuccess && !FlushFileBuffers(file)) result = LastError();
    CloseHandle(file);
    return result;
}
}  // namespace

ErrorCode ReadRegularFile(const char* path, std::size_t maxSize, std::string* contents) {
    std::wstring wide;
    if (!ToWide(path, &wide)) return kErrorFileNotFound;
    // A folder does not open without backup semantics; a device or pipe is no disk file.
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastError();
    ErrorCode result = kErrorSuccess;
    std::string data;
    if (GetFileType(file) != FILE_TYPE_DISK) {
        result = kErrorAccessDenied;
    } else {
        char chunk[4096];
        for (;;) {
            DWORD n = 0;
            if (!ReadFile(file, chunk, sizeof chunk, &n, nullptr)) {
                result = LastError();
                break;
            }
            if (n == 0) break;
            if (data.size() + n > maxSize) {
                result = kErrorFileTooLarge;
                break;
            }
            data.append(chunk, n);
        }
    }
    CloseHandle(file);
    if (result == kErrorSuccess) contents->swap(data);
    return result;
}

ErrorCode ReplaceFileContents(const char* path, const char* data, std::size_t size) {
    if (path[0] == 0) return kErrorPathNotFound;
    std::wstring target;
    if (!ToWide(path, &target)) return kErrorPathNotFound;
    DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))) return kErrorAccessDenied;
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) return kErrorAccessDenied;

    wchar_t temporary[MAX_PATH + 1];
    if (!GetTempFileNameW(FolderOf(target).c_str(), L"zl", 0, temporary)) {
        ErrorCode e = LastError();
        // A folder that takes no new file, but a file there that may be written.
        if (exists && e == kErrorAccessDenied) return WriteInPlace(target, data, size);
        return e;
    }
    HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ErrorCode e = LastError();
        DeleteFileW(temporary);
        return e;
    }
    ErrorCode result = WriteAll(file, data, size);
    if (result == kErrorSuccess && !FlushFileBuffers(file)) result = LastError();
    CloseHandle(file);
    if (result == kErrorSuccess) {
        bool replaced = exists ? ReplaceFileW(target.c_str(), temporary, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                              nullptr, nullptr)
                               : MoveFileExW(temporary, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        if (!replaced) result = LastError();
    }
    if (result != kErrorSuccess) DeleteFileW(temporary);
    return result;
}

ErrorCode CheckWritableFile(const char* path) {
    if (path[0] == 0) return kErrorPathNotFound;
    std::wstring target;
    if (!ToWide(path, &target)) return kErrorPathNotFound;
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_READONLY)) return kErrorAccessDenied;
        return kErrorSuccess;
    }
    wchar_t probe[MAX_PATH + 1];
    if (!GetTempFileNameW(FolderOf(target).c_str(), L"zl", 0, probe)) return LastError();
    DeleteFileW(probe);
    return kErrorSuccess;
}

// Windows has no file-size signal: a write past a limit fails and is reported.
void IgnoreFileSizeSignal() {}
