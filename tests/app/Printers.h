#pragma once

#include <ostream>

#include <QString>
#include <QStringList>

// Readable failure output for the Qt values the tests compare.

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << '[' << list.join(u", ").toStdString() << ']';
}
