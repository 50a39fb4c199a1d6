#include "AutoComposeRun.h"

#include <QStringList>

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
        m_composerLocked = false;
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

void AutoComposeRun::beginRun() {
    m_composerLocked = true;
    m_caption = u"停止"_s;
    m_window.setElapsedText(u"用时： 00时 00分 00秒"_s);
    m_window.setLowestSimilarityText(u"100"_s);
    orderPlan();
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
    m_composerLocked = false;
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

void AutoComposeRun::composePaper(Mode paper) {
    m_window.setShortage(false);
    QStringList usedPoints;
    GridModel& grid = m_composer.questionGrid();
    const GridModel& plan = m_window.compositionPlan();
    for (int p = 1; p < plan.rowCount(); ++p) {
        const QString type = plan.text(p, A::PlanTypeColumn);
        const int score = intValue(plan.text(p, A::PlanScoreColumn));
        const int wanted = intValue(plan.text(p, A::PlanChosenColumn));
        QList<int> candidates;
        for (int r = 1; r < grid.rowCount(); ++r) {
            if (intValue(grid.text(r, P::GroupNumberColumn)) == 0 && grid.text(r, P::TypeColumn) == type &&
                intValue(grid.text(r, P::ScoreColumn)) == score && !grid.checked(r, P::BlockedColumn))
                candidates << r;
        }
        QList<int> chosen;
        while (chosen.size() < wanted && !candidates.isEmpty()) {
            const int k = m_random.uniform(int(candidates.size()));
            const int row = candidates.at(k - 1);
            // The whole 知识点 text is compared: "a" and "a|b" may share a paper.
            const QString point = grid.text(row, P::KnowledgeColumn);
            if (point.isEmpty()) {
                chosen << row;
            } else if (!usedPoints.contains(point)) {
                chosen << row;
                usedPoints << point;
            }
            candidates.removeAt(k - 1);
        }
        if (chosen.size() < wanted) {
            m_window.setStatusText(plan.text(p, A::PlanScoreColumn) + u"分"_s + type + u"题不够选！"_s);
            m_window.setShortage(true);
            return;
        }
        for (const int row : chosen)
            grid.setChecked(row, markColumn(paper), true);
        m_progress = 0;
    }
}

int AutoComposeRun::paperTotal(Mode paper) const {
    return intValue(m_composer.totalText(paper == Mode::PaperB ? P::Paper::B : P::Paper::A));
}

int AutoComposeRun::similarity() const {
    return intValue(m_composer.similarityText());
}

int AutoComposeRun::retryLimit() const {
    return m_window.chosenTotal() * 10;
}

void AutoComposeRun::clearMarks(int column) {
    GridModel& grid = m_composer.questionGrid();
    for (int r = 1; r < grid.rowCount(); ++r)
        grid.setChecked(r, column, false);
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
            clearMarks(P::PaperAColumn);
        if (b != 0)
            clearMarks(P::PaperBColumn);
    }
    composePaper(Mode::PaperA);
    m_composer.recomputePaperState();
    if (m_window.shortage()) {
        countTry(true);
        return false;
    }
    composePaper(Mode::PaperB);
    m_composer.recomputePaperState();
    if (m_window.shortage())
        return false; // a paper B that runs short is not counted
    countTry(true);
    if (intValue(m_window.similarityLimit()) < similarity()) {
        m_window.setStatusText(u"不能满足相似度要求！"_s);
        return false;
    }
    m_window.prompter().message(textsFor(m_mode).done);
    m_window.setStatusText(QString());
    return true;
}

bool AutoComposeRun::attemptOne() {
    if (paperTotal(m_mode) != 0)
        clearMarks(markColumn(m_mode));
    composePaper(m_mode);
    m_composer.recomputePaperState();
    countTry(false);
    if (m_window.shortage())
        return false;
    m_window.prompter().message(textsFor(m_mode).done);
    m_window.setStatusText(QString());
    return true;
}

void AutoComposeRun::finish() {
    const Texts texts = textsFor(m_mode);
    if (m_mode == Mode::Both) {
        if (intValue(m_window.similarityLimit()) < similarity() ||
            paperTotal(Mode::PaperA) != paperTotal(Mode::PaperB))
            m_window.prompter().message(texts.failed, QString(), Prompter::Icon::Warning);
    } else if (m_window.shortage()) {
        m_window.prompter().message(texts.failed, QString(), Prompter::Icon::Warning);
    }
    endRun();
}

} // namespace helan
