#pragma once

#include <optional>

#include <QString>
#include <QStringList>

namespace helan {

// Teachers write text options the way a paper prints them ("A. 3", "B、-3",
// "(C) ±3") and answers as letters ("C", "AC"). The bank keeps options without
// labels and answers as the option texts themselves, because every paper draws
// the order of the options, and so their labels, anew.
class OptionLabels {
public:
    // The option lines without their labels, when every line starts with the
    // labels A, B, C … in order (a letter followed by ".", "．", "、", ")" or "）",
    // or a letter in brackets); nothing otherwise. Spaces after a label go too.
    static std::optional<QStringList> stripLabels(const QStringList& options);

    // The answer lines for an answer made only of option letters ("C", "AC",
    // "A、C"), each naming one of the options, in option order; nothing when the
    // answer is anything else, and nothing when it already is an option's text
    // (an option may itself read "A").
    static std::optional<QStringList> answerFromLetters(const QString& answer, const QStringList& options);
};

} // namespace helan
