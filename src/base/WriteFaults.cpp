#include "base/WriteFaults.h"

#include <array>
#include <cstddef>

namespace helan {

namespace {

struct Counter {
    int failAt = 0; // 0: no fault armed
    int seen = 0;
};

// One thread writes files in this program; the tests arm it from that thread.
std::array<Counter, 5> g_counters;

Counter& counter(WriteFaults::Kind kind) {
    return g_counters[static_cast<std::size_t>(kind)];
}

} // namespace

bool WriteFaults::fail(Kind kind) {
    Counter& c = counter(kind);
    ++c.seen;
    return c.failAt > 0 && c.seen == c.failAt;
}

void WriteFaults::failNth(Kind kind, int n) {
    counter(kind) = Counter{n, 0};
}

int WriteFaults::counted(Kind kind) {
    return counter(kind).seen;
}

void WriteFaults::reset() {
    g_counters = {};
}

} // namespace helan
