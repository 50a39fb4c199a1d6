#pragma once

// Text rules the bank editor's files share: the integer value of a cell, the
// cleaning of what the teacher typed, knowledge points.
#include <algorithm>

#include <QString>
#include <QStringList>

#include "base/TextRules.h"
#include "model/QuestionRules.h"

namespace helan::editortext {

using namespace Qt::StringLiterals;


inline const QString kTitleNumber = u"0"_s;
// Stands for an answer still to be written; the row checks ask for it.
inline const QString kAnswerPlaceholder = u"请输入答案"_s;
inline const QString kCrLf = u"\r\n"_s;

// An optional sign followed by digits; 0 for a text that does not start that way.
inline int leadingInteger(const QString& text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    qint64 value = 0;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
        value = value * 10 + (text.at(i).unicode() - u'0');
        if (value > 1000000000)
            break;
    }
    return int(negative ? -value : value);
}

inline bool isSpace(QChar c) {
    return c == u' ' || c == QChar(0x3000);
}

inline QString withoutSpaces(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (!isSpace(c))
            out.append(c);
    }
    return out;
}

// The trimmed dialog text: no spaces at either end, no trailing line breaks.
inline QString cleanedDialogText(const QString& content) {
    QString v = trimSpaces(content);
    while (v.endsWith(kCrLf))
        v.chop(2);
    return v;
}

// 知识点 and 分组名 are one line without spaces: every space goes, and so do line
// breaks at either end (an Enter typed after the name).
inline QString singleLineField(const QString& content) {
    QString out = withoutSpaces(content);
    while (!out.isEmpty() && (out.front() == u'\r' || out.front() == u'\n'))
        out.remove(0, 1);
    while (!out.isEmpty() && (out.back() == u'\r' || out.back() == u'\n'))
        out.chop(1);
    return out;
}

inline QString withoutEmptyLines(const QString& text) {
    QStringList lines = splitCrLfLines(text);
    lines.removeAll(QString());
    return lines.join(kCrLf);
}

inline QString joinedKnowledge(const QString& pieces) {
    QStringList parts = pieces.split(u'|');
    parts.removeAll(QString());
    return parts.join(u'|');
}

inline bool startsWithCircledNumber(const QString& answer) {
    const QStringList& labels = QuestionRules::circledNumbers();
    return std::any_of(labels.begin(), labels.end(),
                       [&](const QString& label) { return answer.startsWith(label); });
}

} // namespace helan::editortext
