#include "compose/PaperMoodleExport.h"

#include <QHash>

#include "base/Prompter.h"
#include "editor/MoodleTransfer.h"
#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;

namespace helan {

bool PaperMoodleExport::run(PaperComposer& composer, PaperComposer::Paper paper) {
    using C = PaperComposer;
    using Q = QuestionRecord;
    const GridModel& grid = composer.questionGrid();
    const int column = paper == C::Paper::A ? C::PaperAColumn : C::PaperBColumn;
    const QString name = paper == C::Paper::A ? u"A卷"_s : u"B卷"_s;
    QList<qint32> ids;
    QHash<qint32, int> rows;
    for (int r = 1; r < grid.rowCount(); ++r) {
        if (!grid.checked(r, column))
            continue;
        const auto id = qint32(grid.text(r, C::RecordIdColumn).toInt());
        ids.append(id);
        rows.insert(id, r);
    }
    if (ids.isEmpty()) {
        composer.prompter().message(name + u"没有选择试题。"_s);
        return false;
    }
    // What the window shows may not have reached the bank yet.
    const auto adjust = [&](qint32 id, QVariantList& values) {
        const int r = rows.value(id);
        values[Q::Difficulty - 1] = grid.text(r, C::DifficultyColumn).toInt();
        values[Q::Score - 1] = grid.text(r, C::ScoreColumn).toInt();
        values[Q::FixedScore - 1] = grid.checked(r, C::FixedScoreColumn);
        values[Q::Blocked - 1] = grid.checked(r, C::BlockedColumn);
    };
    MoodleExport exporter(composer.store(), composer.prompter(), composer.courseName());
    return exporter.run(composer.courseName() + name, ids, adjust);
}

} // namespace helan
