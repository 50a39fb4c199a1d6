#pragma once

#include <QDialog>

class QAction;
class QMenu;
class QMenuBar;

namespace helan {

class GridView;
class NumberingSettings;

// The window "大题编号类型设置": shows NumberingSettings and forwards to it.
// Modal; refuses to close while a label is empty and saves the styles when it does.
class NumberingSettingsWindow : public QDialog {
    Q_OBJECT
public:
    explicit NumberingSettingsWindow(NumberingSettings& settings, QWidget* parent = nullptr);

    GridView& gridView() const { return *m_gridView; }
    QMenu& editMenu() const { return *m_editMenu; }

    void done(int result) override;

private:
    void refreshMenus();
    void fit();

    NumberingSettings& m_settings;
    QMenuBar* m_menuBar;
    QMenu* m_editMenu;
    QMenu* m_deleteMenu;
    QAction* m_lastRow;
    QAction* m_currentColumn;
    GridView* m_gridView;
};

} // namespace helan
