#include "compose/TypeColourWindow.h"

#include <QHeaderView>
#include <QMenu>
#include <QVBoxLayout>

#include "compose/TypeColourSettings.h"
#include "gridview/GridView.h"

using namespace Qt::StringLiterals;

namespace helan {

TypeColourWindow::TypeColourWindow(TypeColourSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings) {
    setObjectName(u"题型排列颜色"_s);
    setWindowTitle(u"题型排列颜色"_s);
    setModal(true);

    m_editMenu = new QMenu(u"编辑"_s, this);
    connect(m_editMenu->addAction(u"添加行"_s), &QAction::triggered, &m_settings,
            &TypeColourSettings::addRow);
    m_deleteLast = m_editMenu->addAction(u"删除末行"_s);
    m_modify = m_editMenu->addAction(u"修改"_s);
    connect(m_deleteLast, &QAction::triggered, &m_settings, &TypeColourSettings::deleteLastRow);
    connect(m_modify, &QAction::triggered, &m_settings, &TypeColourSettings::modify);

    m_settings.open();
    m_gridView = new GridView(m_settings.grid(), this);
    m_gridView->setObjectName(u"高级表格1"_s);
    m_gridView->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_gridView);

    connect(&m_settings, &TypeColourSettings::sizeChanged, this, &TypeColourWindow::fit);
    connect(&m_settings.grid().events(), &GridEvents::rightButtonUp, this,
            [this](int x, int y, Qt::KeyboardModifiers) {
                m_modify->setVisible(m_settings.rowItemsVisible());
                m_deleteLast->setVisible(m_settings.rowItemsVisible());
                m_editMenu->popup(m_gridView->mapToGlobal(QPoint(x, y)));
            });
    fit();
}

void TypeColourWindow::fit() {
    const QSize size = m_settings.windowSize();
    // Room below the rows to right-click when there are none yet.
    resize(std::max(size.width(), 200), std::max(size.height(), 120));
}

void TypeColourWindow::done(int result) {
    m_settings.close();
    QDialog::done(result);
}

} // namespace helan
