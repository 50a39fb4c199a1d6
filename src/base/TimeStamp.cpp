#include "base/TimeStamp.h"

namespace helan {

QString timeStamp14(const QDateTime& when)
{
    return when.toString(QStringLiteral("yyyyMMddHHmmss"));
}

} // namespace helan
