// The 查找 box, the picture preview, 删除图片 and the question preview.
#include <QBuffer>
#include <QImage>

#include "EditorFakes.h"
#include "EditorFixture.h"
#include "editor/EditorPictures.h"
#include "editor/EditorSearch.h"
#include "editor/QuestionPreview.h"
#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;

namespace helan::test {
namespace {

constexpr int kStem1 = BankEditor::StemText1Column;
constexpr int kStemPicture = BankEditor::StemPictureColumn;
constexpr int kAnswer = BankEditor::AnswerColumn;
constexpr int kAnswerPicture = BankEditor::AnswerPictureColumn;
const QString kNotFound = u"没有找到指定文本"_s;

class SearchTest : public EditorFixture {
protected:
    void open() {
        openEditor();
        m_search = std::make_unique<EditorSearch>(editor(), m_prompter);
        QObject::connect(m_search.get(), &EditorSearch::buttonsChanged, [this](bool start, bool next) {
            m_startEnabled = start;
            m_nextEnabled = next;
        });
    }
    // The cell the editor and the grid treat as current.
    std::pair<int, int> current() const {
        EXPECT_EQ(m_editor->grid().cursorRow(), m_editor->currentRow());
        EXPECT_EQ(m_editor->grid().cursorColumn(), m_editor->currentColumn());
        return {m_editor->currentRow(), m_editor->currentColumn()};
    }

