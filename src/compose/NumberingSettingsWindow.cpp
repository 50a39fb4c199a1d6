#include "compose/NumberingSettingsWindow.h"

#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include "compose/NumberingSettings.h"
#include "gridview/GridView.h"

using namespace Qt::StringLiterals;

namespace helan {

NumberingSettingsWindow::NumberingSettingsWindow(NumberingSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings) {
    setObjectName(u"大题编号类型设置"_s);
    setWindowTitle(u"大题编号类型设置"_s);
    setModal(true);

    m_menuBar = new QMenuBar(this);
    m_editMenu = m_menuBar->addMenu(u"编辑"_s);
    QMenu* add = m_editMenu->addMenu(u"添加"_s);
    connect(add->addAction(u"行"_s), &QAction::triggered, &m_settings, &NumberingSettings::addRow);
    connect(add->addAction(u"列"_s), &QAction::triggered, &m_settings, &NumberingSettings::addColumn);
    m_deleteMenu = m_editMenu->addMenu(u"删除"_s);
    m_lastRow = m_deleteMenu->addAction(u"末尾行"_s);
    m_currentColumn = m_deleteMenu->addAction(u"当前列"_s);
    connect(m_lastRow, &QAction::triggered, &m_settings, &NumberingSettings::deleteLastRow);
    connect(m_currentColumn, &QAction::triggered, &m_settings, &NumberingSettings::deleteCurrentColumn);

    m_settings.open();
    m_gridView = new GridView(m_settings.grid(), this);
    m_gridView->setObjectName(u"高级表格1"_s);
    m_gridView->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(m_gridView);

    connect(&m_settings, &NumberingSettings::menusChanged, this, &NumberingSettingsWindow::refreshMenus);
    connect(&m_settings, &NumberingSettings::sizeChanged, this, &NumberingSettingsWindow::fit);
    connect(&m_settings.grid().events(), &GridEvents::rightButtonUp, this,
            [this](int x, int y, Qt::KeyboardModifiers) {
                m_editMenu->popup(m_gridView->mapToGlobal(QPoint(x, y)));
            });
    refreshMenus();
    fit();
}

void NumberingSettingsWindow::refreshMenus() {
    m_deleteMenu->menuAction()->setVisible(m_settings.deleteMenuVisible());
    m_lastRow->setVisible(m_settings.lastRowItemVisible());
    m_currentColumn->setVisible(m_settings.currentColumnItemVisible());
}

void NumberingSettingsWindow::fit() {
    const QSize size = m_settings.windowSize();
    // The menu bar needs room for its one menu whatever the columns are.
    resize(std::max(size.width(), 200), size.height());
}

void NumberingSettingsWindow::done(int result) {
    if (!m_settings.mayClose())
        return;
    m_settings.close();
    QDialog::done(result);
}

} // namespace helan
