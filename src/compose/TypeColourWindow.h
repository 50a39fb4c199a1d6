#pragma once

#include <QDialog>

class QAction;
class QMenu;

namespace helan {

class GridView;
class TypeColourSettings;

// The window "题型排列颜色": shows TypeColourSettings and forwards to it. Modal;
// saves the colours when it closes.
class TypeColourWindow : public QDialog {
    Q_OBJECT
public:
    explicit TypeColourWindow(TypeColourSettings& settings, QWidget* parent = nullptr);

    GridView& gridView() const { return *m_gridView; }
    QMenu& editMenu() const { return *m_editMenu; }

    void done(int result) override;

private:
    void fit();

    TypeColourSettings& m_settings;
    QMenu* m_editMenu;
    QAction* m_deleteLast;
    QAction* m_modify;
    GridView* m_gridView;
};

} // namespace helan
