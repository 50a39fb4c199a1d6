#include "grid/GridFileFormat.h"

#include <QDataStream>
#include <QIODevice>

namespace helan {

namespace {

constexpr char kMagic[8] = {'H', 'E', 'L', 'A', 'N', 'G', 'R', 'D'};
constexpr qsizetype kHeaderSize = 8 + 2 + 4 + 2;
constexpr auto kStreamVersion = QDataStream::Qt_6_0;

enum ValueTag : quint8 { EmptyTag = 0, TextTag = 1, BoolTag = 2, BytesTag = 3 };

// Smallest number of payload bytes one cell can take; bounds the sizes read back.
constexpr qsizetype kMinCellBytes = 1 + 1 + 1 + 2 + 4;

enum FormatFlag : quint8 { WrapFlag = 1, ReadOnlyFlag = 2, ColourFlag = 4 };

void writeCell(QDataStream& out, const QVariant& v, const CellFormat& f)
{
    if (v.isNull()) {
        out << quint8(EmptyTag);
    } else if (v.typeId() == QMetaType::Bool) {
        out << quint8(BoolTag) << v.toBool();
    } else if (v.typeId() == QMetaType::QByteArray) {
        out << quint8(BytesTag) << v.toByteArray();
    } else {
        out << quint8(TextTag) << v.toString();
    }
    const quint8 flags = (f.wordWrap ? WrapFlag : 0) | (f.readOnly ? ReadOnlyFlag : 0) |
                         (f.hasColour ? ColourFlag : 0);
    out << f.alignment << flags << f.fontHeight << quint32(f.colour);
}

bool readCell(QDataStream& in, QVariant& value, CellFormat& f)
{
    quint8 tag = 0;
    in >> tag;
    switch (tag) {
    case EmptyTag:
        break;
    case TextTag: {
        QString text;
        in >> text;
        value = text;
        break;
    }
    case BoolTag: {
        bool on = false;
        in >> on;
        value = on;
        break;
    }
    case BytesTag: {
        QByteArray bytes;
        in >> bytes;
        value = bytes;
        break;
    }
    default:
        return false;
    }
    quint8 flags = 0;
    quint32 colour = 0;
    in >> f.alignment >> flags >> f.fontHeight >> colour;
    if (f.alignment > 3 || flags > 7)
        return false;
    f.wordWrap = flags & WrapFlag;
    f.readOnly = flags & ReadOnlyFlag;
    f.hasColour = flags & ColourFlag;
    f.colour = colour & 0xFFFFFF;
    return in.status() == QDataStream::Ok;
}

} // namespace

QByteArray GridFileFormat::encode(const GridContent& content)
{
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out.setVersion(kStreamVersion);
        out << qint32(content.rows.size()) << qint32(content.columns.size())
            << quint32(content.defaultColour);
        for (const GridColumn& column : content.columns)
            out << qint32(column.kind) << qint32(column.decimals) << qint32(column.width) << column.items;
        for (const GridRow& row : content.rows) {
            out << qint32(row.height);
            const CellFormat none;
            for (size_t c = 0; c < row.values.size(); ++c)
                writeCell(out, row.values[c], row.formats.empty() ? none : row.formats[c]);
        }
    }
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out.writeRawData(kMagic, sizeof kMagic);
    out << kVersion << quint32(payload.size()) << qChecksum(payload, Qt::ChecksumIso3309);
    out.writeRawData(payload.constData(), int(payload.size()));
    return file;
}

std::optional<GridContent> GridFileFormat::decode(const QByteArray& bytes)
{
    if (bytes.size() < kHeaderSize || !bytes.startsWith(QByteArrayView(kMagic, sizeof kMagic)))
        return std::nullopt;
    QDataStream head(bytes.sliced(sizeof kMagic, kHeaderSize - sizeof kMagic));
    head.setVersion(kStreamVersion);
    quint16 version = 0;
    quint32 length = 0;
    quint16 checksum = 0;
    head >> version >> length >> checksum;
    if (version != kVersion || qsizetype(length) != bytes.size() - kHeaderSize)
        return std::nullopt;
    const QByteArray payload = bytes.sliced(kHeaderSize);
    if (qChecksum(payload, Qt::ChecksumIso3309) != checksum)
        return std::nullopt;

    QDataStream in(payload);
    in.setVersion(kStreamVersion);
    qint32 rowCount = 0;
    qint32 columnCount = 0;
    quint32 defaultColour = 0;
    in >> rowCount >> columnCount >> defaultColour;
    if (in.status() != QDataStream::Ok || rowCount < 1 || columnCount < 1 ||
        qint64(rowCount) * columnCount * kMinCellBytes > payload.size())
        return std::nullopt;

    GridContent content;
    content.defaultColour = defaultColour & 0xFFFFFF;
    content.columns.resize(size_t(columnCount));
    for (GridColumn& column : content.columns) {
        qint32 kind = 0;
        qint32 decimals = 0;
        qint32 width = 0;
        in >> kind >> decimals >> width >> column.items;
        if (kind < 1 || kind > 6 || decimals < 0 || decimals > 15 || width < 0)
            return std::nullopt;
        column.kind = ColumnKind(kind);
        column.decimals = decimals;
        column.width = width;
    }
    content.rows.resize(size_t(rowCount));
    for (GridRow& row : content.rows) {
        qint32 height = 0;
        in >> height;
        if (height < 0)
            return std::nullopt;
        row.height = height;
        row.values.resize(size_t(columnCount));
        row.formats.resize(size_t(columnCount));
        bool plain = true;
        for (qint32 c = 0; c < columnCount; ++c) {
            if (!readCell(in, row.values[size_t(c)], row.formats[size_t(c)]))
                return std::nullopt;
            plain = plain && row.formats[size_t(c)] == CellFormat();
        }
        if (plain)
            row.formats.clear();
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return std::nullopt;
    return content;
}

} // namespace helan
