#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace studyhop::fuzz {

// One fuzz target: it must never crash, hang or allocate without bound on
// any input, and it checks a property of what it read; a broken property
// aborts, so libFuzzer and the replay tests both see it.
struct Target {
    const char* name;
    void (*run)(const std::uint8_t* data, std::size_t size);
};

const std::vector<Target>& targets();
const Target* findTarget(std::string_view name);

}  // namespace studyhop::fuzz
