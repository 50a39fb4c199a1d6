#include "ui/TextMeasure.h"

#include <algorithm>
#include <cmath>

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>
#include <QTextLayout>
#include <QTextOption>

using namespace Qt::StringLiterals;

namespace helan {

namespace {

QString measuringFamily()
{
    // In order of preference: the font itself, then the serif CJK faces that
    // stand for it on other systems, then sans serif CJK faces.
    static const QStringList candidates = {
        u"宋体"_s,          u"SimSun"_s,          u"NSimSun"_s,          u"Noto Serif CJK SC"_s,
        u"Source Han Serif SC"_s, u"AR PL UMing CN"_s, u"Noto Sans CJK SC"_s, u"Source Han Sans SC"_s,
        u"WenQuanYi Zen Hei"_s, u"WenQuanYi Micro Hei"_s,
    };
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : candidates) {
        if (installed.contains(family, Qt::CaseInsensitive))
            return family;
    }
    return candidates.front();
}

int linesOfParagraph(const QString& paragraph, const QFont& font, qreal lineWidth)
{
    if (paragraph.isEmpty())
        return 1;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QTextLayout layout(paragraph, font);
    layout.setTextOption(option);
    layout.setCacheEnabled(false);
    int lines = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(lineWidth);
        ++lines;
    }
    layout.endLayout();
    return std::max(lines, 1);
}

} // namespace

int lineHeightIn(const QFont& font)
{
    QTextLayout layout(u"汉字Ag"_s, font);
    layout.setCacheEnabled(false);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid())
        line.setLineWidth(100000);
    layout.endLayout();
    return line.isValid() ? int(std::ceil(line.height())) : 1;
}

QFont measuringFont()
{
    static const QString family = measuringFamily();
    QFont font(family);
    font.setPixelSize(19);
    font.setWeight(QFont::Normal);
    font.setStyleHint(QFont::Serif);
    return font;
}

int countWrappedLines(int width, const QString& text)
{
    return countWrappedLinesIn(measuringFont(), width - 2 * (kMeasuringBoxFrame + kMeasuringBoxMargin), text);
}

int countWrappedLinesIn(const QFont& font, int width, const QString& text)
{
    if (text.isEmpty())
        return 1;
    const qreal lineWidth = std::max(1, width);
    // A single line too short to reach the edge even if every character were a
    // wide one needs no layout (most knowledge points, group names, answers).
    const int em = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    const bool plain = std::none_of(text.begin(), text.end(),
                                    [](QChar c) { return c == u'\n' || c == u'\r' || c == u'\t'; });
    if (plain && qreal(text.size()) * em * 1.25 <= lineWidth)
        return 1;
    QString normalised = text;
    normalised.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    int lines = 0;
    for (const QString& paragraph : normalised.split(u'\n'))
        lines += linesOfParagraph(paragraph, font, lineWidth);
    return lines;
}

} // namespace helan
