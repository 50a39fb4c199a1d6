#pragma once

#include <cstdint>

namespace helan {

// The program's one pseudo-random generator. Its state starts at 1 when the
// process starts and is never reseeded, so the sequence of papers repeats from one
// start of the program to the next. Logic classes take a RandomSource& so that a
// test can set the state and get a known paper.
class RandomSource {
public:
    explicit RandomSource(std::uint32_t state = 1) : m_state(state) {}

    // The next output, 0 … 32767.
    int next();

    // A uniform integer in [1, n]; n must be at least 1.
    int uniform(int n);

    std::uint32_t state() const { return m_state; }
    void setState(std::uint32_t state) { m_state = state; }

    // The generator the program draws from.
    static RandomSource& process();

private:
    std::uint32_t m_state;
};

} // namespace helan
