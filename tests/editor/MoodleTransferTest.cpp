// 导出为Moodle XML… and 从Moodle XML导入… of the bank editor: the sample course
// there and back, pictures converted on the way in, and files that are refused
// with one message and nothing stored.
#include <functional>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "EditorFakes.h"
#include "EditorFixture.h"
#include "SampleCourses.h"
#include "editor/CourseTransfer.h"
#include "editor/MoodleTransfer.h"
#include "model/CourseBank.h"
#include "model/MoodleXmlReader.h"
#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;

namespace helan::test {
namespace {

using Q = QuestionRecord;
const QString kRefusal = u"无法从Moodle XML导入："_s;
const QString kNothing = u"\r\n没有导入任何试题。"_s;

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return bytes;
}

// A 1 × 1 GIF (Qt reads GIF but does not write it).
const QByteArray kGif =
    QByteArray::fromHex("47494638396101000100800000ffffff00000021f90401000000002c000000000100010000"
                        "02024401003b");

QImage drawing() {
    QImage image(24, 16, QImage::Format_ARGB32);
    image.fill(QColor(20, 120, 200, 128));
    return image;
}

class MoodleTransferTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        ASSERT_TRUE(m_outside.isValid());
    }

    // The editor on the course, with 导入's engine behind 从Moodle XML导入….
    void open() {
        openEditor();
        m_transfer =
            std::make_unique<CourseTransfer>(editor(), m_store, m_prompter, [] { return QString(); });
    }

    QString outside(const QString& name) const { return QDir(m_outside.path()).filePath(name); }

    QString writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(outside(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    QList<QVariantList> bank(const QString& alias) {
        EXPECT_TRUE(m_store.setCurrent(alias));
        QList<QVariantList> records;
        for (int k = 1; k <= m_store.recordCount(); ++k) {
            m_store.goTo(k);
            QVariantList values;
            for (int f = 1; f <= Q::kFieldCount; ++f)
                values.append(m_store.read(f));
            records.append(values);
        }
        return records;
    }

    // Chooses the file, then answers what the import asks after it.
    void importFile(const QString& path, const std::function<void()>& scriptAfterFile = {}) {
        m_prompter.answerOpenFile(path);
        if (scriptAfterFile)
            scriptAfterFile();
        MoodleImport(m_prompter, *m_transfer).run();
    }

    QTemporaryDir m_outside;
    std::unique_ptr<CourseTransfer> m_transfer;
};

QString key(const QVariantList& v) {
    return v.at(Q::GroupName - 1).toString() + u'|' + v.at(Q::StemText1 - 1).toString() + u'|' +
           v.at(Q::StemText2 - 1).toString() + u'|' + v.at(Q::Answer - 1).toString();
}

// Export, then import into an empty course: every question back, field by field,
// pictures byte for byte.
TEST_F(MoodleTransferTest, SampleCourseRoundTrip) {
    const QList<SampleQuestion> sample = SampleCourses::mathQuestions();
    ASSERT_TRUE(m_store.setCurrent(course()));
    for (const SampleQuestion& q : sample)
        ASSERT_TRUE(m_store.append(q.toValues()));
    const QList<QVariantList> original = bank(course());

    m_prompter.answerChooseFolder(m_outside.path());
    MoodleExport exporter(m_store, m_prompter, course());
    ASSERT_TRUE(exporter.run(course()));
    const QString path = outside(u"语文.xml"_s);
    EXPECT_EQ(exporter.writtenPath(), path);
    int pictures = 0;
    for (const QVariantList& v : original)
        pictures += !v.at(Q::StemPictureData - 1).toByteArray().isEmpty() +
                    !v.at(Q::AnswerPictureData - 1).toByteArray().isEmpty();
    EXPECT_EQ(m_prompter.messages(),
              QStringList{u"导出Moodle XML完毕：共"_s + QString::number(original.size()) + u"道试题、"_s +
                          QString::number(pictures) + u"张图片，已写入 "_s + QDir::toNativeSeparators(path) +
                          u"。"_s});

    // A second export asks before it overwrites; No leaves the file alone.
    m_prompter.clear();
    m_prompter.answerChooseFolder(m_outside.path());
    m_prompter.answerYesNo(false, u"目标文件 语文.xml 已经存在，继续导出将覆盖它，继续导出吗？"_s);
    EXPECT_FALSE(exporter.run(course()));
    EXPECT_TRUE(m_prompter.done());
    EXPECT_TRUE(m_prompter.messages().isEmpty());

    // Into an empty course.
    const QString other = u"空课程"_s;
    CourseBank courses(m_store, m_prompter);
    ASSERT_TRUE(courses.createCourseBank(other));
    ASSERT_TRUE(m_store.open(CourseBank::fileName(other), other));
    m_prompter.clear();
    {
        BankEditor target(m_store, m_prompter, other, [](int, const QString&) { return 1; });
        target.open(1000);
        CourseTransfer transfer(target, m_store, m_prompter, [] { return QString(); });
        m_prompter.answerOpenFile(path);
        m_prompter.answerOkCancel(true);
        MoodleImport(m_prompter, transfer).run();
        ASSERT_EQ(m_prompter.prompts().size(), 3); // the file, the preview, the report
        const QString preview = m_prompter.prompts().at(1).text;
        EXPECT_TRUE(preview.startsWith(u"该文件可以导入"_s + QString::number(original.size()) +
                                       u"道试题（含分组标题2道）："_s))
            << preview.toStdString();
        EXPECT_TRUE(preview.endsWith(u"。\r\n确定导入吗？"_s));
        EXPECT_EQ(m_prompter.messages(),
                  QStringList{u"成功导入"_s + QString::number(original.size()) + u"条记录。"_s});
        EXPECT_EQ(target.questionCount(), 56);
    }
    QList<QVariantList> back = bank(other);
    ASSERT_EQ(back.size(), original.size());
    QHash<QString, QVariantList> byKey;
    for (const QVariantList& v : back)
        byKey.insert(key(v), v);
    ASSERT_EQ(byKey.size(), back.size());
    for (const QVariantList& v : original) {
        SCOPED_TRACE(key(v).toStdString());
        ASSERT_TRUE(byKey.contains(key(v)));
        const QVariantList& w = byKey.value(key(v));
        for (int f = 1; f <= Q::kFieldCount; ++f)
            EXPECT_EQ(w.at(f - 1), v.at(f - 1)) << Q::fieldName(Q::Field(f)).toStdString();
    }

    // The same file into the course it came from: every question a duplicate.
    open();
    m_prompter.clear();
    importFile(path, [this] { m_prompter.answerOkCancel(true); });
    EXPECT_EQ(m_prompter.messages(),
              QStringList{QString::number(original.size()) + u"条记录重复，实际导入0条记录。"_s});
    EXPECT_EQ(bank(course()).size(), original.size());
}

TEST_F(MoodleTransferTest, PicturesAreConvertedAsFilePicturesAre) {
    const QByteArray jpeg = encoded(drawing(), "JPG");
    const QByteArray bmp = encoded(drawing(), "BMP");
    const std::tuple<const char*, QString, QByteArray, bool> cases[] = {
        {"a JPEG by its name stays as it is", u"a.jpg"_s, jpeg, true},
        {"a BMP stays as it is", u"a.bmp"_s, bmp, true},
        {"a PNG becomes JPEG", u"a.png"_s, encoded(drawing(), "PNG"), false},
        {"a GIF becomes JPEG", u"a.gif"_s, kGif, false},
        {"a JPEG named in capitals is re-encoded", u"a.JPG"_s, jpeg, false},
    };
    for (const auto& [name, file, bytes, kept] : cases) {
        SCOPED_TRACE(name);
        const auto stored = MoodleImport::storedPicture({file, bytes});
        ASSERT_TRUE(stored.has_value());
        if (kept)
            EXPECT_EQ(*stored, bytes);
        else
            EXPECT_TRUE(stored->startsWith("\xFF\xD8\xFF"));
        EXPECT_FALSE(QImage::fromData(*stored).isNull());
    }
    for (const QByteArray& bad : {QByteArray("hello, world"), QByteArray(), jpeg.left(3)}) {
        EXPECT_FALSE(MoodleImport::storedPicture({u"x.png"_s, bad}));
        EXPECT_FALSE(MoodleImport::storedPicture({u"x.jpg"_s, bad}));
    }
}

QByteArray quizWithPicture(const QByteArray& picture, const QString& name) {
    return (u"<?xml version=\"1.0\" encoding=\"UTF-8\"?><quiz><question "
            u"type=\"essay\"><name><text>图题</text></name>"
            u"<questiontext format=\"html\"><text><![CDATA[看图<img src=\"@@PLUGINFILE@@/"_s +
            name + u"\">]]></text><file name=\""_s + name + u"\" path=\"/\" encoding=\"base64\">"_s +
            QString::fromLatin1(picture.toBase64()) +
            u"</file></questiontext><graderinfo format=\"html\"><text>要点</text></graderinfo></question>"
            u"<question type=\"matching\"><name><text>m</text></name></question></quiz>"_s)
        .toUtf8();
}

TEST_F(MoodleTransferTest, AFilesPngIsStoredAsJpegAfterThePreview) {
    addRecord(with([](Question& q) {
        q.stem1 = u"原有"_s;
        q.answer = u"对"_s;
    }));
    open();
    const QString path = writeFile(u"png.xml"_s, quizWithPicture(encoded(drawing(), "PNG"), u"图.png"_s));

    // Cancel at the preview stores nothing.
    importFile(path, [this] {
        m_prompter.answerOkCancel(false,
                                  u"该文件可以导入1道试题：问答 1。\r\n不支持的题型不导入：matching 1。\r\n"
                                  u"确定导入吗？"_s);
    });
    EXPECT_TRUE(m_prompter.done());
    EXPECT_TRUE(m_prompter.messages().isEmpty());
    EXPECT_EQ(bank(course()).size(), 1);

    importFile(path, [this] { m_prompter.answerOkCancel(true); });
    EXPECT_EQ(m_prompter.messages(), QStringList{u"成功导入1条记录。"_s});
    const QList<QVariantList> records = bank(course());
    ASSERT_EQ(records.size(), 2);
    const QVariantList& added = records.at(1);
    EXPECT_EQ(added.at(Q::StemText1 - 1).toString(), u"看图"_s);
    EXPECT_EQ(added.at(Q::Answer - 1).toString(), u"要点"_s);
    EXPECT_EQ(added.at(Q::Type - 1).toString(), u"问答"_s);
    EXPECT_EQ(added.at(Q::StemPicture - 1).toString(), Q::pictureMark());
    EXPECT_TRUE(added.at(Q::StemPictureData - 1).toByteArray().startsWith("\xFF\xD8\xFF"));
    expectBankMatchesGrid();
}

TEST_F(MoodleTransferTest, HostileFilesGetOneMessageAndNothingIsStored) {
    addRecord(with([](Question& q) {
        q.stem1 = u"原有"_s;
        q.answer = u"对"_s;
    }));
    open();
    const QString huge = outside(u"huge.xml"_s);
    {
        // Sparse: a 100 MB file without writing 100 MB.
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<?xml version=\"1.0\"?><quiz>");
        ASSERT_TRUE(file.resize(100LL * 1024 * 1024));
    }
    const std::pair<QString, QString> cases[] = {
        {writeFile(u"zip.xml"_s, QByteArray("PK\x03\x04\x14\x00 not xml at all")),
         u"文件不是有效的XML文件（第1行第1列有错）。"_s},
        {writeFile(
             u"laughs.xml"_s,
             "<?xml version=\"1.0\"?><!DOCTYPE quiz [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
             "\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><quiz><question type=\"essay\"><name><text>&b;</text>"
             "</name></question></quiz>"),
         u"文件含有文档类型定义或实体引用，为安全起见不予读取。"_s},
        {huge, u"文件大于96MB。"_s},
        {writeFile(u"notpicture.xml"_s, quizWithPicture("just some words, no picture", u"a.png"_s)),
         u"试题“图题”的图片 a.png 不是可以识别的图片。"_s},
        {writeFile(u"notjpeg.xml"_s, quizWithPicture("just some words, no picture", u"a.jpg"_s)),
         u"试题“图题”的图片 a.jpg 不是可以识别的图片。"_s},
        {outside(u"missing.xml"_s), u"文件无法打开。"_s},
    };
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path.toStdString());
        m_prompter.clear();
        importFile(path);
        EXPECT_EQ(m_prompter.messages(), QStringList{kRefusal + reason + kNothing});
        EXPECT_EQ(bank(course()).size(), 1);
        EXPECT_EQ(grid().rowCount(), 2);
        EXPECT_FALSE(editor().busy());
    }

    // Only question types the bank has no place for.
    m_prompter.clear();
    importFile(writeFile(u"matching.xml"_s, "<quiz><question type=\"matching\"/><question type=\"ddwtos\"/>"
                                            "<question type=\"matching\"/></quiz>"));
    EXPECT_EQ(m_prompter.messages(),
              QStringList{u"文件中没有可以导入的试题。\r\n不支持的题型：ddwtos 1，matching 2。"_s});
    EXPECT_EQ(bank(course()).size(), 1);

    // No file chosen: nothing happens.
    m_prompter.clear();
    importFile(QString());
    EXPECT_TRUE(m_prompter.prompts().size() == 1);
}

