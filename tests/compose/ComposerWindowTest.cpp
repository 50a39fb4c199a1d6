// The composition window and the numbering window as widgets, offscreen.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "ComposerFixture.h"
#include "compose/NumberingSettings.h"
#include "compose/NumberingSettingsWindow.h"
#include "compose/PaperComposerHelpWindow.h"
#include "compose/PaperComposerWindow.h"
#include "compose/TypeColourSettings.h"
#include "compose/TypeColourWindow.h"
#include "gridview/GridView.h"
#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;

namespace helan::test {

namespace {

using Paper = PaperComposer::Paper;
const QString kCloseQuestion = u"关闭组卷窗口将清除A卷、B卷的选择，确定关闭吗？"_s;

class ComposerWindowTest : public ComposerFixture {
protected:
    void SetUp() override {
        ComposerFixture::SetUp();
        group = addGroup(u"g"_s, {2, 3});
        loose = addRecord(question(u"判断"_s, 4));
        writeNumbering(5);
        m_composer = std::make_unique<PaperComposer>(m_store, m_prompter, course(), m_word);
        window = std::make_unique<PaperComposerWindow>(*m_composer);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override { window.reset(); }

    template <typename T> T* child(const QString& name) {
        T* widget = window->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QString labelText(const QString& name) { return child<QLabel>(name)->text(); }
    void clickCell(GridView& view, int row, int column) {
        const QRect rect = view.visualRect(view.model()->index(row - 1, column));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, rect.center());
    }
    QStringList comboItems(const QString& name) {
        QStringList items;
        QComboBox* combo = child<QComboBox>(name);
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    }

    std::unique_ptr<PaperComposerWindow> window;
    QList<qint32> group;
    qint32 loose = 0;
};

TEST_F(ComposerWindowTest, ControlsCarryTheirNamesCaptionsAndDefaults) {
    EXPECT_EQ(window->windowTitle(), u"组卷 —— 语文（共 2 题）"_s);
    const QList<std::pair<QString, QString>> boxes = {
        {u"分组框6"_s, u"题型排序与分值设置"_s}, {u"分组框3"_s, u"A卷题型分值"_s},
        {u"分组框4"_s, u"B卷题型分值"_s},        {u"分组框5"_s, u"A、B卷相似度"_s},
        {u"分组框2"_s, u"难度说明"_s},           {u"分组框1"_s, u"输出"_s},
    };
    for (const auto& [name, title] : boxes)
        EXPECT_EQ(child<QGroupBox>(name)->title(), title);
    for (const QString& grid :
         {u"高级表格1"_s, u"高级表格题型排序分值"_s, u"高级表格A卷题型分值"_s, u"高级表格B卷题型分值"_s})
        EXPECT_TRUE(child<GridView>(grid)->isVisible()) << grid.toStdString();
    for (const QString& hidden :
         {u"高级表格大题编号类型"_s, u"高级表格题型排列颜色"_s, u"高级表格3"_s, u"高级表格2"_s})
        EXPECT_FALSE(child<GridView>(hidden)->isVisible()) << hidden.toStdString();
    EXPECT_EQ(labelText(u"标签6"_s), u"行高"_s);
    EXPECT_EQ(labelText(u"标签3"_s), u"A卷总分："_s);
    EXPECT_EQ(labelText(u"标签1"_s), u"B卷总分："_s);
    EXPECT_EQ(labelText(u"标签难度"_s), u"≤难度≤"_s);
    EXPECT_EQ(labelText(u"标签2"_s), u"易1难9"_s);
    EXPECT_EQ(labelText(u"A卷总分"_s), u"0"_s);
    EXPECT_EQ(labelText(u"标签相似度"_s), u"0"_s);
    QSlider* slider = child<QSlider>(u"纵向滚动条1"_s);
    EXPECT_EQ(slider->minimum(), 1);
    EXPECT_EQ(slider->maximum(), 200);
    EXPECT_EQ(slider->pageStep(), 10);
    EXPECT_EQ(slider->value(), 1);

    EXPECT_TRUE(child<QRadioButton>(u"单选框word"_s)->isEnabled());
    EXPECT_TRUE(child<QRadioButton>(u"单选框word"_s)->isChecked());
    EXPECT_TRUE(child<QRadioButton>(u"单选框html"_s)->isEnabled());
    EXPECT_EQ(child<QRadioButton>(u"单选框html"_s)->text(), u"html"_s);
    EXPECT_EQ(child<QRadioButton>(u"单选框pdf"_s)->text(), u"pdf"_s);
    EXPECT_TRUE(child<QRadioButton>(u"单选框pdf"_s)->isEnabled());
    child<QRadioButton>(u"单选框pdf"_s)->click();
    EXPECT_EQ(window->composer().output(), PaperComposer::Output::Pdf);
    EXPECT_FALSE(child<QRadioButton>(u"单选框word"_s)->isChecked());
    child<QRadioButton>(u"单选框word"_s)->click();
    EXPECT_TRUE(window->composer().wordSelected());
    // Nothing to print before a paper is generated in this window.
    EXPECT_EQ(child<QPushButton>(u"按钮打印"_s)->text(), u"打印…"_s);
    EXPECT_FALSE(child<QPushButton>(u"按钮打印"_s)->isEnabled());
    for (const auto& [name, caption] :
         {std::pair{u"选择框小题连续编号"_s, u"小题连续编号"_s},
          std::pair{u"选择框选项换行"_s, u"选项换行"_s}, std::pair{u"选择框大题分值"_s, u"大题分值说明"_s}}) {
        EXPECT_EQ(child<QCheckBox>(name)->text(), caption);
        EXPECT_FALSE(child<QCheckBox>(name)->isChecked());
    }
    EXPECT_EQ(comboItems(u"组合框大题编号类型"_s), QStringList{u"数字"_s});
    EXPECT_EQ(comboItems(u"组合框大题编号后缀"_s), (QStringList{u". "_s, u" "_s, u"、"_s}));
    EXPECT_EQ(comboItems(u"组合框选项编号类型"_s), (QStringList{u"A"_s, u"①"_s}));
    EXPECT_EQ(comboItems(u"组合框选项编号后缀"_s), (QStringList{u". "_s, u" "_s, u"）"_s}));
    EXPECT_EQ(comboItems(u"组合框最低难度"_s).size(), 9);
    EXPECT_EQ(child<QComboBox>(u"组合框最低难度"_s)->currentText(), u"1"_s);
    EXPECT_EQ(child<QComboBox>(u"组合框最高难度"_s)->currentText(), u"9"_s);
    EXPECT_EQ(child<QPushButton>(u"按钮自动组卷"_s)->text(), u"自动组卷"_s);
    EXPECT_EQ(child<QPushButton>(u"按钮A卷"_s)->text(), u"生成A卷"_s);
    EXPECT_FALSE(child<QPushButton>(u"按钮A卷"_s)->isEnabled());
    EXPECT_FALSE(child<QPushButton>(u"按钮B卷"_s)->isEnabled());

    QStringList menus;
    for (QAction* action : window->findChild<QMenuBar*>()->actions())
        menus << action->text();
    EXPECT_EQ(menus, (QStringList{u"大题"_s, u"试卷(&P)"_s, u"难度(&N)"_s, u"帮助(&H)"_s}));
}

TEST_F(ComposerWindowTest, ClickingAPaperBoxTicksTheGroupAndUpdatesTheLabels) {
    GridView& view = window->questionView();
    clickCell(view, rowOf(group[2]), PaperComposer::PaperAColumn);
    EXPECT_TRUE(checked(group[0], PaperComposer::PaperAColumn));
    EXPECT_EQ(labelText(u"A卷总分"_s), u"5"_s);
    clickCell(view, rowOf(loose), PaperComposer::PaperBColumn);
    EXPECT_EQ(labelText(u"B卷总分"_s), u"4"_s);
    EXPECT_EQ(labelText(u"标签相似度"_s), u"0"_s);
    EXPECT_TRUE(child<QPushButton>(u"按钮A卷"_s)->isEnabled());
    EXPECT_TRUE(child<QPushButton>(u"按钮B卷"_s)->isEnabled());
    // Columns 0–6 do not edit, whatever is clicked.
    clickCell(view, rowOf(loose), PaperComposer::TypeColumn);
    EXPECT_FALSE(m_composer->questionGrid().editingAllowed());

    m_prompter.answerOkCancel(true, kCloseQuestion);
    window->reject();
    EXPECT_TRUE(m_prompter.done());
    m_composer.reset();
    // Blocking went nowhere; the selection is not stored; the scores are.
    EXPECT_EQ(field(group[0], QuestionRecord::Score).toInt(), 5);
}

// Closing throws the papers' ticks away: asked first, and Cancel keeps them.
// While a run locks the window its status line says why.
TEST_F(ComposerWindowTest, ClosingWithTickedPapersAsksFirstAndALockedWindowSaysWhy) {
    auto* status = child<QStatusBar>(u"状态栏"_s);
    m_composer->setLocked(true);
    EXPECT_TRUE(status->currentMessage().startsWith(u"正在自动组卷"_s));
    EXPECT_TRUE(status->isEnabled());
    EXPECT_FALSE(child<QPushButton>(u"按钮A卷"_s)->isEnabled());
    window->reject(); // refused while locked, nothing asked
    EXPECT_TRUE(window->isVisible());
    m_composer->setLocked(false);
    EXPECT_TRUE(status->currentMessage().isEmpty());

    clickCell(window->questionView(), rowOf(loose), PaperComposer::PaperBColumn);
    m_prompter.answerOkCancel(false, kCloseQuestion);
    window->reject();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(checked(loose, PaperComposer::PaperBColumn));
    m_prompter.answerOkCancel(true, kCloseQuestion);
    window->reject();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(m_prompter.done());
}

// After all rows are selected, a right click inside the selection keeps it, so
// 全选 ticks every row.
TEST_F(ComposerWindowTest, ARightClickInsideTheSelectionKeepsIt) {
    GridView& view = window->questionView();
    GridModel& grid = m_composer->questionGrid();
    clickCell(view, 1, PaperComposer::PaperAColumn);
    grid.selectRange(1, PaperComposer::PaperAColumn, grid.rowCount() - 1, PaperComposer::PaperAColumn);
    const QRect cell = view.visualRect(view.model()->index(grid.rowCount() - 2, PaperComposer::PaperAColumn));
    QTest::mouseClick(view.viewport(), Qt::RightButton, {}, cell.center());
    EXPECT_EQ(grid.selectionStartRow(), 1);
    EXPECT_EQ(grid.selectionEndRow(), grid.rowCount() - 1);
    QApplication::processEvents();
    if (QWidget* menu = QApplication::activePopupWidget())
        menu->close();
    m_composer->applyBoxOperation(PaperComposer::BoxOperation::CheckAll);
    for (int r = 1; r < grid.rowCount(); ++r)
        EXPECT_TRUE(grid.checked(r, PaperComposer::PaperAColumn)) << r;
}

TEST_F(ComposerWindowTest, TheHelpWindowShowsItsTwentyFourLines) {
    QMenu* help = nullptr;
    for (QAction* menu : window->findChild<QMenuBar*>()->actions())
        if (menu->text() == u"帮助(&H)"_s)
            help = menu->menu();
    ASSERT_NE(help, nullptr);
    ASSERT_EQ(help->actions().size(), 1);
    EXPECT_EQ(help->actions().at(0)->text(), u"组卷帮助(&H)"_s);
    help->actions().at(0)->trigger();
    auto* helpWindow = window->findChild<PaperComposerHelpWindow*>();
    ASSERT_NE(helpWindow, nullptr);
    EXPECT_EQ(helpWindow->windowTitle(), u"组卷帮助"_s);
    EXPECT_FALSE(helpWindow->isModal());
    auto* edit = helpWindow->findChild<QPlainTextEdit*>(u"编辑框1"_s);
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_EQ(edit->toPlainText().split(u'\n').size(), 24);
}

TEST_F(ComposerWindowTest, TheNumberingWindowStaysOpenWhileALabelIsEmpty) {
    ASSERT_TRUE(QFile::remove(NumberingSettings::fileName()));
    NumberingSettings settings(m_prompter);
    NumberingSettingsWindow numbering(settings);
    EXPECT_EQ(numbering.windowTitle(), u"大题编号类型设置"_s);
    EXPECT_NE(numbering.findChild<GridView*>(u"高级表格1"_s), nullptr);
    numbering.show();
    settings.addRow();
    numbering.reject();
    EXPECT_TRUE(numbering.isVisible());
    EXPECT_EQ(m_prompter.messages(), QStringList{u"请完善大题编号！"_s});
    settings.deleteLastRow();
    numbering.reject();
    EXPECT_FALSE(numbering.isVisible());
    EXPECT_TRUE(QFile::exists(NumberingSettings::fileName()));
}

TEST_F(ComposerWindowTest, ADoubleClickOnAQuestionOpensItsPreview) {
    QString shown;
    QTimer closer;
    closer.setInterval(20);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            shown = modal->objectName();
            modal->close();
        }
    });
    closer.start();
    GridView& view = window->questionView();
    const QRect cell = view.visualRect(view.model()->index(rowOf(loose) - 1, PaperComposer::StemText1Column));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, cell.center());
    for (int i = 0; i < 100 && shown.isEmpty(); ++i)
        QTest::qWait(20);
    EXPECT_EQ(shown, u"试题预览"_s);
}

TEST_F(ComposerWindowTest, TheColourWindowPaintsTheTypeRowsAndSavesWhenItCloses) {
    TypeColourSettings settings(m_prompter, &m_composer->typeOrderTable());
    TypeColourWindow colours(settings, window.get());
    EXPECT_EQ(colours.windowTitle(), u"题型排列颜色"_s);
    EXPECT_NE(colours.findChild<GridView*>(u"高级表格1"_s), nullptr);
    QStringList items;
    for (QAction* action : colours.editMenu().actions())
        items << action->text();
    EXPECT_EQ(items, (QStringList{u"添加行"_s, u"删除末行"_s, u"修改"_s}));
    colours.show();
    m_prompter.answerChooseColour(0xFF123456);
    colours.editMenu().actions().at(0)->trigger();
    EXPECT_EQ(m_composer->typeOrderTable().colour(1, 0), 0x123456u);
    colours.reject();
    EXPECT_TRUE(QFile::exists(TypeColourSettings::fileName()));
}

} // namespace

} // namespace helan::test
