#include "autocompose/AutoComposerWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QGuiApplication>
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
#include "grid/GridEvents.h"
#include "compose/PaperComposer.h"
#include "gridview/GridView.h"
#include "ui/HelpTextWindow.h"

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
      m_ownRun(std::make_unique<AutoComposeRun>(*m_ownLogic, random)), m_logic(*m_ownLogic), m_run(*m_ownRun) {
    setAttribute(Qt::WA_DeleteOnClose);
    build();
}

AutoComposerWindow::~AutoComposerWindow() {
    // An owned logic goes before the child widgets would: nothing may show its
    // grids or hear from it any more.
    disconnect(&m_logic, nullptr, this, nullptr);
    delete m_typeView;
    delete m_scoreView;
}

void AutoComposerWindow::build() {
    setObjectName(u"自动组卷"_s);

    auto* menuBar = new QMenuBar(this);
    m_sortMenu = menuBar->addMenu(u"排序"_s);
    m_byType = m_sortMenu->addAction(u"按题型(&T)"_s);
    m_bySelectable = m_sortMenu->addAction(u"按可选题数(&S)"_s);
    connect(m_byType, &QAction::triggered, &m_logic, &AutoComposer::sortByType);
    connect(m_bySelectable, &QAction::triggered, &m_logic, &AutoComposer::sortBySelectable);
    m_helpMenu = menuBar->addMenu(u"帮助(&H)"_s);
    connect(m_helpMenu->addAction(u"自动组卷帮助(&H)"_s), &QAction::triggered, this,
            &AutoComposerWindow::showHelp);

    m_typeView = new GridView(m_logic.typeTable(), this);
    m_typeView->setObjectName(u"高级表格1"_s);
    m_scoreView = new GridView(m_logic.typeScoreTable(), this);
    m_scoreView->setObjectName(u"高级表格2"_s);

    m_total = new QLabel(this);
    m_paperA = new QCheckBox(u"组A卷"_s, this);
    m_paperB = new QCheckBox(u"组B卷"_s, this);
    m_limit = new QComboBox(this);
    m_limit->addItems(AutoComposer::similarityItems());
    m_lowest = new QLabel(this);
    m_retries = new QLabel(this);
    m_tries = new QLabel(this);
    m_elapsed = new QLabel(this);
    m_progress = new QProgressBar(this);
    m_status = new QLabel(this);
    m_start = new QPushButton(this);

    auto* limitLabel = new QLabel(u"A、B卷相似度要求：≤"_s, this);
    auto* percent = new QLabel(u"%"_s, this);
    auto* lowestLabel = new QLabel(u"本次最低A、B卷相似度："_s, this);
    auto* lowestPercent = new QLabel(u"%"_s, this);
    auto* retriesLabel = new QLabel(u"重试次数："_s, this);
    auto* triesLabel = new QLabel(u"已试次数："_s, this);
    m_similarityWidgets = {limitLabel, m_limit, percent, lowestLabel, m_lowest, lowestPercent};
    m_triesWidgets = {retriesLabel, m_retries, triesLabel, m_tries};

    auto* controls = new QGridLayout;
    controls->addWidget(new QLabel(u"试卷总分："_s, this), 0, 0);
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

    m_clock = new QTimer(this);
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, &m_logic, &AutoComposer::tickElapsed);
    m_stepper = new QTimer(this);
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

    m_logic.open();
    refresh();
    resize(720, 420);
    // 300 pixels from the top of the screen, centred across it.
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1280, 800);
    move(area.x() + std::max(0, (area.width() - width()) / 2), area.y() + 300);
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
