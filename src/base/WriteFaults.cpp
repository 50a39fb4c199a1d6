#include "base/WriteFaults.h"

#include <array>
#include <cstddef>

namespace helan {

namespace {

struct Counter {
    int failAt = 0; // 0: no fault armed
    int seen = 0;
    bool onward = false; // every operation from failAt on fails, not that one alone
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
    return c.failAt > 0 && (c.onward ? c.seen >= c.failAt : c.seen == c.failAt);
}

void WriteFaults::failNth(Kind kind, int n) {
    counter(kind) = Counter{n, 0, false};
}

void WriteFaults::failFrom(Kind kind, int n) {
    counter(kind) = Counter{n, 0, true};
}

int WriteFaults::counted(Kind kind) {
    return counter(kind).seen;
}

void WriteFaults::reset() {
    g_counters = {};
}

} // namespace helan
