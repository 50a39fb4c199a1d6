#pragma once

#include <QDialog>
#include <QPointer>

#include "compose/PaperComposer.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QSlider;
class QStatusBar;

namespace helan {

class AutoComposerWindow;
class GridView;
class PaperComposerHelpWindow;
class Prompter;
class RecordStore;

// The window "组卷": shows a PaperComposer and forwards what the user does to it.
// Opened modally over the main window on the course whose bank is open and current.
// It plugs the numbering, colour, difficulty and question preview windows into
// the composer, and the window 自动组卷; paper generation is plugged in by whoever
// opens it (PaperComposer::Hooks), or the built-in writers are used.
class PaperComposerWindow : public QDialog {
    Q_OBJECT
public:
    // Builds the composer and its window on the course and runs it modally over
    // parent; the questions are written back when it closes. The main window's
    // "组卷" opens it through this call.
    static void run(RecordStore& store, Prompter& prompter, const QString& course, QWidget* parent,
                    const PaperComposer::Hooks& hooks = {});

    // Opens the composer (loads everything) unless it has been opened already.
    explicit PaperComposerWindow(PaperComposer& composer, QWidget* parent = nullptr);
    ~PaperComposerWindow() override;

    PaperComposer& composer() const { return m_composer; }
    GridView& questionView() const { return *m_questionView; }
    GridView& typeOrderView() const { return *m_typeView; }

    // The window goes: the composer writes the questions back.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int kNarrowestStem = 60;
    void fitQuestionColumns();
    void buildControls();
    void buildMenus();
    void plugWindows();
    void render();
    void showSortMenu(bool boxItems, int x, int y);
    void showHelp();
    void fillCombo(QComboBox* combo, const QStringList& items, const QString& current);

    PaperComposer& m_composer;
    QPointer<AutoComposerWindow> m_autoComposer;
    QMenu* m_sortMenu = nullptr;
    QAction* m_boxSeparator = nullptr;
    QList<QAction*> m_boxItems;
    QMenu* m_typeMenu = nullptr;
    QMenu* m_numberingMenu = nullptr;

    GridView* m_questionView = nullptr;
    QSlider* m_rowHeight = nullptr;
    GridView* m_typeView = nullptr;
    GridView* m_scoresAView = nullptr;
    GridView* m_scoresBView = nullptr;
    QLabel* m_totalA = nullptr;
    QLabel* m_totalB = nullptr;
    QLabel* m_similarity = nullptr;
    QLabel* m_difficultyNote = nullptr;
    QComboBox* m_lowest = nullptr;
    QComboBox* m_highest = nullptr;
    QPushButton* m_autoCompose = nullptr;
    QRadioButton* m_word = nullptr;
    QRadioButton* m_html = nullptr;
    QRadioButton* m_pdf = nullptr;
    QCheckBox* m_continuous = nullptr;
    QCheckBox* m_optionBreak = nullptr;
    QCheckBox* m_scoreNote = nullptr;
    QComboBox* m_numberingStyle = nullptr;
    QComboBox* m_majorSuffix = nullptr;
    QComboBox* m_optionLabels = nullptr;
    QComboBox* m_optionSuffix = nullptr;
    QPushButton* m_generateA = nullptr;
    QPushButton* m_generateB = nullptr;
    QPushButton* m_print = nullptr;
    QStatusBar* m_status = nullptr;
    QPointer<PaperComposerHelpWindow> m_help;
    bool m_rendering = false;
};

} // namespace helan
