#include "autocompose/AutoComposerWindow.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "autocompose/AutoComposeRun.h"
#include "autocompose/AutoComposer.h"
#include "compose/PaperComposer.h"
#include "grid/GridEvents.h"
#include "grid/GridModel.h"
#include "gridview/GridView.h"
#include "ui/HelpTextWindow.h"
#include "ui/Named.h"

using namespace Qt::StringLiterals;

namespace helan {

AutoComposerWindow::AutoComposerWindow(AutoComposer& logic, AutoComposeRun& run, QWidget* parent)
    : QWidget(parent, Qt::Window), m_logic(logic), m_run(run) {
    build();
}

AutoComposerWindow::AutoComposerWindow(PaperComposer& composer, Prompter& prompter, RandomSource& random,
                                       QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_ownLogic(std::make_unique<AutoComposer>(composer, prompter, composer.courseName())),
      m_ownRun(std::make_unique<AutoComposeRun>(*m_ownLogic, random)), m_logic(*m_ownLogic),
      m_run(*m_ownRun) {
    setAttribute(Qt::WA_DeleteOnClose);
    build();
}

AutoComposerWindow::~AutoComposerWindow() {
    // An owned logic goes before the child widgets would: nothing may show its
    // grids or hear from it any more.
    disconnect(&m_logic, nullptr, this, nullptr);
    delete m_typeView;
    delete m_scoreView;
    delete m_planView;
}

void AutoComposerWindow::build() {
    setObjectName(u"自动组卷"_s);

    auto* menuBar = named(new QMenuBar(this), u"菜单栏1"_s);
    m_sortMenu = named(menuBar->addMenu(u"排序"_s), u"菜单排序"_s);
    m_byType = named(m_sortMenu->addAction(u"按题型(&T)"_s), u"菜单按题型"_s);
    m_bySelectable = named(m_sortMenu->addAction(u"按可选题数(&S)"_s), u"菜单按可选题数"_s);
    connect(m_byType, &QAction::triggered, &m_logic, &AutoComposer::sortByType);
    connect(m_bySelectable, &QAction::triggered, &m_logic, &AutoComposer::sortBySelectable);
    m_helpMenu = named(menuBar->addMenu(u"帮助(&H)"_s), u"菜单帮助"_s);
    connect(named(m_helpMenu->addAction(u"自动组卷帮助(&H)"_s), u"菜单自动组卷帮助"_s), &QAction::triggered,
            this, &AutoComposerWindow::showHelp);

    m_typeView = named(new GridView(m_logic.typeTable(), this), u"高级表格1"_s);
    m_scoreView = named(new GridView(m_logic.typeScoreTable(), this), u"高级表格2"_s);
    // The plan is the run's work grid; the user does not see it.
    m_planView = named(new GridView(m_logic.compositionPlan(), this), u"高级表格3"_s);
    m_planView->hide();

    m_total = label(u"标签8"_s, QString(), this);
    m_paperA = named(new QCheckBox(u"组A卷"_s, this), u"选择框组A卷"_s);
    m_paperB = named(new QCheckBox(u"组B卷"_s, this), u"选择框组B卷"_s);
    m_limit = named(new QComboBox(this), u"组合框1"_s);
    m_limit->addItems(AutoComposer::similarityItems());
    m_lowest = label(u"标签7"_s, QString(), this);
    m_retries = label(u"标签10"_s, QString(), this);
    m_tries = label(u"标签11"_s, QString(), this);
    m_elapsed = label(u"标签6"_s, QString(), this);
    m_progress = named(new QProgressBar(this), u"进度条1"_s);
    m_status = label(u"状态条1"_s, QString(), this);
    m_start = named(new QPushButton(this), u"按钮开始"_s);

    auto* limitLabel = label(u"标签3"_s, u"A、B卷相似度要求：≤"_s, this);
    auto* percent = label(u"标签4"_s, u"%"_s, this);
    auto* lowestLabel = label(u"标签2"_s, u"本次最低A、B卷相似度："_s, this);
    auto* lowestPercent = label(u"标签5"_s, u"%"_s, this);
    auto* retriesLabel = label(u"标签9"_s, u"重试次数："_s, this);
    auto* triesLabel = label(u"标签12"_s, u"已试次数："_s, this);
    m_similarityWidgets = {limitLabel, m_limit, percent, lowestLabel, m_lowest, lowestPercent};
    m_triesWidgets = {retriesLabel, m_retries, triesLabel, m_tries};

    auto* controls = new QGridLayout;
    controls->addWidget(label(u"标签1"_s, u"试卷总分："_s, this), 0, 0);
    controls->addWidget(m_total, 0, 1);
    controls->addWidget(m_paperA, 1, 0);
    controls->addWidget(m_paperB, 1, 1);
    controls->addWidget(limitLabel, 2, 0);
    controls->addWidget(m_limit, 2, 1);
    controls->addWidget(percent, 2, 2);
    controls->addWidget(lowestLabel, 3, 0);
    controls->addWidget(m_lowest, 3, 1);
    controls->addWidget(lowestPercent, 3, 2);
    controls->addWidget(retriesLabel, 4, 0);
    controls->addWidget(m_retries, 4, 1);
    controls->addWidget(triesLabel, 5, 0);
    controls->addWidget(m_tries, 5, 1);
    controls->addWidget(m_elapsed, 6, 0, 1, 3);
    controls->addWidget(m_start, 7, 0, 1, 3);

    auto* right = new QVBoxLayout;
    right->addWidget(m_scoreView);
    right->addLayout(controls);
    auto* top = new QHBoxLayout;
    top->addWidget(m_typeView, 2);
    top->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addLayout(top);
    layout->addWidget(m_progress);
    layout->addWidget(m_status);

    m_clock = named(new QTimer(this), u"计时器1"_s);
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, &m_logic, &AutoComposer::tickElapsed);
    m_stepper = named(new QTimer(this), u"计时器2"_s);
    m_stepper->setInterval(0);
    connect(m_stepper, &QTimer::timeout, this, &AutoComposerWindow::stepRun);

    const auto choose = [this] { m_logic.setPaperChoice(m_paperA->isChecked(), m_paperB->isChecked()); };
    connect(m_paperA, &QCheckBox::clicked, this, choose);
    connect(m_paperB, &QCheckBox::clicked, this, choose);
    connect(m_limit, &QComboBox::currentTextChanged, &m_logic, &AutoComposer::setSimilarityLimit);
    connect(m_start, &QPushButton::clicked, this, &AutoComposerWindow::startOrStop);
    connect(&m_logic, &AutoComposer::sortMenuRequested, this,
            [this](int x, int y) { m_sortMenu->popup(m_typeView->mapToGlobal(QPoint(x, y))); });
    connect(&m_logic, &AutoComposer::stateChanged, this, &AutoComposerWindow::refresh);
    // After the click has gone through the view, which would otherwise only
    // edit on a double click.
    connect(&m_logic, &AutoComposer::countListRequested, this, &AutoComposerWindow::dropCountList,
            Qt::QueuedConnection);

    m_logic.open();
    refresh();
    resize(720, 420);
    // 300 pixels from the top of the screen, centred across it.
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1280, 800);
    move(area.x() + std::max(0, (area.width() - width()) / 2), area.y() + 300);
}

