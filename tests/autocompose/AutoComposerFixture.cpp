#include "AutoComposerFixture.h"

#include "grid/GridEvents.h"

using namespace Qt::StringLiterals;

namespace helan::test {

void AutoComposerFixture::openAuto() {
    if (!m_composer)
        openComposer();
    m_auto = std::make_unique<AutoComposer>(composer(), m_prompter, course());
    m_auto->open();
}

int AutoComposerFixture::typeRow(const QString& type, int score) {
    for (int r = 1; r < typeTable().rowCount(); ++r) {
        if (typeTable().text(r, A::TypeNameColumn) == type &&
            typeTable().text(r, A::ScoreColumn).toInt() == score)
            return r;
    }
    return 0;
}

QStringList AutoComposerFixture::typeRows() {
    QStringList rows;
    for (int r = 1; r < typeTable().rowCount(); ++r) {
        QStringList cells;
        for (int c = A::TypeNameColumn; c <= A::SelectableColumn; ++c)
            cells << typeTable().text(r, c);
        rows << cells.join(u'/');
    }
    return rows;
}

QStringList AutoComposerFixture::clickCount(int row) {
    GridEvents& events = typeTable().events();
    typeTable().setCursor(row, A::ChosenColumn);
    Q_EMIT events.leftButtonUp(0, 0, Qt::NoModifier);
    return typeTable().editingAllowed() ? typeTable().pendingItems() : QStringList();
}

bool AutoComposerFixture::chooseCount(const QString& type, int score, int count) {
    const int row = typeRow(type, score);
    clickCount(row);
    return typeTable().editInPlace(row, A::ChosenColumn, QString::number(count));
}

QStringList AutoComposerFixture::typeScores() {
    QStringList rows;
    const GridModel& g = m_auto->typeScoreTable();
    for (int r = 1; r < g.rowCount(); ++r)
        rows << g.text(r, 0) + u'=' + g.text(r, 1);
    return rows;
}

QStringList AutoComposerFixture::planRows() {
    QStringList rows;
    const GridModel& g = m_auto->compositionPlan();
    for (int r = 1; r < g.rowCount(); ++r)
        rows << g.text(r, A::PlanTypeColumn) + u'/' + g.text(r, A::PlanScoreColumn) + u'/' +
                    g.text(r, A::PlanChosenColumn);
    return rows;
}

} // namespace helan::test
