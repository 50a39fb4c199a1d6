#pragma once

#include <memory>

#include <QWidget>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QTimer;

namespace helan {

class AutoComposeRun;
class AutoComposer;
class GridView;
class PaperComposer;
class Prompter;
class RandomSource;

// The window "自动组卷": shows AutoComposer and its run and forwards what the
// user does. A run advances one attempt per turn of the event loop, so 停止 and
// the clock stay live during it.
class AutoComposerWindow : public QWidget {
    Q_OBJECT
public:
    AutoComposerWindow(AutoComposer& logic, AutoComposeRun& run, QWidget* parent = nullptr);
    // The window as the composer opens it: it owns its logic and its run and
    // goes when it is closed.
    AutoComposerWindow(PaperComposer& composer, Prompter& prompter, RandomSource& random,
                       QWidget* parent = nullptr);
    ~AutoComposerWindow() override;

    AutoComposer& logic() const { return m_logic; }
    AutoComposeRun& run() const { return m_run; }
    GridView& typeView() const { return *m_typeView; }
    QPushButton& startButton() const { return *m_start; }
    QCheckBox& paperABox() const { return *m_paperA; }
    QCheckBox& paperBBox() const { return *m_paperB; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    void showHelp();
    // Opens the 组卷题数 cell of the cursor row with its list dropped down.
    void dropCountList();
    void refresh();
    void startOrStop();
    void stepRun();

    std::unique_ptr<AutoComposer> m_ownLogic;
    std::unique_ptr<AutoComposeRun> m_ownRun;
    AutoComposer& m_logic;
    AutoComposeRun& m_run;
    GridView* m_typeView;
    GridView* m_scoreView;
    GridView* m_planView;
    QMenu* m_sortMenu;
    QMenu* m_helpMenu;
    QAction* m_byType;
    QAction* m_bySelectable;
    QLabel* m_total;
    QCheckBox* m_paperA;
    QCheckBox* m_paperB;
    QList<QWidget*> m_similarityWidgets;
    QComboBox* m_limit;
    QLabel* m_lowest;
    QList<QWidget*> m_triesWidgets;
    QLabel* m_retries;
    QLabel* m_tries;
    QLabel* m_elapsed;
    QProgressBar* m_progress;
    QLabel* m_status;
    QPushButton* m_start;
    QTimer* m_clock;
    QTimer* m_stepper;
};

} // namespace helan
