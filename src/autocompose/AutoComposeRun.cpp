#include "AutoComposeRun.h"

#include <QDateTime>
#include <QHash>
#include <QPair>
#include <QSet>

#include "autocompose/AutoComposer.h"
#include "base/Prompter.h"
#include "base/RandomSource.h"
#include "base/TextRules.h"
#include "compose/PaperComposer.h"
#include "grid/GridSort.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

using P = PaperComposer;
using A = AutoComposer;

struct Texts {
    QString confirm;
    QString done;
    QString failed;
};

Texts textsFor(AutoComposeRun::Mode mode) {
    switch (mode) {
    case AutoComposeRun::Mode::PaperA:
        return {u"自动组A卷将取消原来A卷所有选择，确定要自动组A卷吗？"_s,
                u"自动A组卷完毕，请在组卷窗口查看。"_s, u"自动组A卷不成功！"_s};
    case AutoComposeRun::Mode::PaperB:
        return {u"自动组B卷将取消原来B卷所有选择，确定要自动组B卷吗？"_s,
                u"自动组B卷完毕，请在组卷窗口查看。"_s, u"自动组B卷不成功！"_s};
    case AutoComposeRun::Mode::Both:
        break;
    }
    return {u"自动组A、B卷将取消原来A、B卷所有选择，确定要自动组A、B卷吗？"_s,
            u"自动组A、B卷完毕，请在组卷窗口查看。"_s, u"自动组A、B卷不成功！"_s};
}

int markColumn(AutoComposeRun::Mode paper) {
    return paper == AutoComposeRun::Mode::PaperB ? P::PaperBColumn : P::PaperAColumn;
}

// Sorts by column every run of two or more rows that agree in all keys.
void sortRuns(GridModel& grid, const QList<int>& keys, int column, Prompter& prompter) {
    const int last = grid.rowCount() - 1;
    int start = 1;
    while (start <= last) {
        int end = start;
        const auto same = [&](int a, int b) {
            for (const int key : keys) {
                if (intValue(grid.text(a, key)) != intValue(grid.text(b, key)))
                    return false;
            }
            return true;
        };
        while (end < last && same(start, end + 1))
            ++end;
        if (end > start)
            sortRows(grid, column, start, end, SortKind::Number, prompter);
        start = end + 1;
    }
}

} // namespace

AutoComposeRun::AutoComposeRun(AutoComposer& window, RandomSource& random)
    : m_window(window), m_composer(window.composer()), m_random(random), m_caption(u"开始"_s) {}

void AutoComposeRun::startOrStop() {
    if (m_caption != u"开始"_s) {
        // The running attempt finishes; the next step() ends the run.
        m_window.setIdle(true);
        m_composer.setLocked(false);
        return;
    }
    if (m_window.paperAChosen() && m_window.paperBChosen())
        m_mode = Mode::Both;
    else if (m_window.paperAChosen())
        m_mode = Mode::PaperA;
    else if (m_window.paperBChosen())
        m_mode = Mode::PaperB;
    else
        return;
    if (!m_window.prompter().okCancel(textsFor(m_mode).confirm)) {
        endRun();
        return;
    }
    beginRun();
}

bool AutoComposeRun::composerLocked() const {
    return m_composer.locked();
}

void AutoComposeRun::beginRun() {
    m_composer.setLocked(true);
    m_caption = u"停止"_s;
    m_window.setElapsedText(u"用时： 00时 00分 00秒"_s);
    m_window.setLowestSimilarityText(u"100"_s);
    orderPlan();
    gatherCandidates();
    rememberMarks();
    m_marks[0] = Marks();
    m_marks[1] = Marks();
    m_succeeded = false;
    m_stale = true;
    refreshComposer();
    m_window.setIdle(false);
    m_window.setElapsedSeconds(0);
    m_tries = 0;
    m_running = true;
}

void AutoComposeRun::endRun() {
    m_progress = 0;
    m_caption = u"开始"_s;
    m_running = false;
    m_window.setIdle(true);
    m_composer.setLocked(false);
}

void AutoComposeRun::orderPlan() {
    GridModel& plan = m_window.compositionPlan();
    const int last = plan.rowCount() - 1;
    if (last < 2)
        return;
    Prompter& prompter = m_window.prompter();
    sortRows(plan, A::PlanChosenColumn, 1, last, SortKind::Number, prompter);
    sortRuns(plan, {A::PlanChosenColumn}, A::PlanSelectableColumn, prompter);
    sortRuns(plan, {A::PlanChosenColumn, A::PlanSelectableColumn}, A::PlanAvailableColumn, prompter);
}

