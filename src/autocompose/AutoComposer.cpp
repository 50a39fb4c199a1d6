#include "AutoComposer.h"

#include <algorithm>
#include <cmath>

#include <QHash>
#include <QPair>
#include <QSet>

#include "base/Prompter.h"
#include "base/TextRules.h"
#include "compose/PaperComposer.h"
#include "grid/GridEvents.h"
#include "grid/GridSort.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

using P = PaperComposer;

// Knowledge points of one paper or one type: a unit whose points are all new
// adds them; an empty 知识点 always counts. A unit is chosen once however many
// points it names, so the count never exceeds the units added.
class PointCounter {
public:
    void add(const QString& knowledge) {
        ++m_units;
        if (knowledge.isEmpty()) {
            ++m_empty;
            return;
        }
        const QStringList parts = knowledge.split(u'|');
        for (const QString& part : parts) {
            if (m_points.contains(part))
                return;
        }
        for (const QString& part : parts) {
            if (!part.isEmpty())
                m_points.insert(part);
        }
    }
    int count() const { return std::min(m_units, m_empty + int(m_points.size())); }

private:
    QSet<QString> m_points;
    int m_empty = 0;
    int m_units = 0;
};

} // namespace

AutoComposer::AutoComposer(PaperComposer& composer, Prompter& prompter, const QString& courseName,
                           QObject* parent)
    : QObject(parent), m_composer(composer), m_prompter(prompter), m_courseName(courseName),
      m_types(kTypeColumnCount), m_typeScores(2), m_plan(kPlanColumnCount), m_totalText(u"0"_s),
      m_retryText(u"9999"_s), m_triesText(u"9999"_s), m_lowestText(u"100"_s),
      m_elapsedText(u"用时： 00时 00分 00秒"_s), m_similarityLimit(similarityItems().constFirst()) {
    GridEvents& events = m_types.events();
    connect(&events, &GridEvents::leftButtonUp, this, [this] { beginCountEdit(); });
    connect(&events, &GridEvents::editEnded, this, [this] { applyCountChange(); });
    connect(&events, &GridEvents::keyDown, this, [](int key, Qt::KeyboardModifiers, bool& swallowed) {
        if (key < Qt::Key_0 || key > Qt::Key_9)
            swallowed = true;
    });
    connect(&events, &GridEvents::rightButtonUp, this,
            [this](int x, int y, Qt::KeyboardModifiers) { Q_EMIT sortMenuRequested(x, y); });
}

QStringList AutoComposer::similarityItems() {
    return {u"90"_s, u"80"_s, u"70"_s, u"60"_s, u"50"_s, u"40"_s, u"30"_s, u"20"_s, u"10"_s};
}

void AutoComposer::open() {
    m_chosenTotal = 0;
    m_idle = true;
    m_caption = u"自动组卷 —— "_s + m_courseName;

    m_types.setRowCount(1);
    for (int c = ScoreColumn; c < kTypeColumnCount; ++c)
        m_types.setColumnKind(c, ColumnKind::Number);
    const QStringList headers{u"题型"_s, u"分值"_s, u"题数"_s, u"可用题数"_s, u"可选题数"_s, u"组卷题数"_s};
    for (int c = 0; c < kTypeColumnCount; ++c)
        m_types.setText(0, c, headers.at(c));
    m_typeScores.setRowCount(1);
    m_typeScores.setColumnKind(1, ColumnKind::Number);
    m_typeScores.setText(0, 0, u"题型"_s);
    m_typeScores.setText(0, 1, u"分值"_s);
    m_plan.setRowCount(1);
    for (int c = PlanScoreColumn; c < kPlanColumnCount; ++c)
        m_plan.setColumnKind(c, ColumnKind::Number);

    buildTypeTable();
    sortBySelectable();

    m_similarityVisible = false;
    m_triesVisible = false;
    m_paperChoiceEnabled = false;
    m_startEnabled = false;
    changed();
}

bool AutoComposer::isUnit(int row) const {
    return intValue(m_composer.questionGrid().text(row, P::GroupNumberColumn)) == 0;
}

bool AutoComposer::isBlocked(int row) const {
    return m_composer.questionGrid().checked(row, P::BlockedColumn);
}

int AutoComposer::planRowOf(const QString& type, int score) const {
    for (int r = 1; r < m_plan.rowCount(); ++r) {
        if (m_plan.text(r, PlanTypeColumn) == type && intValue(m_plan.text(r, PlanScoreColumn)) == score)
            return r;
    }
    return 0;
}

