#pragma once

#include <QList>
#include <QSet>
#include <QString>

namespace helan {

class AutoComposer;
class PaperComposer;
class RandomSource;

// A run of 自动组卷: papers drawn at random from the plan of an AutoComposer
// into the A卷 / B卷 marks of the composer's QuestionGrid, retried until one
// succeeds, the retry count is used up or the user stops. One attempt per
// step(), so that the window can drive the run from a timer and stay
// responsive between attempts; the draws come from the RandomSource in a fixed
// order, so a run replays exactly from a known generator state.
class AutoComposeRun {
public:
    enum class Mode { Both, PaperA, PaperB };

    AutoComposeRun(AutoComposer& window, RandomSource& random);

    // 按钮开始: "开始" asks for confirmation and starts a run; "停止" stops the
    // running one, which ends at its next step().
    void startOrStop();
    // One attempt and the checks after it. False once the run has ended (the
    // final message, if any, shown).
    bool step();
    // Steps until the run ends.
    void runToEnd();

    // Sorts the plan by 组卷题数, then 可选题数, then 可用题数, all ascending.
    void orderPlan();
    // Draws one paper into the marks of QuestionGrid; sets the window's shortage
    // when a plan row cannot be filled.
    void composePaper(Mode paper);

    bool running() const { return m_running; }
    Mode mode() const { return m_mode; }
    int tries() const { return m_tries; }
    int progress() const { return m_progress; }         // 进度条1
    QString buttonCaption() const { return m_caption; } // 按钮开始
    // While a run is in progress the composer, the menus, the type table, both
    // check boxes and the similarity list are disabled.
    bool controlsEnabled() const { return !m_running; }
    bool composerLocked() const;
    bool timerRunning() const { return m_running; }

private:
    struct Candidate {
        int row;
        int score;
        QString point;
    };

    void beginRun();
    void endRun();
    bool attemptBoth();
    bool attemptOne();
    void countTry(bool updateLowest);
    void finish();
    void gatherCandidates();
    // The A卷 / B卷 marks as the run finds them, to clear and to put back.
    void rememberMarks();
    void restoreMarks();
    struct Marks;
    Marks& marksOf(Mode paper);
    const Marks& marksOf(Mode paper) const;
    void clearMarks(Mode paper);
    // The composer's totals and similarity after a drawn paper; its state is
    // rebuilt now and then during a run and always at its end.
    void paperDrawn();
    void refreshComposer();
    int paperTotal(Mode paper) const;
    int similarity() const;
    int retryLimit() const;

    AutoComposer& m_window;
    PaperComposer& m_composer;
    RandomSource& m_random;
    Mode m_mode = Mode::Both;
    bool m_running = false;
    int m_tries = 0;
    int m_progress = 0;
    QString m_caption;

    // Per plan row, the QuestionGrid rows it draws from, in grid order, and a
    // Fenwick tree of which of them are still in the draw: the k-th remaining
    // candidate is found and taken out in logarithmic time, and put back when the
    // row is done, so a draw costs what the paper takes, not what the bank holds.
    // Gathered when a run begins: the composer keeps its grid still while the run
    // goes on.
    struct Pool {
        QList<Candidate> items;
        QList<int> tree;
        int take(int k); // the index of the k-th remaining candidate, taken out
        void putBack(int index);
    };
    QList<Pool> m_pools;
    // The marks the run began with: record IDs to put back, grid rows to clear.
    QSet<qint32> m_marksBefore[2];
    QList<int> m_rowsBefore[2];
    bool m_succeeded = false;
    // Once a paper has been drawn in this run, its counted marks are exactly the
    // rows the run marked (the first clearing removed everything else), so the
    // totals and the similarity follow from these lists without a pass over the
    // whole grid.
    struct Marks {
        QList<Candidate> rows;
        bool cleared = false; // the marks the run began with are gone
        bool own = false;     // the paper holds only this run's marks
    };
    Marks m_marks[2];
    qint64 m_similarity = 0;
    qint64 m_lastRefresh = 0;
    bool m_stale = false; // marks changed since the composer's state was rebuilt
};

} // namespace helan
