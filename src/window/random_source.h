#pragma once

#include <cstdint>

namespace studyhop {

// The one random generator of a run: always the same seed, so every start of
// the program draws the same sequence; single-precision draws in [0, 1).
class RandomSource {
public:
    float next() {
        // xorshift32: small, fast and the same on every platform.
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return static_cast<float>(m_state >> 8) * (1.0f / 16777216.0f);
    }

private:
    std::uint32_t m_state = 0x2545F491u;
};

}  // namespace studyhop
