#include "base/RandomSource.h"

namespace helan {

int RandomSource::next()
{
    m_state = m_state * 214013u + 2531011u; // wraps modulo 2^32
    return int((m_state >> 16) & 32767u);
}

int RandomSource::uniform(int n)
{
    if (n < 1)
        return 1;
    return 1 + next() % n;
}

RandomSource& RandomSource::process()
{
    static RandomSource source(1);
    return source;
}

} // namespace helan
