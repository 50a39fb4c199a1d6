#pragma once

#include <functional>
#include <optional>
#include <utility>

#include <QList>
#include <QString>
#include <QStringList>

#include "compose/AssembledPaper.h"

namespace helan {

class Prompter;
class RandomSource;

// Turns the questions ticked for one paper into the paper as written: major
// questions in type order, the units of each drawn at random with every group
// kept together, choice options relabelled and shuffled, and picture-option
// questions whose answer uses the other label set swapped for their twin.
// Works on plain values so that it runs without windows or tables.
class PaperAssembly {
public:
    // Another question of the bank with the same 题文1: its record ID and answer.
    struct Twin {
        qint64 recordId = 0;
        QString answer;
    };
    // The first record other than ownRecordId whose 题文1 equals stem1.
    using TwinFinder = std::function<std::optional<Twin>(qint64 ownRecordId, const QString& stem1)>;

    PaperAssembly(RandomSource& random, Prompter& prompter, TwinFinder findTwin);

    // workList: the ticked questions in grid order (titles before their
    // sub-questions in 分组号 order). The rows land in paper.rows; returns false
    // when a question without a usable twin ended the assembly early (paper.rows
    // then holds what came before it).
    bool assemblePaper(const QList<PaperRow>& workList, AssembledPaper& paper);

    // The options (one per line) in random order under the labels of the set,
    // each followed by five spaces, and the labels of the answer lines in label
    // order.
    std::pair<QString, QString> shuffleOptions(const QString& options, const QString& answer, int labelSet,
                                               const QString& suffix);

    static const QStringList& optionLabels(int labelSet);

private:
    bool writeRow(const PaperRow& row, AssembledPaper& paper);

    RandomSource& m_random;
    Prompter& m_prompter;
    TwinFinder m_findTwin;
};

} // namespace helan
