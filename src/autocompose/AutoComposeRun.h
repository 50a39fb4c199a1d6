#pragma once

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
    bool composerLocked() const { return m_composerLocked; }
    bool timerRunning() const { return m_running; }

private:
    void beginRun();
    void endRun();
    bool attemptBoth();
    bool attemptOne();
    void countTry(bool updateLowest);
    void finish();
    int paperTotal(Mode paper) const;
    int similarity() const;
    int retryLimit() const;
    void clearMarks(int column);

    AutoComposer& m_window;
    PaperComposer& m_composer;
    RandomSource& m_random;
    Mode m_mode = Mode::Both;
    bool m_running = false;
    bool m_composerLocked = false;
    int m_tries = 0;
    int m_progress = 0;
    QString m_caption;
};

} // namespace helan