void AutoComposeRun::gatherCandidates() {
    const GridModel& grid = m_composer.questionGrid();
    const GridModel& plan = m_window.compositionPlan();
    // One pass over the grid: each unit goes to the plan row of its type and score.
    QHash<QPair<QString, int>, int> planRowOf;
    for (int p = plan.rowCount() - 1; p >= 1; --p)
        planRowOf.insert({plan.text(p, A::PlanTypeColumn), intValue(plan.text(p, A::PlanScoreColumn))}, p - 1);
    m_pools = QList<Pool>(plan.rowCount() > 0 ? plan.rowCount() - 1 : 0);
    for (int r = 1; r < grid.rowCount(); ++r) {
        if (intValue(grid.text(r, P::GroupNumberColumn)) != 0 || grid.checked(r, P::BlockedColumn))
            continue;
        const auto found = planRowOf.constFind({grid.text(r, P::TypeColumn), intValue(grid.text(r, P::ScoreColumn))});
        if (found != planRowOf.cend())
            m_pools[*found].items.append({r, found.key().second, grid.text(r, P::KnowledgeColumn)});
    }
    // Every candidate in: node i of the tree covers the i & -i candidates up to i.
    for (Pool& pool : m_pools) {
        pool.tree = QList<int>(pool.items.size() + 1);
        for (qsizetype i = 1; i < pool.tree.size(); ++i)
            pool.tree[i] = int(i & -i);
    }
}

int AutoComposeRun::Pool::take(int k) {
    const int size = int(tree.size()) - 1;
    int step = 1;
    while (step * 2 <= size)
        step *= 2;
    // Descend to the last node whose prefix still holds fewer than k candidates.
    int node = 0;
    for (; step > 0; step /= 2) {
        if (node + step <= size && tree.at(node + step) < k) {
            node += step;
            k -= tree.at(node);
        }
    }
    for (int i = node + 1; i <= size; i += i & -i)
        --tree[i];
    return node;
}

void AutoComposeRun::Pool::putBack(int index) {
    const int size = int(tree.size()) - 1;
    for (int i = index + 1; i <= size; i += i & -i)
        ++tree[i];
}

void AutoComposeRun::composePaper(Mode paper) {
    if (!m_running)
        gatherCandidates(); // a run gathers them once, when it begins
    m_window.setShortage(false);
    QSet<QString> usedPoints;
    GridModel& grid = m_composer.questionGrid();
    const GridModel& plan = m_window.compositionPlan();
    Marks& marks = marksOf(paper);
    QList<int> taken;
    for (int p = 1; p < plan.rowCount(); ++p) {
        const int wanted = intValue(plan.text(p, A::PlanChosenColumn));
        Pool& pool = m_pools[p - 1];
        int left = int(pool.items.size());
        QList<Candidate> chosen;
        taken.clear();
        // The k-th of the candidates not yet drawn, in grid order.
        while (chosen.size() < wanted && left > 0) {
            const int index = pool.take(m_random.uniform(left));
            --left;
            taken << index;
            const Candidate& candidate = pool.items.at(index);
            // The whole 知识点 text is compared: "a" and "a|b" may share a paper.
            if (candidate.point.isEmpty()) {
                chosen << candidate;
            } else if (!usedPoints.contains(candidate.point)) {
                chosen << candidate;
                usedPoints.insert(candidate.point);
            }
        }
        for (const int index : std::as_const(taken))
            pool.putBack(index);
        if (chosen.size() < wanted) {
            m_window.setStatusText(plan.text(p, A::PlanScoreColumn) + u"分"_s +
                                   plan.text(p, A::PlanTypeColumn) + u"题不够选！"_s);
            m_window.setShortage(true);
            return;
        }
        for (const Candidate& candidate : std::as_const(chosen))
            grid.setChecked(candidate.row, markColumn(paper), true);
        marks.rows << chosen;
        m_progress = 0;
    }
}

int AutoComposeRun::paperTotal(Mode paper) const {
    const Marks& marks = marksOf(paper);
    if (!marks.own)
        return intValue(m_composer.totalText(paper == Mode::PaperB ? P::Paper::B : P::Paper::A));
    int total = 0;
    for (const Candidate& candidate : marks.rows)
        total += candidate.score;
    return total;
}

AutoComposeRun::Marks& AutoComposeRun::marksOf(Mode paper) {
    return m_marks[paper == Mode::PaperB ? 1 : 0];
}

const AutoComposeRun::Marks& AutoComposeRun::marksOf(Mode paper) const {
    return m_marks[paper == Mode::PaperB ? 1 : 0];
}

int AutoComposeRun::similarity() const {
    return int(m_similarity);
}

int AutoComposeRun::retryLimit() const {
    return m_window.chosenTotal() * 10;
}

void AutoComposeRun::rememberMarks() {
    const GridModel& grid = m_composer.questionGrid();
    for (int i = 0; i < 2; ++i) {
        m_marksBefore[i].clear();
        m_rowsBefore[i].clear();
    }
    for (int r = 1; r < grid.rowCount(); ++r) {
        for (int i = 0; i < 2; ++i) {
            if (grid.checked(r, i == 0 ? P::PaperAColumn : P::PaperBColumn)) {
                m_marksBefore[i].insert(intValue(grid.text(r, P::RecordIdColumn)));
                m_rowsBefore[i] << r;
            }
        }
    }
}

