// The program as a teacher starts it, on a real (virtual) X display: the main
// window on the sample data folder, the course 示例课程 chosen with its
// password, the bank editor and the composition window opened through their
// buttons and closed, then the main window closed. Passes (exit code 0) when
// every step was reached, the program ended with 0, no unexpected message box
// came up and Qt reported no warning.
//   helan_smoke            (a sample folder is made in a temporary folder)
#include <cstdio>
#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "SampleFolder.h"
#include "app/MainWindow.h"
#include "app/Program.h"

using namespace Qt::StringLiterals;

namespace {

int g_warnings = 0;
QtMessageHandler g_previous = nullptr;

void countWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        ++g_warnings;
    if (g_previous)
        g_previous(type, context, text);
}

// One step after another, each waiting for what it needs on the screen; a step
// that opens a modal window schedules the next one first, since it returns
// only when that window has gone.
class Driver {
public:
    explicit Driver(helan::MainWindow& main) : m_main(main) {}

    void run()
    {
        m_steps = {
            {u"the main window shows the courses"_s, [this] { return coursesListed(); }},
            {u"示例课程 chosen, its password typed"_s, [this] { return chooseCourse(); }},
            {u"题库编辑 clicked"_s, [this] { return clickThenContinue(u"按钮题库编辑"_s); }},
            {u"the bank editor shown, then closed"_s, [this] { return closeModal(u"题库编辑"_s); }},
            {u"组卷 clicked"_s, [this] { return clickThenContinue(u"按钮组卷"_s); }},
            // On a folder without numbering styles the composition window opens
            // their settings first, by itself.
            {u"the numbering styles shown, then closed"_s, [this] { return closeModal(u"大题编号类型设置"_s); }},
            {u"the composition window shown, then closed"_s, [this] { return closeModal(u"组卷"_s); }},
            {u"the main window closed"_s, [this] { return closeMain(); }},
        };
        // Message boxes are watched apart from the steps: one may come up inside
        // a step, and that step returns only once it has gone.
        auto* watcher = new QTimer(&m_main);
        QObject::connect(watcher, &QTimer::timeout, &m_main, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                m_messageBoxes << box->text();
                std::printf("smoke: message box: %s\n", qPrintable(box->text()));
                std::fflush(stdout);
                if (QAbstractButton* no = box->button(QMessageBox::No))
                    no->click();
                else
                    box->done(QMessageBox::Cancel);
            }
        });
        watcher->start(200);
        schedule();
    }

    bool finished() const { return m_next == m_steps.size(); }
    QString pending() const { return finished() ? QString() : m_steps.at(m_next).first; }
    const QStringList& messageBoxes() const { return m_messageBoxes; }

