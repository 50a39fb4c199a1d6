#pragma once

#include <optional>

#include <QByteArray>

#include "grid/GridContent.h"

namespace helan {

// The byte layout of a saved grid:
//   "HELANGRD"  magic, 8 bytes
//   quint16     format version (1)
//   quint32     payload length
//   quint16     CRC-16 (ISO 3309) of the payload
//   payload     QDataStream (Qt 6.0 layout, big-endian): sizes, columns, rows, cells
// Anything that does not match exactly is refused, so a truncated, damaged or
// foreign file never half-loads.
class GridFileFormat {
public:
    static constexpr quint16 kVersion = 1;

    static QByteArray encode(const GridContent& content);
    static std::optional<GridContent> decode(const QByteArray& bytes);
};

} // namespace helan
