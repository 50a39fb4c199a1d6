#include "compose/PaperAssembly.h"

#include "base/Prompter.h"
#include "base/RandomSource.h"
#include "base/TextRules.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

bool isUnit(const PaperRow& row) {
    return intValue(row.groupNumber) == 0;
}

bool isMember(const PaperRow& row) {
    return !row.groupNumber.isEmpty() && row.groupNumber != u"0"_s;
}

// Whether a picture-option answer is written with the chosen label set: a
// one-byte first character for letters, a two-byte one for circled numbers.
bool answerMatches(const QString& answer, int labelSet) {
    if (answer.isEmpty())
        return false;
    const bool singleByte = answer.at(0).unicode() >= 1 && answer.at(0).unicode() <= 127;
    return labelSet == 0 ? singleByte : !singleByte;
}

} // namespace

PaperAssembly::PaperAssembly(RandomSource& random, Prompter& prompter, TwinFinder findTwin)
    : m_random(random), m_prompter(prompter), m_findTwin(std::move(findTwin)) {}

const QStringList& PaperAssembly::optionLabels(int labelSet) {
    static const QStringList letters = u"A/B/C/D/E/F/G/H/I"_s.split(u'/');
    static const QStringList circled = u"①/②/③/④/⑤/⑥/⑦/⑧/⑨"_s.split(u'/');
    return labelSet == 1 ? circled : letters;
}

bool PaperAssembly::assemblePaper(const QList<PaperRow>& workList, AssembledPaper& paper) {
    paper.rows.clear();
    for (const PaperType& type : paper.settings.types) {
        QList<qsizetype> units;
        for (qsizetype i = 0; i < workList.size(); ++i)
            if (workList[i].type == type.name && isUnit(workList[i]))
                units.append(i);
        while (!units.isEmpty()) {
            const int k = m_random.uniform(int(units.size()));
            const qsizetype unit = units.takeAt(k - 1);
            if (!writeRow(workList[unit], paper))
                return false;
            if (!workList[unit].isTitle())
                continue;
            for (qsizetype member = unit + 1; member < workList.size() && isMember(workList[member]);
                 ++member)
                if (!writeRow(workList[member], paper))
                    return false;
        }
    }
    return true;
}

bool PaperAssembly::writeRow(const PaperRow& row, AssembledPaper& paper) {
    PaperRow out = row;
    if (row.choice && !row.stem2.isEmpty()) {
        std::tie(out.stem2, out.answer) =
            shuffleOptions(row.stem2, row.answer, paper.settings.optionLabelSet, paper.settings.optionSuffix);
    } else if (row.choice && !answerMatches(row.answer, paper.settings.optionLabelSet)) {
        const std::optional<Twin> twin = m_findTwin ? m_findTwin(row.recordId, row.stem1) : std::nullopt;
        if (!twin) {
            m_prompter.message(u"试题 "_s + row.stem1 + u" 的答案编号类型不符合组卷要求！"_s);
            return false;
        }
        out.recordId = twin->recordId;
        out.answer = twin->answer;
    }
    paper.rows.append(out);
    return true;
}

std::pair<QString, QString> PaperAssembly::shuffleOptions(const QString& options, const QString& answer,
                                                          int labelSet, const QString& suffix) {
    const QStringList& labels = optionLabels(labelSet);
    const QStringList optionLines = splitCrLfLines(options);
    const QStringList answerLines = splitCrLfLines(answer);
    const int n = int(optionLines.size());
    QList<int> remaining;
    for (int i = 0; i < n; ++i)
        remaining.append(i);

    QString newOptions;
    QString newAnswer;
    while (!remaining.isEmpty()) {
        const int k = m_random.uniform(int(remaining.size()));
        const QString& option = optionLines[remaining[k - 1]];
        // Options beyond the ninth have no label of their own; they keep none.
        const QString label = labels.value(n - int(remaining.size()));
        newOptions += label + suffix + option + u"     "_s;
        if (answerLines.contains(option))
            newAnswer += label;
        remaining.removeAt(k - 1);
    }
    return {newOptions, newAnswer};
}

} // namespace helan