void AutoComposerWindow::dropCountList() {
    const GridModel& types = m_logic.typeTable();
    const QModelIndex index = m_typeView->model()->index(types.cursorRow() - 1, AutoComposer::ChosenColumn);
    if (!index.isValid() || types.cursorColumn() != AutoComposer::ChosenColumn || !types.editingAllowed() ||
        !m_typeView->isEnabled() || !m_typeView->isVisible())
        return;
    if (!m_typeView->indexWidget(index))
        m_typeView->edit(index);
    if (auto* list = qobject_cast<QComboBox*>(m_typeView->indexWidget(index));
        list && !list->view()->isVisible())
        list->showPopup();
}

void AutoComposerWindow::showHelp() {
    auto* help = new HelpTextWindow(u"自动组卷帮助"_s, AutoComposer::helpText(), 11, QSize(620, 300), this);
    help->setObjectName(u"自动组卷帮助"_s);
    help->setAttribute(Qt::WA_DeleteOnClose);
    help->show();
}

void AutoComposerWindow::refresh() {
    setWindowTitle(m_logic.caption());
    m_total->setText(m_logic.totalText());
    const bool idle = m_run.controlsEnabled();
    m_paperA->setEnabled(idle && m_logic.paperChoiceEnabled());
    m_paperB->setEnabled(idle && m_logic.paperChoiceEnabled());
    m_typeView->setEnabled(idle);
    m_limit->setEnabled(idle);
    m_sortMenu->setEnabled(idle);
    m_helpMenu->setEnabled(idle);
    m_byType->setEnabled(m_logic.sortByTypeEnabled());
    m_bySelectable->setEnabled(m_logic.sortBySelectableEnabled());
    for (QWidget* widget : std::as_const(m_similarityWidgets))
        widget->setVisible(m_logic.similarityVisible());
    for (QWidget* widget : std::as_const(m_triesWidgets))
        widget->setVisible(m_logic.triesVisible());
    m_lowest->setText(m_logic.lowestSimilarityText());
    m_retries->setText(m_logic.retryText());
    m_tries->setText(m_logic.triesText());
    m_elapsed->setText(m_logic.elapsedText());
    m_progress->setMaximum(std::max(1, m_logic.chosenTotal() * 10));
    m_progress->setValue(m_run.progress());
    m_status->setText(m_logic.statusText());
    m_start->setText(m_run.buttonCaption());
    m_start->setEnabled(m_logic.startEnabled() || m_run.running());
}

void AutoComposerWindow::startOrStop() {
    m_run.startOrStop();
    if (m_run.running() && !m_stepper->isActive()) {
        m_clock->start();
        m_stepper->start();
    }
    refresh();
}

void AutoComposerWindow::stepRun() {
    if (!m_run.step()) {
        m_stepper->stop();
        m_clock->stop();
    }
    refresh();
}

void AutoComposerWindow::closeEvent(QCloseEvent* event) {
    if (m_logic.requestClose())
        event->accept();
    else
        event->ignore();
}

} // namespace helan
