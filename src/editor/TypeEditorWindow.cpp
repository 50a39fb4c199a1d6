#include "editor/TypeEditorWindow.h"

#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>

#include "editor/TypeEditor.h"
#include "gridview/GridView.h"

using namespace Qt::StringLiterals;

namespace helan {

TypeEditorWindow::TypeEditorWindow(TypeEditor& editor, QWidget* parent) : QDialog(parent), m_editor(editor) {
    setObjectName(u"题型编辑"_s);
    setWindowTitle(u"题型编辑"_s);
    m_gridView = new GridView(editor.grid(), this);
    m_gridView->setObjectName(u"高级表格1"_s);
    m_add = new QPushButton(u"添加"_s, this);
    m_add->setObjectName(u"按钮添加"_s);
    m_delete = new QPushButton(u"删除"_s, this);
    m_delete->setObjectName(u"按钮删除"_s);
    for (QPushButton* b : {m_add, m_delete}) {
        b->setAutoDefault(false);
        b->resize(TypeEditor::kButtonWidth, 26);
    }
    m_rowHeight = new QScrollBar(Qt::Vertical, this);
    m_rowHeight->setObjectName(u"纵向滚动条1"_s);
    m_rowHeight->setRange(0, kRowHeightRange);
    m_rowHeight->resize(16, 42);

    connect(m_add, &QPushButton::clicked, &editor, &TypeEditor::addType);
    connect(m_delete, &QPushButton::clicked, &editor, &TypeEditor::deleteType);
    connect(m_rowHeight, &QScrollBar::valueChanged, &editor, &TypeEditor::rowHeightChanged);
    connect(&editor, &TypeEditor::deleteEnabledChanged, m_delete, &QWidget::setEnabled);

    editor.load();
    m_delete->setEnabled(editor.deleteEnabled());
    editor.rowHeightChanged(m_rowHeight->value());
    resize(640, 400);
}

void TypeEditorWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const TypeEditor::Layout l = TypeEditor::layoutFor(width(), height());
    m_gridView->setGeometry(0, 0, width(), l.gridHeight);
    for (int c = 0; c < TypeEditor::kColumnCount; ++c)
        m_editor.grid().setColumnWidth(c, l.columnWidths[c]);
    m_delete->move(l.deleteLeft, l.buttonsTop);
    m_add->move(l.addLeft, l.buttonsTop);
    m_rowHeight->move(l.scrollBarLeft, l.scrollBarTop);
}

} // namespace helan
