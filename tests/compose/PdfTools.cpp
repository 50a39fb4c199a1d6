#include "PdfTools.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace helan::test {

bool PdfTools::installed(const QStringList& tools) {
    for (const QString& tool : tools)
        if (QStandardPaths::findExecutable(tool).isEmpty())
            return false;
    return true;
}

QString PdfTools::run(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning("%s failed (%d): %s", qPrintable(tool), process.exitCode(), process.readAllStandardError().constData());
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString PdfTools::text(const QString& path, int first, int last) {
    QStringList arguments{u"-layout"_s, u"-enc"_s, u"UTF-8"_s};
    if (first > 0)
        arguments << u"-f"_s << QString::number(first) << u"-l"_s << QString::number(last);
    return run(u"pdftotext"_s, arguments << path << u"-"_s);
}

QString PdfTools::squeezed(const QString& text) {
    QString out;
    for (const QChar c : text)
        if (!c.isSpace())
            out += c;
    return out;
}

int PdfTools::pages(const QString& path) {
    const QRegularExpressionMatch m =
        QRegularExpression(u"Pages:\\s+(\\d+)"_s).match(run(u"pdfinfo"_s, {path}));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

QList<qsizetype> PdfTools::inOrder(const QString& haystack, const QStringList& texts) {
    const QString all = squeezed(haystack);
    QList<qsizetype> found;
    qsizetype from = 0;
    for (const QString& text : texts) {
        const qsizetype at = from < 0 ? -1 : all.indexOf(squeezed(text), from);
        found << at;
        from = at < 0 ? -1 : at + squeezed(text).size();
    }
    return found;
}

} // namespace helan::test