void AutoComposer::buildTypeTable() {
    m_types.setRowCount(1);
    const GridModel& grid = m_composer.questionGrid();
    const int lowest = intValue(m_composer.lowestDifficulty());
    const int highest = intValue(m_composer.highestDifficulty());
    // One pass over the bank: each unit goes to the row of its type and score,
    // rows in the order their first unit comes; the units of a row reach its
    // counter in grid order, as the knowledge-point rule needs.
    struct Row {
        QString type;
        int score = 0;
        int count = 0;
        int available = 0;
        PointCounter points;
    };
    QList<Row> rows;
    QHash<QPair<QString, int>, qsizetype> rowOf;
    PointCounter paper;
    for (int r = 1; r < grid.rowCount(); ++r) {
        if (!isUnit(r))
            continue;
        const QString type = grid.text(r, P::TypeColumn);
        const int score = intValue(grid.text(r, P::ScoreColumn));
        const int difficulty = intValue(grid.text(r, P::DifficultyColumn));
        const bool usable = !isBlocked(r) && lowest <= difficulty && difficulty <= highest;
        auto found = rowOf.constFind({type, score});
        if (found == rowOf.cend()) {
            found = rowOf.insert({type, score}, rows.size());
            rows.append(Row{type, score, 0, 0, {}});
        }
        Row& row = rows[*found];
        ++row.count;
        const QString knowledge = grid.text(r, P::KnowledgeColumn);
        if (usable && score >= 1) {
            ++row.available;
            row.points.add(knowledge);
        }
        if (usable)
            paper.add(knowledge);
    }
    m_paperSelectable = paper.count();

    int selectableSum = 0;
    for (const Row& row : std::as_const(rows)) {
        const int t = m_types.appendRow();
        m_types.setText(t, TypeNameColumn, row.type);
        m_types.setNumber(t, ScoreColumn, row.score);
        m_types.setNumber(t, CountColumn, row.count);
        // A row without an available unit leaves 可用题数 blank.
        if (row.available > 0)
            m_types.setNumber(t, AvailableColumn, row.available);
        m_types.setNumber(t, SelectableColumn, row.points.count());
        selectableSum += row.points.count();
    }
    // Without anything selectable the ratio is never used: every bound is 0.
    m_ratio = selectableSum == 0
                  ? 0.0F
                  : float(std::round(double(m_paperSelectable) / double(selectableSum) * 100.0) / 100.0);
}

void AutoComposer::sortBySelectable() {
    const int last = m_types.rowCount() - 1;
    if (last >= 2) {
        sortRows(m_types, SelectableColumn, 1, last, SortKind::Number, m_prompter);
        sortWithinGroups(m_types, SelectableColumn, ScoreColumn, false, false);
    }
    m_sortByTypeEnabled = true;
    m_sortBySelectableEnabled = false;
    colourTypeRows();
    changed();
}

void AutoComposer::sortByType() {
    const GridModel& order = m_composer.typeOrderTable();
    const int before = m_types.rowCount() - 1;
    for (int o = 1; o < order.rowCount(); ++o) {
        const QString type = order.text(o, P::TypeNameColumn);
        for (int r = 1; r <= before; ++r) {
            if (m_types.text(r, TypeNameColumn) != type)
                continue;
            const int copy = m_types.appendRow();
            for (int c = 0; c < kTypeColumnCount; ++c)
                m_types.setValue(copy, c, m_types.value(r, c));
        }
    }
    for (int r = before; r >= 1; --r)
        m_types.removeRow(r);
    sortWithinGroups(m_types, TypeNameColumn, ScoreColumn, false, false);
    m_sortByTypeEnabled = false;
    m_sortBySelectableEnabled = true;
    colourTypeRows();
    changed();
}

void AutoComposer::colourTypeRows() {
    const int last = m_types.rowCount() - 1;
    if (last < 1)
        return;
    m_types.setAlignment(CellRange(0, 0, last, kTypeColumnCount - 1), CellAlignment::Centre);
    const GridModel& order = m_composer.typeOrderTable();
    for (int o = 1; o < order.rowCount(); ++o) {
        for (int r = 1; r <= last; ++r) {
            const CellRange row(r, 0, r, kTypeColumnCount - 1);
            if (m_types.text(r, SelectableColumn) == u"0"_s)
                m_types.setColour(row, kExhaustedColour);
            else if (m_types.text(r, TypeNameColumn) == order.text(o, P::TypeNameColumn))
                m_types.setColour(row, order.colour(o, 0));
        }
    }
}

void AutoComposer::beginCountEdit() {
    const int row = m_types.cursorRow();
    const QString selectable = m_types.text(row, SelectableColumn);
    if (row < 1 || m_types.cursorColumn() != ChosenColumn || selectable == u"0"_s) {
        m_types.setEditingAllowed(false);
        return;
    }
    m_countBeforeEdit = m_types.text(row, ChosenColumn);
    m_types.clearPendingItems();
    int bound = int(std::lround(float(intValue(selectable)) * m_ratio));
    if (bound == 0 && selectable == u"1"_s)
        bound = 1;
    // Usable questions of score 0 count for the paper but belong to no row, so
    // the ratio can exceed 1; a row never offers more than it can give.
    bound = std::min(bound, intValue(selectable));
    const int left = m_paperSelectable - m_chosenTotal + intValue(m_countBeforeEdit);
    if (bound > left)
        bound = left;
    if (bound <= 0) {
        m_types.setEditingAllowed(false);
        return;
    }
    m_types.setEditingAllowed(true);
    for (int i = 0; i <= bound; ++i)
        m_types.appendPendingItem(QString::number(i));
    m_types.setColumnKind(ChosenColumn, ColumnKind::List);
    Q_EMIT countListRequested();
}

