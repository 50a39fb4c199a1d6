// Every main window on a 1366×768 school laptop screen (offscreen): it opens no
// larger than the screen, and the controls a teacher needs (the generate
// buttons, both paper columns, 开始/停止, 确定/取消) lie inside the visible area.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "ScriptedPrompter.h"
#include "SampleFolder.h"
#include "app/AppState.h"
#include "app/CourseAdminDialog.h"
#include "app/CourseAdminLogic.h"
#include "app/MainWindow.h"
#include "autocompose/AutoComposerWindow.h"
#include "compose/BuiltInWordProcessor.h"
#include "compose/NumberingSettings.h"
#include "compose/PaperComposer.h"
#include "compose/PaperComposerWindow.h"
#include "editor/BankEditor.h"
#include "editor/BankEditorWindow.h"
#include "gridview/GridView.h"
#include "model/CourseBank.h"
#include "store/RecordStore.h"
#include "ui/TextMeasure.h"

using namespace Qt::StringLiterals;

namespace helan::test {
namespace {

QRect screenArea() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}

// The widget is shown, inside its window and its window on the screen.
void expectInSight(const QWidget* widget, const QString& what) {
    ASSERT_NE(widget, nullptr) << what.toStdString();
    EXPECT_TRUE(widget->isVisible()) << what.toStdString();
    const QRect onScreen(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    const QWidget* window = widget->window();
    const QRect windowArea(window->mapToGlobal(QPoint(0, 0)), window->size());
    EXPECT_TRUE(windowArea.contains(onScreen)) << what.toStdString() << " lies outside its window";
    EXPECT_TRUE(screenArea().contains(onScreen)) << what.toStdString() << " lies off the screen";
}

void expectWindowFits(const QWidget* window) {
    EXPECT_TRUE(screenArea().contains(window->frameGeometry()))
        << window->objectName().toStdString() << " is larger than the screen or off it";
}

// A grid column drawn whole in the grid's visible part, no scrolling needed.
void expectColumnInSight(const GridView* view, int column, const QString& what) {
    const QHeaderView* header = view->horizontalHeader();
    const int left = header->sectionViewportPosition(column);
    EXPECT_GE(left, 0) << what.toStdString();
    EXPECT_LE(left + header->sectionSize(column), view->viewport()->width()) << what.toStdString();
    EXPECT_GT(header->sectionSize(column), 10) << what.toStdString();
    expectInSight(view->viewport(), what);
}

QPushButton* buttonCaptioned(const QWidget* window, const QString& caption) {
    for (QPushButton* button : window->findChildren<QPushButton*>())
        if (button->text() == caption)
            return button;
    return nullptr;
}

class WindowFit : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(screenArea().size(), QSize(1366, 768));
        ASSERT_TRUE(m_folder.isValid());
        QString error;
        ASSERT_TRUE(SampleFolder::write(m_folder.path(), &error)) << error.toStdString();
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_folder.path());
        ASSERT_TRUE(m_store.open(CourseBank::fileName(SampleFolder::mathCourse()), SampleFolder::mathCourse(),
                                 SampleFolder::mathPassword()));
        m_state.selectedCourse = SampleFolder::mathCourse();
        // The numbering styles are there, as after the first composition.
        NumberingSettings numbering(m_prompter);
        numbering.open();
        ASSERT_TRUE(numbering.close());
    }
    void TearDown() override {
        m_store.closeAll();
        QDir::setCurrent(m_previous);
    }
    void show(QWidget* window) {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        QApplication::processEvents();
    }

    QTemporaryDir m_folder;
    QString m_previous;
    RecordStore m_store;
    ScriptedPrompter m_prompter;
    AppState m_state;
};

TEST_F(WindowFit, TheMainWindowAndTheCourseDialog) {
    MainWindow main(m_store, m_prompter, m_state);
    show(&main);
    expectWindowFits(&main);
    for (const QString& name : {u"组合框1"_s, u"课程密码"_s, u"按钮题库编辑"_s, u"按钮组卷"_s})
        expectInSight(main.findChild<QWidget*>(name), name);

    CourseAdminLogic logic(m_store, m_prompter, m_state);
    CourseAdminDialog dialog(logic, &main);
    show(&dialog);
    expectWindowFits(&dialog);
    for (const QString& name : {u"确定"_s, u"取消"_s})
        expectInSight(dialog.findChild<QWidget*>(name), name);
}

TEST_F(WindowFit, TheBankEditor) {
    BankEditor editor(m_store, m_prompter, SampleFolder::mathCourse(), countWrappedLines);
    BankEditorWindow window(editor);
    show(&window);
    expectWindowFits(&window);
    const auto* grid = window.findChild<GridView*>();
    expectInSight(grid, u"the question grid"_s);
}

TEST_F(WindowFit, TheCompositionWindowAndAutomaticCompositionOverIt) {
    BuiltInWordProcessor word;
    PaperComposer composer(m_store, m_prompter, SampleFolder::mathCourse(), word);
    PaperComposerWindow window(composer);
    show(&window);
    expectWindowFits(&window);
    for (const QString& name : {u"按钮A卷"_s, u"按钮B卷"_s, u"按钮自动组卷"_s})
        expectInSight(window.findChild<QWidget*>(name), name);
    expectColumnInSight(&window.questionView(), PaperComposer::PaperAColumn, u"A卷 column"_s);
    expectColumnInSight(&window.questionView(), PaperComposer::PaperBColumn, u"B卷 column"_s);

    // Maximised, the same.
    window.showMaximized();
    QApplication::processEvents();
    expectColumnInSight(&window.questionView(), PaperComposer::PaperBColumn, u"B卷 column, maximised"_s);
    expectInSight(window.findChild<QWidget*>(u"按钮B卷"_s), u"按钮B卷, maximised"_s);

    composer.startAutoComposition();
    auto* autoWindow = window.findChild<AutoComposerWindow*>();
    ASSERT_NE(autoWindow, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(autoWindow));
    QApplication::processEvents();
    expectWindowFits(autoWindow);
    EXPECT_TRUE(autoWindow->windowFlags().testFlag(Qt::Tool)) << "not kept above the composition window";
    EXPECT_EQ(autoWindow->parentWidget(), &window);
    expectInSight(buttonCaptioned(autoWindow, u"开始"_s), u"开始"_s);
}

} // namespace
} // namespace helan::test

// The screen of a common school laptop, whatever the test is run on.
int main(int argc, char** argv) {
    QTemporaryDir config;
    const QString file = config.filePath(u"screen.json"_s);
    QFile json(file);
    if (!json.open(QIODevice::WriteOnly))
        return 2;
    json.write(R"({"windowFrameMargins": true, "screens": [{"name": "laptop", "x": 0, "y": 0,
               "width": 1366, "height": 768, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    json.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(file));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
