#include "model/OptionLabels.h"

#include <algorithm>
#include <vector>

#include "base/TextRules.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

constexpr int kMaxOptions = 9; // A … I

bool isSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == QChar(0x3000);
}

bool isOpening(QChar c) {
    return c == u'(' || c == u'（' || c == u'[' || c == u'【';
}

bool isClosing(QChar c) {
    return c == u')' || c == u'）' || c == u']' || c == u'】';
}

bool isSeparator(QChar c) {
    return c == u'.' || c == u'．' || c == u'、' || isClosing(c);
}

// Length of the label `letter` at the start of a line (its trailing spaces
// included), or 0 when the line does not start with it.
qsizetype labelLength(const QString& line, QChar letter) {
    qsizetype i = 0;
    while (i < line.size() && isSpace(line.at(i)))
        ++i;
    const bool bracketed = i < line.size() && isOpening(line.at(i));
    if (bracketed)
        ++i;
    if (i >= line.size() || line.at(i) != letter)
        return 0;
    ++i;
    if (i >= line.size())
        return 0;
    if (bracketed ? !isClosing(line.at(i)) : !isSeparator(line.at(i)))
        return 0;
    ++i;
    while (i < line.size() && isSpace(line.at(i)))
        ++i;
    return i;
}

} // namespace

std::optional<QStringList> OptionLabels::stripLabels(const QStringList& options) {
    if (options.size() < 2 || options.size() > kMaxOptions)
        return std::nullopt;
    QStringList out;
    out.reserve(options.size());
    for (qsizetype i = 0; i < options.size(); ++i) {
        const qsizetype length = labelLength(options.at(i), QChar(char16_t(u'A' + i)));
        if (length == 0)
            return std::nullopt;
        out.append(options.at(i).mid(length));
    }
    return out;
}

std::optional<QStringList> OptionLabels::answerFromLetters(const QString& answer, const QStringList& options) {
    if (options.size() < 2 || options.size() > kMaxOptions)
        return std::nullopt;
    const QStringList typed = splitCrLfLines(answer);
    if (!typed.isEmpty() && std::all_of(typed.begin(), typed.end(),
                                        [&](const QString& line) { return options.contains(line); }))
        return std::nullopt;
    std::vector<bool> chosen(size_t(options.size()), false);
    bool any = false;
    for (const QChar c : answer) {
        if (isSpace(c) || c == u',' || c == u'，' || c == u'、' || c == u'\r' || c == u'\n')
            continue;
        const int index = c.unicode() - u'A';
        if (index < 0 || index >= options.size() || chosen[size_t(index)])
            return std::nullopt;
        chosen[size_t(index)] = true;
        any = true;
    }
    if (!any)
        return std::nullopt;
    QStringList out;
    for (qsizetype i = 0; i < options.size(); ++i) {
        if (chosen[size_t(i)])
            out.append(options.at(i));
    }
    return out;
}

} // namespace helan
