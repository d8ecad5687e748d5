#pragma once
// Replacing a file so that a failed or interrupted write never damages what was
// there: the data goes to a temporary file in the same folder, is flushed to disk and
// renamed over the target, which keeps its permission bits. A read-only target is
// refused although the rename could replace it; the read-only state is the write
// permission, or for root (whom permissions do not bind) a file without any write bit.
#include <cstddef>
#include <string>

#include "platform/ErrorCodes.h"

// Reads a regular file of at most maxSize bytes into `contents`. Anything else (a
// named pipe, a device, a folder) is refused without being opened for long: opening a
// pipe for reading would wait for a writer, a device may react to being opened.
// kErrorFileTooLarge for a longer file; `contents` is only changed on success.
ErrorCode ReadRegularFile(const char* path, std::size_t maxSize, std::string* contents);

ErrorCode ReplaceFileContents(const char* path, const char* data, std::size_t size);