    std::unique_ptr<EditorSearch> m_search;
    bool m_startEnabled = false;
    bool m_nextEnabled = false;
};

TEST(SearchTextTest, AsciiLettersMatchInEitherCaseOnly) {
    struct Case {
        QString text;
        QString what;
        bool found;
    };
    const Case cases[] = {
        {u"求ABC的值"_s, u"abc"_s, true}, {u"abc"_s, u"ABC"_s, true},
        {u"ａｂｃ"_s, u"ABC"_s, false}, // full-width letters are other characters
        {u"Ä"_s, u"ä"_s, false},          {u"三角形"_s, u"角"_s, true},
        {u"ab"_s, u"abc"_s, false},       {u""_s, u"a"_s, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EditorSearch::containsIgnoringAsciiCase(c.text, c.what), c.found) << c.text.toStdString();
}

TEST_F(SearchTest, FromStartVisitsColumnByColumn) {
    const qint32 a = addRecord(with([](Question& q) {
        q.stem1 = u"甲"_s;
        q.answer = u"match 在答案"_s;
    }));
    addRecord(with([](Question& q) {
        q.stem1 = u"乙"_s;
        q.answer = u"对"_s;
    }));
    const qint32 c = addRecord(with([](Question& q) {
        q.stem1 = u"丙"_s;
        q.answer = u"错"_s;
        q.knowledge = u"MATCH"_s;
    }));
    open();
    m_search->setText(u"Match"_s);
    EXPECT_TRUE(m_startEnabled);
    EXPECT_FALSE(m_nextEnabled);

    m_search->searchFromStart();
    EXPECT_EQ(current(), std::make_pair(rowOf(c), int(BankEditor::KnowledgeColumn)));
    EXPECT_TRUE(m_nextEnabled);
    m_search->searchNext();
    EXPECT_EQ(current(), std::make_pair(rowOf(a), kAnswer));
    EXPECT_TRUE(m_prompter.messages().isEmpty());

    // Past the last match: the message, and the position stays for the next press.
    m_search->searchNext();
    m_search->searchNext();
    EXPECT_EQ(m_prompter.messages(), QStringList({kNotFound, kNotFound}));
    EXPECT_EQ(current(), std::make_pair(rowOf(a), kAnswer));
    EXPECT_EQ(m_search->searchRow(), rowOf(a));
    EXPECT_EQ(m_search->searchColumn(), kAnswer);
}

TEST_F(SearchTest, PictureMarkIsFoundInTheStemPictureColumnFirst) {
    addRecord(with([](Question& q) {
        q.stem1 = u"无图"_s;
        q.stem2 = u"√ 在题文2"_s;
        q.answer = u"对"_s;
    }));
    const qint32 b = addRecord(with([](Question& q) {
        q.stem1 = u"有图"_s;
        q.answer = u"对"_s;
        q.stemPicture = true;
    }));
    open();
    m_search->setText(QuestionRecord::pictureMark());
    m_search->searchFromStart();
    EXPECT_EQ(current(), std::make_pair(rowOf(b), kStemPicture));
}

TEST_F(SearchTest, FromCurrentStartsAtTheCurrentCellAndNeverWraps) {
    const qint32 a = addRecord(with([](Question& q) {
        q.stem1 = u"查找目标一"_s;
        q.answer = u"对"_s;
    }));
    const qint32 b = addRecord(with([](Question& q) {
        q.stem1 = u"查找目标二"_s;
        q.answer = u"对"_s;
    }));
    open();
    m_search->setText(u"目标"_s);

    click(rowOf(b), kStem1);
    m_search->searchFromCurrent();
    EXPECT_EQ(current(), std::make_pair(rowOf(b), kStem1)); // the cell itself counts

    // From the cell after the last match the search ends at 答图 without
    // coming back to the rows above.
    click(rowOf(b), kStem1 + 1);
    m_search->searchFromCurrent();
    EXPECT_EQ(m_prompter.messages(), QStringList{kNotFound});
    EXPECT_EQ(current(), std::make_pair(rowOf(b), kStem1 + 1));

    m_search->searchFromStart();
    EXPECT_EQ(current(), std::make_pair(rowOf(a), kStem1));
}

TEST_F(SearchTest, ChangingTheTextResetsThePositionAndDisablesNext) {
    const qint32 a = addRecord(with([](Question& q) {
        q.stem1 = u"一二三"_s;
        q.answer = u"对"_s;
    }));
    const qint32 b = addRecord(with([](Question& q) {
        q.stem1 = u"三四五"_s;
        q.answer = u"对"_s;
    }));
    open();
    m_search->setText(u"三"_s);
    m_search->searchFromStart();
    m_search->searchNext();
    EXPECT_EQ(current().first, std::max(rowOf(a), rowOf(b)));

    m_search->setText(u"四"_s);
    EXPECT_FALSE(m_nextEnabled);
    EXPECT_EQ(m_search->searchRow(), 1);
    EXPECT_EQ(m_search->searchColumn(), 0);
    // 下一个 from the reset position looks from row 2 of column 0 on.
    m_search->searchNext();
    EXPECT_EQ(current(), std::make_pair(rowOf(b), kStem1));

    m_search->setText(QString());
    EXPECT_FALSE(m_startEnabled);
    EXPECT_FALSE(m_nextEnabled);
}

TEST_F(SearchTest, NothingFoundLeavesCursorAndPosition) {
    addRecord(with([](Question& q) {
        q.stem1 = u"甲"_s;
        q.answer = u"对"_s;
    }));
    open();
    click(1, kAnswer);
    m_search->setText(u"不存在"_s);
    m_search->searchFromStart();
    EXPECT_EQ(m_prompter.messages(), QStringList{kNotFound});
    EXPECT_EQ(current(), std::make_pair(1, kAnswer));
    EXPECT_FALSE(m_nextEnabled);
}

// ---- Picture preview and removal

class PicturePreviewTest : public EditorFixture {
protected:
    void open() {
        openEditor();
        m_pictures = std::make_unique<EditorPictures>(editor(), m_store, m_prompter, m_clipboard);
    }
    FakeClipboard m_clipboard;
    std::unique_ptr<EditorPictures> m_pictures;
};

TEST_F(PicturePreviewTest, PreviewReadsThePictureOfTheCurrentCell) {
    const qint32 id = addRecord(with([](Question& q) {
        q.stem1 = u"甲"_s;
        q.answer = u"对"_s;
        q.stemPicture = true;
        q.answerPicture = true;
    }));
    addRecord(with([](Question& q) {
        q.stem1 = u"乙"_s;
        q.answer = u"对"_s;
    }));
    open();
    click(rowOf(id), kAnswerPicture);
    ASSERT_TRUE(m_pictures->preparePreview());
    EXPECT_EQ(m_pictures->previewCaption(), u"答图"_s);
    EXPECT_EQ(m_pictures->previewPicture(), QByteArray("answer-picture"));

    click(rowOf(id), kStemPicture);
    ASSERT_TRUE(m_pictures->preparePreview());
    EXPECT_EQ(m_pictures->previewCaption(), u"题图"_s);
    EXPECT_EQ(m_pictures->previewPicture(), QByteArray("stem-picture"));

    click(rowOf(id) == 1 ? 2 : 1, kStemPicture);
    EXPECT_FALSE(m_pictures->preparePreview());
}

TEST_F(PicturePreviewTest, DoubleClickOnAPictureRunsThePreviewPlug) {
    const qint32 id = addRecord(with([](Question& q) {
        q.stem1 = u"甲"_s;
        q.answer = u"对"_s;
        q.stemPicture = true;
    }));
    open();
    QString caption;
    editor().setPlug(BankEditor::Plug::PreviewPicture, [&] {
        if (m_pictures->preparePreview())
            caption = m_pictures->previewCaption();
    });
    doubleClick(rowOf(id), kStemPicture);
    EXPECT_EQ(caption, u"题图"_s);
}

TEST_F(PicturePreviewTest, DeletePictureAsksThenEmptiesSlotAndCell) {
    const qint32 id = addRecord(with([](Question& q) {
        q.stem1 = u"甲"_s;
        q.answer = u"对"_s;
        q.stemPicture = true;
        q.answerPicture = true;
    }));
    open();
    const int row = rowOf(id);
    click(row, kStemPicture);

    m_prompter.answerOkCancel(false, u"确定要删除该图片吗"_s);
    m_pictures->deletePicture();
    EXPECT_EQ(text(row, kStemPicture), QuestionRecord::pictureMark());
    EXPECT_EQ(field(id, QuestionRecord::StemPictureData).toByteArray(), QByteArray("stem-picture"));

    m_prompter.answerOkCancel(true, u"确定要删除该图片吗"_s);
    m_pictures->deletePicture();
    EXPECT_TRUE(m_prompter.done());
    EXPECT_TRUE(m_prompter.messages().isEmpty());
    EXPECT_EQ(text(row, kStemPicture), QString());
    EXPECT_EQ(field(id, QuestionRecord::StemPicture).toString(), QString());
    EXPECT_TRUE(field(id, QuestionRecord::StemPictureData).toByteArray().isEmpty());
    // The answer picture is another slot.
    EXPECT_EQ(field(id, QuestionRecord::AnswerPictureData).toByteArray(), QByteArray("answer-picture"));
    // The slot is empty again, so the menu offers adding.
    EXPECT_TRUE(editor().contextMenuItems().contains(BankEditor::MenuItem::AddFromFile));
    EXPECT_TRUE(editor().contextMenuItems().contains(BankEditor::MenuItem::PasteFromClipboard));
    expectBankMatchesGrid();
}

// ---- Question preview

int tenPerLine(int, const QString& text) {
    return text.isEmpty() ? 1 : int((text.size() + 9) / 10);
}

QByteArray pngOfSize(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

TEST(QuestionPreviewTest, TextsAndPictureAreStackedAtFourteenPixelsALine) {
    struct Case {
        const char* name;
        QString stem1;
        QString stem2;
        QByteArray picture;
        int stem1Height;
        QSize pictureSize;
        int stem2Height;
    };
    const QString twentyFive(25, u'字');
    const Case cases[] = {
        {"only stem 1", u"一行"_s, {}, {}, 14, QSize(0, 0), 14},
        {"three lines and a picture", twentyFive, u"二"_s, pngOfSize(100, 50), 42, QSize(100, 50), 14},
        {"a wide picture is shrunk", {}, {}, pngOfSize(1160, 100), 14, QSize(580, 50), 14},
        {"undecodable bytes show nothing", u"甲"_s, {}, QByteArray("not a picture"), 14, QSize(0, 0), 14},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QuestionPreview preview(c.stem1, c.stem2, c.picture);
        const QuestionPreview::Layout l = preview.layout(tenPerLine);
        EXPECT_EQ(l.stem1Height, c.stem1Height);
        EXPECT_EQ(l.pictureSize, c.pictureSize);
        EXPECT_EQ(l.stem2Height, c.stem2Height);
        EXPECT_EQ(l.pictureTop, l.stem1Top + l.stem1Height);
        EXPECT_EQ(l.stem2Top, l.pictureTop + c.pictureSize.height());
        EXPECT_EQ(l.windowHeight, c.stem1Height + c.stem2Height + c.pictureSize.height() + 80);
    }
}

TEST_F(PicturePreviewTest, QuestionPreviewFromARecordTakesTheStemPictureOnlyWhenMarked) {
    const qint32 withPicture = addRecord(with([](Question& q) {
        q.stem1 = u"甲"_s;
        q.stem2 = u"乙"_s;
        q.answer = u"对"_s;
        q.stemPicture = true;
    }));
    const qint32 without = addRecord(with([](Question& q) {
        q.stem1 = u"丙"_s;
        q.answer = u"对"_s;
    }));
    const QuestionPreview a = QuestionPreview::fromRecord(m_store, course(), withPicture);
    EXPECT_EQ(a.stem1(), u"甲"_s);
    EXPECT_EQ(a.stem2(), u"乙"_s);
    EXPECT_EQ(a.stemPicture(), QByteArray("stem-picture"));
    const QuestionPreview b = QuestionPreview::fromRecord(m_store, course(), without);
    EXPECT_EQ(b.stem1(), u"丙"_s);
    EXPECT_TRUE(b.stemPicture().isEmpty());
    EXPECT_TRUE(QuestionPreview::fromRecord(m_store, course(), 9999).stem1().isEmpty());
}

} // namespace
} // namespace helan::test
