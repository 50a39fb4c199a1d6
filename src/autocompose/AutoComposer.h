#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include "grid/GridModel.h"

namespace helan {

class PaperComposer;
class Prompter;

// The logic of the window "自动组卷": per question type and score, how many
// units (ungrouped questions and group titles) exist, may be used and can be
// chosen without repeating a knowledge point; the counts the user asks for and
// the plan the run composes from. Everything is counted once, from QuestionGrid
// as it is when the window opens: the composer keeps the counted columns still
// while this window exists.
class AutoComposer : public QObject {
    Q_OBJECT
public:
    // TypeTable (高级表格1).
    enum TypeColumn : int {
        TypeNameColumn = 0,
        ScoreColumn = 1,
        CountColumn = 2,
        AvailableColumn = 3,
        SelectableColumn = 4,
        ChosenColumn = 5,
    };
    static constexpr int kTypeColumnCount = 6;

    // CompositionPlan (高级表格3).
    enum PlanColumn : int {
        PlanTypeColumn = 0,
        PlanScoreColumn = 1,
        PlanAvailableColumn = 2,
        PlanSelectableColumn = 3,
        PlanChosenColumn = 4,
    };
    static constexpr int kPlanColumnCount = 5;

    // Rows of which nothing can be chosen.
    static constexpr RgbColour kExhaustedColour = 0x808080;

    AutoComposer(PaperComposer& composer, Prompter& prompter, const QString& courseName,
                 QObject* parent = nullptr);

    PaperComposer& composer() { return m_composer; }
    Prompter& prompter() { return m_prompter; }

    GridModel& typeTable() { return m_types; }
    const GridModel& typeTable() const { return m_types; }
    GridModel& typeScoreTable() { return m_typeScores; }
    const GridModel& typeScoreTable() const { return m_typeScores; }
    GridModel& compositionPlan() { return m_plan; }
    const GridModel& compositionPlan() const { return m_plan; }

    // The window was created: counts, sort, colours, the initial control states.
    void open();

    // Counts the type table afresh from QuestionGrid, in one pass; part of open().
    void buildTypeTable();
    void sortBySelectable(); // "按可选题数(&S)"
    void sortByType();       // "按题型(&T)"
    void colourTypeRows();

    // Left button released over the type table: opens the 组卷题数 cell of the
    // cursor row for a choice of 0 … its bound (and asks for its list to drop
    // down), or closes the grid for editing.
    void beginCountEdit();
    // The 组卷题数 cell of the cursor row was edited.
    void applyCountChange();
    // 组A卷 / 组B卷 clicked.
    void setPaperChoice(bool paperA, bool paperB);
    // One second of a run has passed.
    void tickElapsed();
    // Closing is refused, with a message, while a run is in progress.
    bool requestClose();

    // ---- State
    int chosenTotal() const { return m_chosenTotal; }
    int paperSelectableCount() const { return m_paperSelectable; }
    float selectableRatio() const { return m_ratio; }
    bool idle() const { return m_idle; }
    void setIdle(bool on) { m_idle = on; }
    int elapsedSeconds() const { return m_elapsed; }
    void setElapsedSeconds(int seconds) { m_elapsed = seconds; }
    bool shortage() const { return m_shortage; }
    void setShortage(bool on) { m_shortage = on; }

    // ---- What the window shows
    QString caption() const { return m_caption; }
    QString totalText() const { return m_totalText; } // 标签8
    bool paperAChosen() const { return m_paperA; }
    bool paperBChosen() const { return m_paperB; }
    bool paperChoiceEnabled() const { return m_paperChoiceEnabled; } // 组A卷, 组B卷
    bool startEnabled() const { return m_startEnabled; }
    // 标签3, 组合框1, 标签4 and 标签2, 标签7, 标签5: both papers only.
    bool similarityVisible() const { return m_similarityVisible; }
    // 标签9 … 标签12.
    bool triesVisible() const { return m_triesVisible; }
    QString retryText() const { return m_retryText; } // 标签10
    QString triesText() const { return m_triesText; } // 标签11
    void setTriesText(const QString& text) { m_triesText = text; }
    QString lowestSimilarityText() const { return m_lowestText; } // 标签7
    void setLowestSimilarityText(const QString& text) { m_lowestText = text; }
    QString elapsedText() const { return m_elapsedText; } // 标签6
    void setElapsedText(const QString& text) { m_elapsedText = text; }
    QString statusText() const { return m_status; } // 状态条1
    void setStatusText(const QString& text) { m_status = text; }
    bool sortByTypeEnabled() const { return m_sortByTypeEnabled; }
    bool sortBySelectableEnabled() const { return m_sortBySelectableEnabled; }

    // 组合框1: the similarity limit in percent.
    static QStringList similarityItems();
    QString similarityLimit() const { return m_similarityLimit; }
    void setSimilarityLimit(const QString& text) { m_similarityLimit = text; }

    // 标签6 after seconds of a run.
    static QString elapsedLabel(int seconds);
    // The text of the window 自动组卷帮助.
    static QString helpText();

Q_SIGNALS:
    void stateChanged();
    // Pop up "排序" at (x, y) of the type table.
    void sortMenuRequested(int x, int y);
    // The 组卷题数 cell of the cursor row is open for a choice: the window drops
    // its list down, so that one click is enough where the grid itself would
    // wait for a double click.
    void countListRequested();

private:
    bool isUnit(int row) const;
    bool isBlocked(int row) const;
    int planRowOf(const QString& type, int score) const;
    void applyTypeScore(const QString& type, int score, int newCount, int oldCount);
    void changed() { Q_EMIT stateChanged(); }

    PaperComposer& m_composer;
    Prompter& m_prompter;
    QString m_courseName;

    GridModel m_types;
    GridModel m_typeScores;
    GridModel m_plan;

    int m_chosenTotal = 0;
    int m_paperSelectable = 0;
    float m_ratio = 0.0F;
    bool m_idle = true;
    QString m_countBeforeEdit;
    int m_elapsed = 0;
    bool m_shortage = false;

    QString m_caption;
    QString m_totalText;
    bool m_paperA = false;
    bool m_paperB = false;
    bool m_paperChoiceEnabled = false;
    bool m_startEnabled = false;
    bool m_similarityVisible = false;
    bool m_triesVisible = false;
    QString m_retryText;
    QString m_triesText;
    QString m_lowestText;
    QString m_elapsedText;
    QString m_status;
    QString m_similarityLimit;
    bool m_sortByTypeEnabled = false;
    bool m_sortBySelectableEnabled = false;
};

} // namespace helan
