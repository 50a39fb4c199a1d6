#pragma once

#include <QByteArray>
#include <QString>

namespace helan {

// Every length limit of the program counts bytes of the GBK form of a text.
// Characters GBK lacks are encoded as GB18030 (four bytes), so no text is lost.

// The GB18030 bytes of a text (identical to GBK for every character GBK has).
QByteArray toGbk(const QString& text);

// Decodes GBK / GB18030 bytes.
QString fromGbk(const QByteArray& bytes);

// Byte length of the GBK form of a text.
qsizetype gbkLength(const QString& text);

// The longest prefix of a text whose GBK form has at most maxBytes bytes.
// The cut never splits a character (nor a surrogate pair).
QString cutToGbkBytes(const QString& text, qsizetype maxBytes);

} // namespace helan