private:
    void schedule() { QTimer::singleShot(100, &m_main, [this] { attempt(); }); }

    void attempt()
    {
        if (finished())
            return;
        const qsizetype step = m_next;
        if (m_steps.at(step).second()) {
            // A step that opened a modal window has moved on by itself already.
            if (m_next == step) {
                std::printf("smoke: %s\n", qPrintable(m_steps.at(step).first));
                std::fflush(stdout);
                advance();
            }
        } else if (++m_tries < 300) {
            schedule();
        } else {
            std::fprintf(stderr, "smoke: gave up waiting for: %s\n", qPrintable(pending()));
            QApplication::exit(4);
        }
    }

    void advance()
    {
        ++m_next;
        m_tries = 0;
        if (!finished())
            schedule();
    }

    template <typename T> T* child(const QString& name) { return m_main.findChild<T*>(name); }

    bool coursesListed()
    {
        auto* list = child<QComboBox>(u"组合框1"_s);
        return m_main.windowHandle() && m_main.windowHandle()->isExposed() && list &&
               list->findText(u"示例课程"_s) >= 0;
    }

    bool chooseCourse()
    {
        auto* list = child<QComboBox>(u"组合框1"_s);
        auto* password = child<QLineEdit>(u"课程密码"_s);
        const int index = list->findText(u"示例课程"_s);
        // Choosing from the list: the row below the one before it.
        list->setFocus();
        if (index > 0) {
            list->setCurrentIndex(index - 1);
            QTest::keyClick(list, Qt::Key_Down);
        } else {
            list->setCurrentIndex(-1);
            QTest::keyClick(list, Qt::Key_Home);
        }
        if (list->currentIndex() != index || !password->isEnabled())
            return false;
        password->setFocus();
        QTest::keyClicks(password, u"shuxue"_s);
        return password->text() == u"shuxue"_s;
    }

    // The click opens a modal window and returns when it has gone, so the next
    // step is scheduled before it.
    bool clickThenContinue(const QString& button)
    {
        auto* target = child<QPushButton>(button);
        if (!target || !target->isEnabled())
            return false;
        std::printf("smoke: %s\n", qPrintable(m_steps.at(m_next).first));
        std::fflush(stdout);
        advance();
        QTest::mouseClick(target, Qt::LeftButton);
        return true;
    }

    bool closeModal(const QString& name)
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != name || !dialog->windowHandle() ||
            !dialog->windowHandle()->isExposed())
            return false;
        // Let it settle on the screen, as a teacher would look at it.
        if (++m_shownFor < 5)
            return false;
        m_shownFor = 0;
        dialog->close();
        return !dialog->isVisible();
    }

    bool closeMain() { return m_main.close(); }

    helan::MainWindow& m_main;
    QList<std::pair<QString, std::function<bool()>>> m_steps;
    qsizetype m_next = 0;
    int m_tries = 0;
    int m_shownFor = 0;
    QStringList m_messageBoxes;
};

} // namespace

int main(int argc, char** argv)
{
    g_previous = qInstallMessageHandler(countWarnings);
    // A desktop session has a private runtime folder; without one Qt warns.
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid()) {
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }
    QApplication app(argc, argv);
    QTemporaryDir folder;
    QString error;
    if (!folder.isValid() || !helan::SampleFolder::write(folder.path(), &error)) {
        std::fprintf(stderr, "smoke: no sample folder: %s\n", qPrintable(error));
        return 2;
    }
    QDir::setCurrent(folder.path());

    int code = 0;
    QString pending;
    QStringList boxes;
    {
        helan::Program program(app);
        if (!program.mainWindow()) {
            std::fprintf(stderr, "smoke: the program did not start\n");
            return 2;
        }
        Driver driver(*program.mainWindow());
        driver.run();
        // A walk that hangs ends the program rather than the test run.
        QTimer::singleShot(90000, &app, [] {
            std::fprintf(stderr, "smoke: timed out\n");
            QApplication::exit(3);
        });
        code = program.exec();
        pending = driver.pending();
        boxes = driver.messageBoxes();
    }
    bool ok = true;
    if (!pending.isEmpty()) {
        std::fprintf(stderr, "smoke: not reached: %s\n", qPrintable(pending));
        ok = false;
    }
    if (code != 0) {
        std::fprintf(stderr, "smoke: the program ended with %d\n", code);
        ok = false;
    }
    // Closing the editor asks about the sample's picture-option pairs (a
    // letter and a circled version each); 否 closes it. Nothing else may ask.
    const QString twinQuestion = u"题目 下列图形中，既是轴对称图形又是中心对称图形的是（　）。 缺少备选的字母编号选项的试题，是否现在编辑完善？"_s;
    for (const QString& text : std::as_const(boxes)) {
        if (text != twinQuestion) {
            std::fprintf(stderr, "smoke: unexpected message box: %s\n", qPrintable(text));
            ok = false;
        }
    }
    if (g_warnings > 0) {
        std::fprintf(stderr, "smoke: %d warning(s) from Qt\n", g_warnings);
        ok = false;
    }
    std::printf("smoke: %s\n", ok ? "passed" : "failed");
    return ok ? 0 : 1;
}
