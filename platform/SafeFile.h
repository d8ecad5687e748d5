#pragma once
// Replacing a file so that a failed or interrupted write never damages what was
// there: the data goes to a temporary file in the same folder, is flushed to disk and
// renamed over the target, which keeps its permission bits. A read-only target is
// refused although the rename could replace it; the read-only state is the write
// permission, or for root (whom permissions do not bind) a file without any write bit.
#include <cstddef>

#include "platform/ErrorCodes.h"

ErrorCode ReplaceFileContents(const char* path, const char* data, std::size_t size);
