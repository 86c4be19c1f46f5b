#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz_targets.h"
#include "test_dir.h"

namespace studyhop::fuzz {
namespace {

// Every corpus input and every crash the fuzzers ever found runs again in
// the ordinary build, so a compiler without libFuzzer still checks them.
TEST(FuzzReplayTest, CorpusAndFoundCrashesKeepTheirProperties) {
    namespace fs = std::filesystem;
    const fs::path root = STUDYHOP_FUZZ_DIR;
    int inputs = 0;
    for (const Target& target : targets()) {
        for (const char* kind : {"corpus", "crashes"}) {
            const fs::path dir = root / kind / target.name;
            if (!fs::is_directory(dir)) {
                continue;
            }
            for (const auto& entry : fs::directory_iterator(dir)) {
                const std::string bytes = test::readBytes(entry.path().string());
                SCOPED_TRACE(entry.path().string());
                target.run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
                ++inputs;
            }
        }
    }
    EXPECT_GT(inputs, 25);
}

}  // namespace
}  // namespace studyhop::fuzz