TEST_F(MoodleTransferTest, ExportOfChosenQuestionsAndItsRefusals) {
    const qint32 first = addRecord(with([](Question& q) {
        q.stem1 = u"第一"_s;
        q.answer = u"对"_s;
    }));
    addRecord(with([](Question& q) {
        q.stem1 = u"第二"_s;
        q.answer = u"错"_s;
    }));
    MoodleExport exporter(m_store, m_prompter, course());
    m_prompter.answerChooseFolder(m_outside.path());
    ASSERT_TRUE(
        exporter.run(u"语文A卷"_s, {first}, [](qint32, QVariantList& values) { values[Q::Score - 1] = 7; }));
    QFile file(outside(u"语文A卷.xml"_s));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto result = MoodleXmlReader::read(file);
    ASSERT_EQ(result.questions.size(), 1);
    EXPECT_EQ(result.questions.first().values.at(Q::StemText1 - 1).toString(), u"第一"_s);
    EXPECT_EQ(result.questions.first().values.at(Q::Score - 1).toInt(), 7);

    // Nothing to export, no folder chosen, a folder that cannot be written.
    m_prompter.clear();
    EXPECT_FALSE(exporter.run(u"x"_s, {9999}));
    EXPECT_EQ(m_prompter.messages(), QStringList{u"没有可导出的试题。"_s});
    m_prompter.clear();
    m_prompter.answerChooseFolder(QString());
    EXPECT_FALSE(exporter.run(u"x"_s));
    EXPECT_TRUE(m_prompter.messages().isEmpty());
    m_prompter.clear();
    const QString missing = outside(u"不存在/更深"_s);
    m_prompter.answerChooseFolder(missing);
    EXPECT_FALSE(exporter.run(u"x"_s));
    EXPECT_EQ(m_prompter.messages(),
              QStringList{u"导出Moodle XML失败：未能写入 "_s +
                          QDir::toNativeSeparators(QDir(missing).filePath(u"x.xml"_s)) + u"。"_s});
    EXPECT_FALSE(QFileInfo::exists(QDir(missing).filePath(u"x.xml"_s)));
}

} // namespace
} // namespace helan::test
