// Option labels and letter answers as teachers type them.
#include <optional>

#include <gtest/gtest.h>

#include "Printers.h"
#include "model/OptionLabels.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

std::optional<QString> stripped(const QString& options) {
    const auto lines = OptionLabels::stripLabels(options.split(u'\n'));
    return lines ? std::optional<QString>(lines->join(u'\n')) : std::nullopt;
}

std::optional<QString> answer(const QString& typed, const QString& options) {
    const auto lines = OptionLabels::answerFromLetters(typed, options.split(u'\n'));
    return lines ? std::optional<QString>(lines->join(u'\n')) : std::nullopt;
}

} // namespace

TEST(OptionLabels, EveryLineMustCarryTheNextLabel) {
    struct Case {
        QString options;
        std::optional<QString> expected;
    };
    const Case cases[] = {
        {u"A. 3\nB、-3\n(C) ±3"_s, u"3\n-3\n±3"_s},
        {u"A．甲\nB）乙\nC) 丙\nD、丁"_s, u"甲\n乙\n丙\n丁"_s},
        {u"（A）对\n[B]错\n【C】都不对"_s, u"对\n错\n都不对"_s},
        {u"  A.  x<y\nB.\tx&y"_s, u"x<y\nx&y"_s},
        {u"A.\nB. 4"_s, u"\n4"_s},
        {u"A. 3\nC. 4"_s, std::nullopt},  // a label skipped
        {u"B. 3\nA. 4"_s, std::nullopt},  // out of order
        {u"A. 3\n4"_s, std::nullopt},     // one line without
        {u"a. 3\nb. 4"_s, std::nullopt},  // small letters are text
        {u"A 3\nB 4"_s, std::nullopt},    // no separator
        {u"(A 3\n(B 4"_s, std::nullopt},  // bracket not closed
        {u"A. 3"_s, std::nullopt},        // one option is no choice
        {u"Apple\nBanana"_s, std::nullopt},
        {u"A.1\nB.2\nC.3\nD.4\nE.5\nF.6\nG.7\nH.8\nI.9"_s, u"1\n2\n3\n4\n5\n6\n7\n8\n9"_s},
        {u"A.1\nB.2\nC.3\nD.4\nE.5\nF.6\nG.7\nH.8\nI.9\nJ.10"_s, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(stripped(c.options), c.expected) << c.options.toStdString();
}

TEST(OptionLabels, LetterAnswersBecomeTheOptionsTheyName) {
    struct Case {
        QString typed;
        QString options;
        std::optional<QString> expected;
    };
    const Case cases[] = {
        {u"C"_s, u"3\n-3\n±3"_s, u"±3"_s},
        {u"CA"_s, u"3\n-3\n±3"_s, u"3\n±3"_s},
        {u"A、C"_s, u"3\n-3\n±3"_s, u"3\n±3"_s},
        {u"A, B"_s, u"3\n-3\n±3"_s, u"3\n-3"_s},
        {u"D"_s, u"3\n-3\n±3"_s, std::nullopt},   // no such option
        {u"AA"_s, u"3\n-3\n±3"_s, std::nullopt},  // twice
        {u"c"_s, u"3\n-3\n±3"_s, std::nullopt},   // small letters are text
        {u"A"_s, u"A\nB"_s, std::nullopt},        // already an option's text
        {u"±3"_s, u"3\n-3\n±3"_s, std::nullopt},
        {u""_s, u"3\n4"_s, std::nullopt},
        {u"A"_s, u"3"_s, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(answer(c.typed, c.options), c.expected) << c.typed.toStdString();
}
