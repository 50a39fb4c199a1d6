#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>

#include "editor/BankEditor.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QSlider;
class QStatusBar;
class QToolBar;

namespace helan {

class BankEditorHelpWindow;
class GridView;

// The window "题库编辑": shows a BankEditor and forwards what the user does to it.
// Opened modally (exec()) over the main window; the editor must have been opened
// on the course's bank before the window is shown.
class BankEditorWindow : public QDialog {
    Q_OBJECT
public:
    explicit BankEditorWindow(BankEditor& editor, QWidget* parent = nullptr);
    ~BankEditorWindow() override;

    // Opens the editor modally on a course whose bank is open under the course
    // name, and returns when the window has closed.
    static void runModal(RecordStore& store, Prompter& prompter, const QString& course,
                         BankEditor::LineCounter countWrappedLines, QWidget* parent);

    BankEditor& editor() const { return m_editor; }
    GridView& gridView() const { return *m_gridView; }
    // The text dialog currently open, for tests; null when none is.
    QDialog* textDialog() const { return m_textDialog; }

    QString searchText() const;
    // 从头 and 从当前 share one state; 下一个 has its own.
    void setSearchButtonsEnabled(bool fromStartAndCurrent, bool next);

    // Closing asks the editor first; a "no" keeps the window open.
    void reject() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildControls();
    void layoutControls();
    int gridClientWidth() const;
    void openTextDialog();
    void showContextMenu(const QList<BankEditor::MenuItem>& items, int x, int y);
    void showHelp();

    BankEditor& m_editor;
    QMenuBar* m_menuBar;
    QToolBar* m_toolBar;
    QAction* m_addButton;
    QAction* m_deleteButton;
    QAction* m_deleteItem;
    QGroupBox* m_searchBox;
    QLineEdit* m_searchText;
    QPushButton* m_searchFromStart;
    QPushButton* m_searchFromCurrent;
    QPushButton* m_searchNext;
    QLabel* m_heightLabel;
    QSlider* m_heightSlider;
    QPushButton* m_autoHeight;
    GridView* m_gridView;
    QStatusBar* m_statusBar;
    QMenu* m_contextMenu;
    QList<QAction*> m_contextItems;
    QPointer<BankEditorHelpWindow> m_help;
    QPointer<QDialog> m_textDialog;
};

} // namespace helan
