#pragma once
// Reading and replacing files safely.
// Replacing: the data goes to a temporary file (with a short name) in the same folder,
// is flushed to disk, gets the owner and permission bits of the file it replaces and
// is renamed over it; then the folder is flushed. A failed or interrupted write never
// damages what was there. A symbolic link is followed (its target is saved); where
// the folder takes no temporary file, or the owner cannot be kept, the file is
// written in place instead, and only once the room for all of it is reserved (a write
// cut short there would leave a mix of old and new values). A read-only target is refused although a rename could
// replace it; the read-only state is the write permission, or for root (whom
// permissions do not bind) a file without any write bit. Only regular files are
// replaced.
#include <cstddef>
#include <string>

#include "platform/ErrorCodes.h"

// Reads a regular file of at most maxSize bytes into `contents`. Anything else (a
// named pipe, a device, a folder) is refused without being opened for long: opening a
// pipe for reading would wait for a writer, a device may react to being opened.
// kErrorFileTooLarge for a longer file; `contents` is only changed on success.
ErrorCode ReadRegularFile(const char* path, std::size_t maxSize, std::string* contents);

ErrorCode ReplaceFileContents(const char* path, const char* data, std::size_t size);

// Whether ReplaceFileContents could save to `path`, tried before any work that the save
// would end: the file is a writable regular file, or its folder exists and takes a new
// file (one is made and removed). 0, or the error the save would meet.
ErrorCode CheckWritableFile(const char* path);

// Lets a write beyond the process's file-size limit fail (and be reported) instead of
// killing the process with SIGXFSZ. Called once at program start.
void IgnoreFileSizeSignal();