void AutoComposeRun::restoreMarks() {
    GridModel& grid = m_composer.questionGrid();
    for (int r = 1; r < grid.rowCount(); ++r) {
        const qint32 id = intValue(grid.text(r, P::RecordIdColumn));
        for (int i = 0; i < 2; ++i) {
            const int column = i == 0 ? P::PaperAColumn : P::PaperBColumn;
            const bool before = m_marksBefore[i].contains(id);
            if (grid.checked(r, column) != before)
                grid.setChecked(r, column, before);
        }
    }
    m_stale = true;
    refreshComposer();
}

void AutoComposeRun::clearMarks(Mode paper) {
    GridModel& grid = m_composer.questionGrid();
    const int column = markColumn(paper);
    Marks& marks = marksOf(paper);
    // The composer is locked while the run goes on: the marks it began with and
    // its own are all the paper can hold.
    if (!marks.cleared) {
        for (const int row : std::as_const(m_rowsBefore[paper == Mode::PaperB ? 1 : 0])) {
            if (grid.checked(row, column))
                grid.setChecked(row, column, false);
        }
        marks.cleared = true;
    }
    for (const Candidate& candidate : std::as_const(marks.rows)) {
        if (grid.checked(candidate.row, column))
            grid.setChecked(candidate.row, column, false);
    }
    marks.rows.clear();
}

void AutoComposeRun::paperDrawn() {
    // The counted rows of a paper are units with a score of at least 1, as
    // every candidate is; in the two-paper mode the other paper holds only
    // this run's marks as well, or no counted mark at all.
    if (m_mode != Mode::Both) {
        marksOf(m_mode).own = true;
    } else {
        m_marks[0].own = true;
        m_marks[1].own = true;
        QSet<int> inA;
        qint64 totalA = 0, totalB = 0, common = 0;
        for (const Candidate& candidate : std::as_const(m_marks[0].rows)) {
            inA.insert(candidate.row);
            totalA += candidate.score;
        }
        for (const Candidate& candidate : std::as_const(m_marks[1].rows)) {
            totalB += candidate.score;
            if (inA.contains(candidate.row))
                common += candidate.score;
        }
        m_similarity = P::similarityPercent(common, totalA, totalB);
    }
    // The composer's labels follow the run a few times a second.
    m_stale = true;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - m_lastRefresh >= 250)
        refreshComposer();
}

void AutoComposeRun::refreshComposer() {
    if (!m_stale)
        return;
    m_stale = false;
    m_composer.recomputePaperState();
    m_similarity = intValue(m_composer.similarityText());
    m_lastRefresh = QDateTime::currentMSecsSinceEpoch();
}

void AutoComposeRun::countTry(bool updateLowest) {
    ++m_tries;
    m_window.setTriesText(QString::number(m_tries));
    m_progress = m_tries;
    if (updateLowest && similarity() < intValue(m_window.lowestSimilarityText()))
        m_window.setLowestSimilarityText(QString::number(similarity()));
}

bool AutoComposeRun::step() {
    if (!m_running)
        return false;
    if (m_window.idle()) { // 停止 was pressed
        finish();
        return false;
    }
    const bool done = m_mode == Mode::Both ? attemptBoth() : attemptOne();
    m_succeeded = done;
    if (done || m_tries >= retryLimit()) {
        finish();
        return false;
    }
    return true;
}

void AutoComposeRun::runToEnd() {
    while (step()) {
    }
}

bool AutoComposeRun::attemptBoth() {
    const int a = paperTotal(Mode::PaperA);
    const int b = paperTotal(Mode::PaperB);
    if (a + b != 0) {
        if (a != 0)
            clearMarks(Mode::PaperA);
        if (b != 0)
            clearMarks(Mode::PaperB);
    }
    composePaper(Mode::PaperA);
    paperDrawn();
    if (m_window.shortage()) {
        countTry(true);
        return false;
    }
    composePaper(Mode::PaperB);
    paperDrawn();
    if (m_window.shortage())
        return false; // a paper B that runs short is not counted
    countTry(true);
    if (intValue(m_window.similarityLimit()) < similarity()) {
        m_window.setStatusText(u"不能满足相似度要求！"_s);
        return false;
    }
    refreshComposer();
    m_window.prompter().message(textsFor(m_mode).done);
    m_window.setStatusText(QString());
    return true;
}

bool AutoComposeRun::attemptOne() {
    if (paperTotal(m_mode) != 0)
        clearMarks(m_mode);
    composePaper(m_mode);
    paperDrawn();
    countTry(false);
    if (m_window.shortage())
        return false;
    refreshComposer();
    m_window.prompter().message(textsFor(m_mode).done);
    m_window.setStatusText(QString());
    return true;
}

void AutoComposeRun::finish() {
    refreshComposer();
    const Texts texts = textsFor(m_mode);
    if (m_mode == Mode::Both) {
        if (intValue(m_window.similarityLimit()) < similarity() ||
            paperTotal(Mode::PaperA) != paperTotal(Mode::PaperB))
            m_window.prompter().message(texts.failed, QString(), Prompter::Icon::Warning);
    } else if (m_window.shortage()) {
        m_window.prompter().message(texts.failed, QString(), Prompter::Icon::Warning);
    }
    if (!m_succeeded && m_window.prompter().yesNo(u"恢复开始前的选择？"_s))
        restoreMarks();
    endRun();
}

} // namespace helan
