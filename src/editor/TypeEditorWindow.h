#pragma once

#include <QDialog>

class QPushButton;
class QScrollBar;

namespace helan {

class GridView;
class TypeEditor;

// The window "题型编辑": shows a TypeEditor's grid with 添加 and 删除 and the
// row-height bar, laid out by the editor's rules for the window's size.
class TypeEditorWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRowHeightRange = 40;

    explicit TypeEditorWindow(TypeEditor& editor, QWidget* parent = nullptr);

    GridView& gridView() const { return *m_gridView; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    TypeEditor& m_editor;
    GridView* m_gridView;
    QPushButton* m_add;
    QPushButton* m_delete;
    QScrollBar* m_rowHeight;
};

} // namespace helan
