// Pictures from files and from the clipboard, and copying one to the clipboard.
#include <QBuffer>
#include <QFile>
#include <QImage>

#include "EditorFakes.h"
#include "EditorFixture.h"
#include "base/WriteFaults.h"
#include "editor/ClipboardPictureImport.h"
#include "editor/EditorPictures.h"
#include "editor/PictureCodec.h"
#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;

namespace helan::test {
namespace {

using Q = QuestionRecord;
constexpr int kStemPicture = BankEditor::StemPictureColumn;
constexpr int kAnswerPicture = BankEditor::AnswerPictureColumn;

QImage testImage(int width = 40, int height = 30) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 6, y * 8, 120));
    }
    return image;
}

QByteArray encoded(const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format, quality)) << format;
    return bytes;
}

bool isJpeg(const QByteArray& bytes) {
    return bytes.startsWith("\xFF\xD8\xFF");
}

// A PNG announcing 40000 × 40000 pixels, far past what the readers allocate.
QByteArray hugePng() {
    return QByteArray::fromBase64(
        "iVBORw0KGgoAAAANSUhEUgAAnEAAAJxACAIAAADebplSAAAAC0lEQVR4nGNggAEAAAoAAX+AdF4AAAAASUVORK5CYII=");
}

class PictureTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        m_first = addRecord(with([](Question& q) {
            q.stem1 = u"甲"_s;
            q.answer = u"对"_s;
        }));
        openEditor();
        m_pictures = std::make_unique<EditorPictures>(editor(), m_store, m_prompter, m_clipboard);
    }

    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = m_folder.file(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // 从文件添加 on a slot of the first question with a file of this name and content.
    QByteArray addFromFile(int column, const QString& name, const QByteArray& bytes) {
        click(rowOf(m_first), column);
        m_prompter.answerOpenFile(writeFile(name, bytes));
        m_pictures->addPictureFromFile();
        return field(m_first, column == kStemPicture ? Q::StemPictureData : Q::AnswerPictureData)
            .toByteArray();
    }

    qint32 m_first = 0;
    FakeClipboard m_clipboard;
    FakeLauncher m_launcher;
    std::unique_ptr<EditorPictures> m_pictures;
};

