#pragma once
// Error codes of the whole core: Windows system error codes on every platform,
// 0 is success. Backends turn their native errors into these through
// ErrorFromErrno, so callers and tests see the same numbers everywhere.
#include <cstdint>

using ErrorCode = std::int32_t;

constexpr ErrorCode kErrorSuccess = 0;
constexpr ErrorCode kErrorInvalidFunction = 1;
constexpr ErrorCode kErrorFileNotFound = 2;
constexpr ErrorCode kErrorPathNotFound = 3;
constexpr ErrorCode kErrorTooManyOpenFiles = 4;
constexpr ErrorCode kErrorAccessDenied = 5;
constexpr ErrorCode kErrorInvalidHandle = 6;
constexpr ErrorCode kErrorNotEnoughMemory = 8;
constexpr ErrorCode kErrorWriteProtect = 19;
constexpr ErrorCode kErrorGenFailure = 31;
constexpr ErrorCode kErrorFileExists = 80;
constexpr ErrorCode kErrorInvalidParameter = 87;
constexpr ErrorCode kErrorDiskFull = 112;
constexpr ErrorCode kErrorFilenameTooLong = 206;
constexpr ErrorCode kErrorDirectory = 267;  // a folder name that names no folder
constexpr ErrorCode kErrorFileTooLarge = 223;
constexpr ErrorCode kErrorIoPending = 997;
constexpr ErrorCode kErrorIoDevice = 1117;
constexpr ErrorCode kErrorAlreadyInitialized = 1247;
constexpr ErrorCode kErrorTimeout = 1460;

// HRESULT-style status values of the bounded text operations and of mode checks.
constexpr ErrorCode kStatusOk = 0;
constexpr ErrorCode kStatusInvalidArg = static_cast<ErrorCode>(0x80070057u);
constexpr ErrorCode kStatusInsufficientBuffer = static_cast<ErrorCode>(0x8007007Au);

// Maps an errno value to its Windows counterpart; unknown values give kErrorGenFailure.
ErrorCode ErrorFromErrno(int err);
