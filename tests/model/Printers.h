#pragma once

#include <ostream>

#include <QString>

#include "store/StoreTypes.h"

// Readable failure output for the Qt and store values the tests compare.

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace helan {

inline void PrintTo(const FieldDef& field, std::ostream* out)
{
    *out << field.name.toStdString() << ':' << int(field.type) << '(' << field.width << ')';
}

} // namespace helan
