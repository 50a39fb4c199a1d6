#include "model/TextPaperReader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "base/Gbk.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

QString megabytes(qint64 bytes) {
    return QString::number(double(bytes) / double(1024 * 1024), 'f', 1) + u" MB"_s;
}

} // namespace

QString TextPaperReader::decode(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE
                                                          : QStringConverter::Utf16BE);
        return utf16.decode(bytes.mid(2));
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return fromGbk(bytes);
}

PaperSource TextPaperReader::fromText(const QString& text) {
    PaperSource out;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i <= n; ++i) {
        if (i < n && text.at(i) != u'\n' && text.at(i) != u'\r')
            continue;
        QString line = text.mid(start, i - start);
        // A picture mark in a text file is only a character: it stands for nothing.
        line.replace(PaperSource::pictureMark(), u' ');
        if (!line.trimmed().isEmpty())
            out.lines.append(PaperLine{line, {}});
        if (i < n && text.at(i) == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    return out;
}

std::optional<PaperSource> TextPaperReader::read(const QString& path, QString* error) {
    QString ignored;
    if (!error)
        error = &ignored;
    error->clear();
    const QFileInfo info(path);
    if (!info.isFile()) {
        *error = u"无法读取这个文件。"_s;
        return std::nullopt;
    }
    if (info.size() > kMaxBytes) {
        *error = u"这个文本文件太大（"_s + megabytes(info.size()) + u"），最多只能读取"_s +
                 megabytes(kMaxBytes) + u"的试卷。请把它分成几个文件再导入。"_s;
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = u"无法读取这个文件。"_s;
        return std::nullopt;
    }
    // Read no more than the limit even if the file grew since it was measured.
    const QByteArray bytes = file.read(kMaxBytes + 1);
    if (bytes.size() > kMaxBytes) {
        *error = u"这个文本文件太大，最多只能读取"_s + megabytes(kMaxBytes) + u"的试卷。"_s;
        return std::nullopt;
    }
    if (bytes.contains('\0') && !bytes.startsWith("\xFF\xFE") && !bytes.startsWith("\xFE\xFF")) {
        *error = u"这个文件不是文本文件。"_s;
        return std::nullopt;
    }
    return fromText(decode(bytes));
}

} // namespace helan
