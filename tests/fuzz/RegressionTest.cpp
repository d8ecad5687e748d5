// Every seed of the fuzz targets and every input a fuzzer once broke the program with
// (fuzz/regressions/<target>/), through the same harnesses: a broken invariant aborts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/Harnesses.h"

namespace fs = std::filesystem;

namespace {
struct Corpus {
    const char* target;
    int (*harness)(const std::uint8_t*, std::size_t);
    const char* seeds;  // relative to the source tree
};

const Corpus kCorpora[] = {
    {"config-reader", FuzzConfigReader, "tests/configfile/fixtures"},
    {"reply-line", FuzzReplyLine, "fuzz/seeds/reply-line"},
    {"receive-ring", FuzzReceiveRing, "fuzz/seeds/receive-ring"},
};

int RunAll(const Corpus& corpus, const fs::path& dir) {
    if (!fs::is_directory(dir)) return 0;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        SCOPED_TRACE(entry.path().string());
        corpus.harness(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++files;
    }
    return files;
}
}  // namespace

TEST(FuzzRegressions, seeds_and_kept_crashes_keep_every_invariant) {
    for (const Corpus& corpus : kCorpora) {
        SCOPED_TRACE(corpus.target);
        int seeds = RunAll(corpus, fs::path(ZL_SOURCE_DIR) / corpus.seeds);
        EXPECT_GT(seeds, 0);
        RunAll(corpus, fs::path(ZL_SOURCE_DIR) / "fuzz" / "regressions" / corpus.target);
    }
}
