// One libFuzzer target; CMake names the harness it drives (ZL_FUZZ_HARNESS).
#include "fuzz/Harnesses.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return ZL_FUZZ_HARNESS(data, size);
}