TEST_F(PictureTest, FilesAreReencodedToJpegUnlessNamedAsJpeg) {
    const QImage image = testImage();
    const QByteArray bestJpeg = encoded(image, "JPG", 100);
    struct Case {
        QString name;
        QByteArray bytes;
        bool keptAsIs;
    };
    const Case cases[] = {
        {u"a.jpg"_s, bestJpeg, true},
        {u"a.jpeg"_s, bestJpeg, true},
        {u"a.jfif"_s, bestJpeg, true},
        {u"a.JPG"_s, bestJpeg, false}, // the extension is compared case-sensitively
        {u"a.png"_s, encoded(image, "PNG"), false},
        {u"a.bmp"_s, encoded(image, "BMP"), false},
        {u"a.tiff"_s, encoded(image, "TIFF"), false},
        {u"a.ico"_s, encoded(image, "ICO"), false},
        {u"a.gif"_s, QByteArray::fromBase64("R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOw=="),
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const QByteArray stored = addFromFile(kAnswerPicture, c.name, c.bytes);
        if (c.keptAsIs) {
            EXPECT_EQ(stored, c.bytes);
        } else {
            EXPECT_TRUE(isJpeg(stored));
            EXPECT_NE(stored, c.bytes);
            EXPECT_EQ(QImage::fromData(stored).size(), QImage::fromData(c.bytes).size());
        }
        EXPECT_EQ(text(rowOf(m_first), kAnswerPicture), Q::pictureMark());
        EXPECT_EQ(field(m_first, Q::AnswerPicture).toString(), Q::pictureMark());
        // Empty the slot for the next file.
        click(rowOf(m_first), kAnswerPicture);
        m_prompter.answerOkCancel(true);
        m_pictures->deletePicture();
    }
    EXPECT_TRUE(m_prompter.messages().isEmpty());
}

TEST_F(PictureTest, UndecodableFilesAreStoredAsTheirBytes) {
    const QByteArray junk("this is no picture at all");
    EXPECT_EQ(addFromFile(kStemPicture, u"broken.png"_s, junk), junk);
    EXPECT_EQ(text(rowOf(m_first), kStemPicture), Q::pictureMark());
    // Nothing that shows or copies it fails on them.
    click(rowOf(m_first), kStemPicture);
    m_pictures->copyPictureToClipboard();
    EXPECT_EQ(m_clipboard.sets(), 0);
    EXPECT_TRUE(PictureCodec::decode(junk).isNull());
    EXPECT_FALSE(PictureCodec::reencodeAsJpeg(junk).has_value());
}

TEST_F(PictureTest, PicturesTooLargeToDecodeAreRefused) {
    const QByteArray stored = addFromFile(kStemPicture, u"huge.png"_s, hugePng());
    EXPECT_TRUE(stored.isEmpty());
    EXPECT_EQ(m_prompter.messages(), QStringList{EditorPictures::tooLargeMessage()});
    EXPECT_EQ(text(rowOf(m_first), kStemPicture), QString());
    EXPECT_TRUE(PictureCodec::decode(hugePng()).isNull());
}

// A PNG that announces its size and holds one tiny row of data: enough for the
// readers to tell whether they would allocate it.
QByteArray pngAnnouncing(quint32 width, quint32 height) {
    const auto crc = [](const QByteArray& bytes) {
        quint32 c = 0xFFFFFFFFu;
        for (const char byte : bytes) {
            c ^= quint8(byte);
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        }
        return c ^ 0xFFFFFFFFu;
    };
    const auto be32 = [](quint32 v) {
        const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(bytes, 4);
    };
    QByteArray ihdr = QByteArray("IHDR") + be32(width) + be32(height) + QByteArray("\x08\x02\x00\x00\x00", 5);
    const QByteArray png = hugePng();
    return png.left(8) + be32(13) + ihdr + be32(crc(ihdr)) + png.mid(33);
}

// Phone photos and 600-dpi scans (up to about 50 megapixels) come in; a picture
// that would need more than the readers' raised limit is still refused.
TEST_F(PictureTest, LargePhotosComeInAndDecompressionBombsStayOut) {
    EXPECT_FALSE(PictureCodec::exceedsDecoderLimit(pngAnnouncing(8160, 6120)));  // 50 megapixels
    EXPECT_TRUE(PictureCodec::exceedsDecoderLimit(pngAnnouncing(9000, 8000)));   // 72 megapixels
    const QByteArray photo = pngAnnouncing(8000, 6000);
    EXPECT_FALSE(addFromFile(kStemPicture, u"photo.png"_s, photo).isEmpty());
    EXPECT_TRUE(m_prompter.messages().isEmpty());
    EXPECT_EQ(text(rowOf(m_first), kStemPicture), Q::pictureMark());
    expectBankMatchesGrid();
}

// A picture the bank refuses to take, or to give up, is said; the cell shows
// what the bank holds.
TEST_F(PictureTest, PictureWritesThatFailAreSaid) {
    const QByteArray jpeg = encoded(testImage(), "JPG");
    WriteFaults::failNth(WriteFaults::Kind::StoreChange, 1);
    EXPECT_TRUE(addFromFile(kStemPicture, u"a.jpg"_s, jpeg).isEmpty());
    WriteFaults::reset();
    ASSERT_EQ(m_prompter.messages().size(), 1);
    EXPECT_TRUE(m_prompter.messages().first().startsWith(u"图片未能写入题库："_s));
    EXPECT_EQ(text(rowOf(m_first), kStemPicture), QString());

    m_prompter.clear();
    EXPECT_EQ(addFromFile(kStemPicture, u"a.jpg"_s, jpeg), jpeg);
    m_prompter.answerOkCancel(true, u"确定要删除该图片吗"_s);
    WriteFaults::failNth(WriteFaults::Kind::StoreChange, 1);
    m_pictures->deletePicture();
    WriteFaults::reset();
    ASSERT_EQ(m_prompter.messages().size(), 1);
    EXPECT_TRUE(m_prompter.messages().first().startsWith(u"图片未能从题库删除："_s));
    EXPECT_EQ(text(rowOf(m_first), kStemPicture), Q::pictureMark());
    EXPECT_EQ(field(m_first, Q::StemPictureData).toByteArray(), jpeg);
    expectBankMatchesGrid();
}

TEST_F(PictureTest, CancelledFileDialogStoresNothing) {
    click(rowOf(m_first), kStemPicture);
    m_prompter.answerOpenFile(QString());
    m_pictures->addPictureFromFile();
    EXPECT_EQ(field(m_first, Q::StemPicture).toString(), QString());
    EXPECT_EQ(m_prompter.prompts().size(), 1);
}

TEST_F(PictureTest, StemPictureOfADuplicateIsTakenOutAnswerPictureIsNotChecked) {
    // Two records with the same texts, as a bank written by an older copy can hold.
    const qint32 twin = addRecord(with([](Question& q) {
        q.stem1 = u"甲"_s;
        q.answer = u"对"_s;
    }));
    openEditor();
    m_pictures = std::make_unique<EditorPictures>(editor(), m_store, m_prompter, m_clipboard);
    const QByteArray jpeg = encoded(testImage(), "JPG");
    // The first question already shows both pictures; pictures tell questions
    // apart, so the twin is a duplicate only once it has the same ones.
    editor().moveToCell(rowOf(m_first), kAnswerPicture);
    ASSERT_TRUE(m_pictures->storePicture(jpeg));
    editor().moveToCell(rowOf(m_first), kStemPicture);
    ASSERT_TRUE(m_pictures->storePicture(jpeg));

    // Moved to without leaving a row, whose check would stop at the twins.
    const int row = rowOf(twin);
    editor().moveToCell(row, kAnswerPicture);
    EXPECT_TRUE(m_pictures->storePicture(jpeg));
    EXPECT_TRUE(m_prompter.messages().isEmpty());
    EXPECT_EQ(field(twin, Q::AnswerPictureData).toByteArray(), jpeg);

    editor().moveToCell(row, kStemPicture);
    EXPECT_FALSE(m_pictures->storePicture(jpeg));
    EXPECT_EQ(m_prompter.messages(), QStringList{u"试题重复！"_s});
    EXPECT_EQ(text(row, kStemPicture), QString());
    EXPECT_EQ(field(twin, Q::StemPicture).toString(), QString());
    EXPECT_TRUE(field(twin, Q::StemPictureData).toByteArray().isEmpty());
    EXPECT_EQ(editor().currentRow(), row);
    EXPECT_EQ(editor().currentColumn(), int(BankEditor::StemText1Column));
}

TEST_F(PictureTest, CopyPutsTheDecodedPictureOnTheClipboard) {
    const QImage image = testImage(24, 16);
    click(rowOf(m_first), kStemPicture);
    ASSERT_TRUE(m_pictures->storePicture(encoded(image, "PNG")));
    m_pictures->copyPictureToClipboard();
    ASSERT_EQ(m_clipboard.sets(), 1);
    EXPECT_EQ(m_clipboard.m_image.convertToFormat(QImage::Format_RGB32), image);
    // An empty slot copies nothing.
    click(rowOf(m_first), kAnswerPicture);
    m_pictures->copyPictureToClipboard();
    EXPECT_EQ(m_clipboard.sets(), 1);
}

TEST_F(PictureTest, ClipboardPicturesAreTakenAsBmpBytesAndStoredSo) {
    ClipboardPictureImport import(m_clipboard, m_launcher, m_prompter);
    m_clipboard.m_image = QImage(); // text only on the clipboard
    import.importPicture();
    EXPECT_TRUE(import.pictureBytes().isEmpty());
    EXPECT_FALSE(import.saveEnabled());

    const QImage first = testImage(10, 10);
    m_clipboard.m_image = first;
    import.importPicture();
    EXPECT_TRUE(import.saveEnabled());
    EXPECT_TRUE(import.pictureBytes().startsWith("BM"));
    EXPECT_EQ(QImage::fromData(import.pictureBytes(), "BMP").convertToFormat(QImage::Format_RGB32), first);

    // 重新导入 after a new picture was copied shows the new one.
    m_clipboard.m_image = testImage(30, 20);
    import.importPicture();
    EXPECT_EQ(QImage::fromData(import.pictureBytes()).size(), QSize(30, 20));

    click(rowOf(m_first), kStemPicture);
    ASSERT_TRUE(m_pictures->storePicture(import.pictureBytes()));
    EXPECT_EQ(field(m_first, Q::StemPictureData).toByteArray(), import.pictureBytes());
    expectBankMatchesGrid();
}

TEST_F(PictureTest, FormulaEditorStartsWhenInstalledOtherwiseAsksToInstall) {
    ClipboardPictureImport import(m_clipboard, m_launcher, m_prompter);
    import.openFormulaEditor();
    EXPECT_EQ(m_prompter.messages(), QStringList{u"请安装word"_s});
    EXPECT_TRUE(m_launcher.m_started.isEmpty());

    m_prompter.clear();
    m_launcher.m_installed = QStringList{ClipboardPictureImport::formulaProgram()};
    import.openFormulaEditor();
    EXPECT_TRUE(m_prompter.messages().isEmpty());
    EXPECT_EQ(m_launcher.m_started, QStringList{u"/usr/bin/soffice --math"_s});

    import.showHelp();
    EXPECT_EQ(m_prompter.messages(), QStringList{ClipboardPictureImport::helpText()});
    EXPECT_TRUE(ClipboardPictureImport::helpText().startsWith(u"如果公式编辑器自动安装不成功"_s));
}

} // namespace
} // namespace helan::test
