#include "app/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QUrl>
#include <QVBoxLayout>

#include "app/CourseAdminDialog.h"
#include "app/ProgramHelpDialog.h"
#include "app/StandInWindow.h"
#include "ui/TextMeasure.h"

using namespace Qt::StringLiterals;

namespace helan {

MainWindow::MainWindow(RecordStore& store, Prompter& prompter, AppState& state, QWidget* parent)
    : QMainWindow(parent), m_logic(store, prompter, state, *this)
{
    setObjectName(u"MainWindow"_s);
    setWindowTitle(u"禾岚 1.0"_s);
    buildControls();
    buildMenus();
    connect(&m_logic, &MainWindowLogic::stateChanged, this, &MainWindow::render);
    render();
}

MainWindow::~MainWindow()
{
    m_logic.shutDown();
}

void MainWindow::buildControls()
{
    auto* central = new QWidget(this);
    m_courseLabel = new QLabel(u"请选择课程："_s, central);
    m_courseLabel->setObjectName(u"标签1"_s);
    m_courseList = new QComboBox(central);
    m_courseList->setObjectName(u"组合框1"_s);
    m_courseList->setMinimumWidth(260);
    m_courseLabel->setBuddy(m_courseList);
    m_passwordLabel = new QLabel(u"课程密码："_s, central);
    m_passwordLabel->setObjectName(u"标签2"_s);
    m_password = new QLineEdit(central);
    m_password->setObjectName(u"课程密码"_s);
    m_password->setEchoMode(QLineEdit::Password);
    m_passwordLabel->setBuddy(m_password);
    m_editButton = new QPushButton(u"题库编辑"_s, central);
    m_editButton->setObjectName(u"按钮题库编辑"_s);
    m_composeButton = new QPushButton(u"组卷"_s, central);
    m_composeButton->setObjectName(u"按钮组卷"_s);
    for (QPushButton* button : {m_editButton, m_composeButton})
        button->setMinimumWidth(100);

    // Kept for the control set of the window; countWrappedLines measures with the
    // same font and wrapping without a widget.
    m_measureBox = new QPlainTextEdit(central);
    m_measureBox->setObjectName(u"编辑框行数测定"_s);
    m_measureBox->setFont(measuringFont());
    m_measureBox->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_measureBox->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_editButton);
    buttons->addSpacing(24);
    buttons->addWidget(m_composeButton);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(36, 24, 36, 28);
    layout->setSpacing(6);
    layout->addWidget(m_courseLabel);
    layout->addWidget(m_courseList);
    layout->addSpacing(14);
    layout->addWidget(m_passwordLabel);
    layout->addWidget(m_password);
    layout->addSpacing(26);
    layout->addLayout(buttons);
    layout->addStretch();
    setCentralWidget(central);

    connect(m_courseList, &QComboBox::activated, &m_logic, &MainWindowLogic::chooseCourse);
    connect(m_password, &QLineEdit::textEdited, &m_logic, &MainWindowLogic::setCoursePassword);
    connect(m_editButton, &QPushButton::clicked, &m_logic, &MainWindowLogic::openBankEditor);
    connect(m_composeButton, &QPushButton::clicked, &m_logic, &MainWindowLogic::openPaperComposer);
}

void MainWindow::buildMenus()
{
    QMenu* program = menuBar()->addMenu(u"程序(&F)"_s);
    QMenu* administrator = program->addMenu(u"管理员(&G)"_s);
    administrator->addAction(u"修改姓名(&N)"_s, &m_logic, &MainWindowLogic::changeAdministratorName);
    administrator->addAction(u"修改密码(&M)"_s, &m_logic, &MainWindowLogic::changeAdministratorPassword);
    QMenu* style = program->addMenu(u"XP风格(&F)"_s);
    style->addAction(u"蓝色(&B)"_s, &m_logic, [this] { m_logic.chooseColourScheme(ColourScheme::Blue); });
    style->addAction(u"绿色(&G)"_s, &m_logic, [this] { m_logic.chooseColourScheme(ColourScheme::Green); });
    style->addAction(u"银色(&S)"_s, &m_logic, [this] { m_logic.chooseColourScheme(ColourScheme::Silver); });
    program->addSeparator();
    program->addAction(u"退出(&X)"_s, &m_logic, &MainWindowLogic::quit);

    QMenu* course = menuBar()->addMenu(u"课程(&P)"_s);
    course->addAction(u"添加(&A)"_s, &m_logic, &MainWindowLogic::addCourse);
    m_deleteAction = course->addAction(u"删除(&S)"_s, &m_logic, &MainWindowLogic::deleteCourse);
    m_resetAction = course->addAction(u"重置密码(&R)"_s, &m_logic, &MainWindowLogic::resetCoursePassword);

    QMenu* help = menuBar()->addMenu(u"帮助(&H)"_s);
    help->addAction(u"说明(&E)"_s, &m_logic, &MainWindowLogic::showProgramHelp);
    help->addAction(u"打开数据文件夹"_s, &m_logic, &MainWindowLogic::openDataFolder);
}

void MainWindow::render()
{
    // Rendering must not report itself back as a choice of the user.
    const QSignalBlocker blockList(m_courseList);
    QStringList shown;
    for (int i = 0; i < m_courseList->count(); ++i)
        shown.append(m_courseList->itemText(i));
    if (shown != m_logic.courseList()) {
        m_courseList->clear();
        m_courseList->addItems(m_logic.courseList());
    }
    m_courseList->setCurrentIndex(m_logic.currentPosition());

    if (m_password->text() != m_logic.coursePassword())
        m_password->setText(m_logic.coursePassword());
    m_password->setEnabled(m_logic.isPasswordEnabled());

    const bool enabled = m_logic.areCourseActionsEnabled();
    m_deleteAction->setEnabled(enabled);
    m_resetAction->setEnabled(enabled);
    m_editButton->setEnabled(enabled);
    m_composeButton->setEnabled(enabled);
    if (m_password->isEnabled())
        m_password->setFocus();
}

bool MainWindow::start()
{
    return m_logic.start();
}

void MainWindow::runCourseAdminDialog(CourseAdminLogic& dialog)
{
    CourseAdminDialog window(dialog, this);
    window.exec();
}

void MainWindow::runBankEditor(const QString& course)
{
    if (m_bankEditorOpener) {
        m_bankEditorOpener(this, course);
        return;
    }
    StandInWindow window(u"题库编辑"_s, course, this);
    window.exec();
}

void MainWindow::runPaperComposer(const QString& course)
{
    if (m_paperComposerOpener) {
        m_paperComposerOpener(this, course);
        return;
    }
    StandInWindow window(u"组卷"_s, course, this);
    window.exec();
}

void MainWindow::runProgramHelp()
{
    ProgramHelpDialog window(this);
    window.exec();
}

void MainWindow::applyColourScheme(ColourScheme::Scheme scheme)
{
    QApplication::setPalette(ColourScheme::palette(scheme));
    qApp->setStyleSheet(ColourScheme::styleSheet(scheme));
}

bool MainWindow::openFolder(const QString& folder)
{
    if (m_folderOpener)
        return m_folderOpener(folder);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void MainWindow::endProgram()
{
    m_logic.shutDown();
    // Leaves every event loop, modal ones included; before the main loop runs,
    // start() returns false instead.
    QCoreApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    m_logic.shutDown();
    QMainWindow::closeEvent(event);
}

} // namespace helan
