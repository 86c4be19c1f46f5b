// The libFuzzer entry point of one target, chosen when the binary is built.
#include "fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const studyhop::fuzz::Target* target = studyhop::fuzz::findTarget(STUDYHOP_FUZZ_TARGET);
    target->run(data, size);
    return 0;
}