void AutoComposer::applyCountChange() {
    const int row = m_types.cursorRow();
    if (row < 1 || m_types.text(row, ChosenColumn) == m_countBeforeEdit)
        return;
    const int oldCount = intValue(m_countBeforeEdit);
    const QString type = m_types.text(row, TypeNameColumn);
    const int score = intValue(m_types.text(row, ScoreColumn));

    int newCount = intValue(m_types.text(row, ChosenColumn));
    const int bound = m_paperSelectable - m_chosenTotal + oldCount;
    if (newCount > bound) {
        newCount = bound;
        m_types.setText(row, ChosenColumn, QString::number(bound));
    }
    m_chosenTotal += newCount - oldCount;
    // The next edit of this cell starts from what it holds now.
    m_countBeforeEdit = m_types.text(row, ChosenColumn);

    const int plan = planRowOf(type, score);
    if (newCount > 0) {
        if (plan > 0) {
            m_plan.setNumber(plan, PlanChosenColumn, newCount);
        } else {
            const int added = m_plan.appendRow();
            m_plan.setText(added, PlanTypeColumn, type);
            m_plan.setValue(added, PlanScoreColumn, m_types.value(row, ScoreColumn));
            m_plan.setValue(added, PlanAvailableColumn, m_types.value(row, AvailableColumn));
            m_plan.setValue(added, PlanSelectableColumn, m_types.value(row, SelectableColumn));
            m_plan.setNumber(added, PlanChosenColumn, newCount);
        }
    } else if (plan > 0) {
        m_plan.removeRow(plan);
    }

    applyTypeScore(type, score, newCount, oldCount);

    int total = 0;
    for (int r = 1; r < m_typeScores.rowCount(); ++r)
        total += intValue(m_typeScores.text(r, 1));
    m_totalText = QString::number(total);
    if (total == 0) {
        m_paperChoiceEnabled = false;
        m_startEnabled = false;
    } else {
        m_paperChoiceEnabled = true;
    }
    if (m_paperA || m_paperB) {
        m_retryText = QString::number(m_chosenTotal * 10);
        m_triesText = u"0"_s;
    }
    changed();
}

void AutoComposer::applyTypeScore(const QString& type, int score, int newCount, int oldCount) {
    int row = 0;
    for (int r = 1; r < m_typeScores.rowCount() && row == 0; ++r) {
        if (m_typeScores.text(r, 0) == type)
            row = r;
    }
    if (row == 0) {
        if (score * newCount > 0) {
            row = m_typeScores.appendRow();
            m_typeScores.setText(row, 0, type);
            m_typeScores.setNumber(row, 1, score * newCount);
            m_typeScores.setAlignment(CellRange(row, 0, row, 1), CellAlignment::Centre);
        }
        return;
    }
    const int value = intValue(m_typeScores.text(row, 1)) + score * newCount - score * oldCount;
    if (value <= 0)
        m_typeScores.removeRow(row);
    else
        m_typeScores.setNumber(row, 1, value);
}

void AutoComposer::setPaperChoice(bool paperA, bool paperB) {
    m_paperA = paperA;
    m_paperB = paperB;
    if (!paperA && !paperB) {
        m_triesVisible = false;
        m_startEnabled = false;
    } else {
        m_startEnabled = true;
        m_similarityVisible = paperA && paperB;
        m_triesVisible = true;
        m_retryText = QString::number(m_chosenTotal * 10);
        m_triesText = u"0"_s;
    }
    changed();
}

QString AutoComposer::elapsedLabel(int seconds) {
    const int hours = seconds / 3600;
    const int minutes = (seconds % 3600) / 60;
    const int rest = (seconds % 3600) % 60;
    return u"用时： "_s + QString::number(hours) + u"时 "_s + QString::number(minutes) + u"分 "_s +
           QString::number(rest) + u"秒"_s;
}

void AutoComposer::tickElapsed() {
    ++m_elapsed;
    m_elapsedText = elapsedLabel(m_elapsed);
    changed();
}

bool AutoComposer::requestClose() {
    if (!m_idle) {
        m_prompter.message(u"请先停止自动组卷！"_s);
        return false;
    }
    return true;
}

QString AutoComposer::helpText() {
    const QStringList lines{
        u"    自动组卷时相同知识点（不包括空知识点）不会重复。"_s,
        u"    可用题数是指未屏蔽且满足难度要求的题数；可选题数是指从可用题数中"_s,
        u" 再排除相同知识点后的题数。"_s,
        u"    某一题型不够选时，应按可选题数降序排序后调整该题型以前的组卷题数。"_s,
        u"    不能满足A、B卷相似度时应调整各组卷题型题数或放宽A、B卷相似度要求"_s,
        u" 值。"_s,
    };
    QString text = u"\r\n"_s;
    for (const QString& line : lines)
        text += line + u"\r\n\r\n"_s;
    return text;
}

} // namespace helan
