#pragma once

#include <QDateTime>
#include <QString>

namespace helan {

// A date-time as 14 digits, YYYYMMDDhhmmss.
QString timeStamp14(const QDateTime& when);

} // namespace helan
