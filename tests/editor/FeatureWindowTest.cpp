// The editor's smaller windows on screen (offscreen platform): control names and
// captions, and what their buttons do.
#include <QBuffer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "EditorFakes.h"
#include "EditorFixture.h"
#include "editor/BankEditorWindow.h"
#include "editor/ClipboardPictureImport.h"
#include "editor/ClipboardPictureWindow.h"
#include "editor/EditorSearch.h"
#include "editor/PicturePreviewWindow.h"
#include "editor/QuestionPreviewWindow.h"
#include "editor/TypeEditor.h"
#include "editor/TypeEditorWindow.h"
#include "gridview/GridView.h"

using namespace Qt::StringLiterals;

namespace helan::test {
namespace {

QByteArray png(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class FeatureWindowTest : public EditorFixture {};

TEST_F(FeatureWindowTest, SearchButtonsFollowTheTextAndTheMatches) {
    addRecord(with([](Question& q) {
        q.stem1 = u"查找我"_s;
        q.answer = u"对"_s;
    }));
    openEditor();
    BankEditorWindow window(editor());
    EditorSearch search(editor(), m_prompter);
    QObject::connect(&search, &EditorSearch::buttonsChanged, &window,
                     &BankEditorWindow::setSearchButtonsEnabled);
    editor().setPlug(BankEditor::Plug::SearchTextChanged, [&] { search.setText(window.searchText()); });
    editor().setPlug(BankEditor::Plug::SearchFromStart, [&] { search.searchFromStart(); });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    auto* text = window.findChild<QLineEdit*>(u"编辑框1"_s);
    auto* fromStart = window.findChild<QPushButton*>(u"按钮从头查找"_s);
    auto* fromCurrent = window.findChild<QPushButton*>(u"按钮从当前查找"_s);
    auto* next = window.findChild<QPushButton*>(u"按钮下一个"_s);
    ASSERT_TRUE(text && fromStart && fromCurrent && next);
    EXPECT_FALSE(fromStart->isEnabled());
    EXPECT_FALSE(fromCurrent->isEnabled());
    EXPECT_FALSE(next->isEnabled());

    text->setText(u"查找"_s);
    EXPECT_TRUE(fromStart->isEnabled());
    EXPECT_TRUE(fromCurrent->isEnabled());
    EXPECT_FALSE(next->isEnabled());
    QTest::mouseClick(fromStart, Qt::LeftButton);
    EXPECT_TRUE(next->isEnabled());
    EXPECT_EQ(editor().currentColumn(), int(BankEditor::StemText1Column));
}

TEST_F(FeatureWindowTest, TypeEditorWindowShowsTheLibraryAndAddsThroughItsButton) {
    TypeEditor types(m_store, m_prompter, course(), {});
    TypeEditorWindow window(types);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.windowTitle(), u"题型编辑"_s);
    auto* add = window.findChild<QPushButton*>(u"按钮添加"_s);
    auto* remove = window.findChild<QPushButton*>(u"按钮删除"_s);
    auto* bar = window.findChild<QScrollBar*>(u"纵向滚动条1"_s);
    ASSERT_TRUE(add && remove && bar);
    EXPECT_EQ(add->text(), u"添加"_s);
    EXPECT_EQ(remove->text(), u"删除"_s);
    EXPECT_EQ(static_cast<QWidget*>(&window.gridView()), window.findChild<QWidget*>(u"高级表格1"_s));
    EXPECT_EQ(types.grid().rowCount(), 6);

    window.resize(634, 400);
    EXPECT_EQ(types.grid().columnWidth(TypeEditor::NameColumn), 166);
    EXPECT_EQ(types.grid().columnWidth(TypeEditor::DescriptionColumn), 332);
    EXPECT_EQ(remove->pos(), QPoint(158, 364));
    EXPECT_EQ(add->pos(), QPoint(396, 364));

    bar->setValue(6);
    EXPECT_EQ(types.grid().rowHeight(1), 30);

    m_prompter.answerInput(u"计算"_s);
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(types.grid().rowCount(), 7);
    EXPECT_EQ(types.grid().text(6, TypeEditor::NameColumn), u"计算"_s);
}

TEST_F(FeatureWindowTest, PicturePreviewShowsThePictureUnderTheCaption) {
    PicturePreviewWindow window(png(120, 80), u"答图"_s);
    EXPECT_EQ(window.windowTitle(), u"答图"_s);
    EXPECT_TRUE(window.showsPicture());
    ASSERT_NE(window.findChild<QLabel*>(u"图片框1"_s), nullptr);
    PicturePreviewWindow broken(QByteArray("no picture"), u"题图"_s);
    EXPECT_FALSE(broken.showsPicture());
}

TEST_F(FeatureWindowTest, QuestionPreviewStacksItsParts) {
    const auto tenPerLine = [](int, const QString& text) {
        return text.isEmpty() ? 1 : int((text.size() + 9) / 10);
    };
    QuestionPreviewWindow window(QuestionPreview(QString(25, u'字'), QString(), png(100, 40)), tenPerLine);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* stem1 = window.findChild<QLabel*>(u"标签tiwen1"_s);
    auto* picture = window.findChild<QLabel*>(u"图片框titu1"_s);
    auto* stem2 = window.findChild<QLabel*>(u"标签tiwen2"_s);
    ASSERT_TRUE(stem1 && picture && stem2);
    EXPECT_EQ(stem1->height(), 42);
    EXPECT_EQ(picture->y(), stem1->y() + 42);
    EXPECT_EQ(picture->height(), 40);
    EXPECT_EQ(stem2->y(), picture->y() + 40);
    EXPECT_EQ(stem2->height(), 14);
    EXPECT_EQ(window.width(), 600);
    EXPECT_EQ(window.height(), 42 + 14 + 40 + 80);
    window.resize(800, window.height());
    EXPECT_EQ(window.width(), 600);
}

TEST_F(FeatureWindowTest, ClipboardWindowSavesOnlyAPicture) {
    FakeClipboard clipboard;
    FakeLauncher launcher;
    ClipboardPictureImport import(clipboard, launcher, m_prompter);
    QByteArray stored;
    ClipboardPictureWindow window(import, [&](const QByteArray& bytes) { stored = bytes; });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.windowTitle(), u"从剪贴板导入图片"_s);
    auto* save = window.findChild<QPushButton*>(u"按钮保存"_s);
    auto* again = window.findChild<QPushButton*>(u"按钮重新导入"_s);
    ASSERT_TRUE(save && again);
    ASSERT_NE(window.findChild<QPushButton*>(u"按钮取消"_s), nullptr);
    ASSERT_NE(window.findChild<QPushButton*>(u"按钮打开word公式编辑器"_s), nullptr);
    EXPECT_FALSE(save->isEnabled());

    clipboard.m_image = QImage(16, 16, QImage::Format_RGB32);
    clipboard.m_image.fill(Qt::red);
    QTest::mouseClick(again, Qt::LeftButton);
    EXPECT_TRUE(save->isEnabled());
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_TRUE(stored.startsWith("BM"));
    EXPECT_FALSE(window.isVisible());
}

} // namespace
} // namespace helan::test
