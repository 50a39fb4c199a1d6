// Files that are not the papers they claim to be: refused with one clear
// message, read no further than the limits, and never a crash (these run under
// AddressSanitizer too).
#include <QElapsedTimer>
#include <QFile>

#include "PaperImportFixture.h"
#include "model/DocxPaperReader.h"
#include "model/TextPaperReader.h"

using namespace Qt::StringLiterals;

namespace helan::test {
namespace {

using P = PaperFiles;

class PaperHostileTest : public PaperImportFixture {
protected:
    // Reading the file is refused with a message that holds the words.
    void expectRefused(const QString& path, const QString& words) {
        SCOPED_TRACE(path.toStdString());
        m_prompter.clear();
        PaperImport import(m_store, m_prompter, course());
        EXPECT_FALSE(import.read(path));
        ASSERT_EQ(m_prompter.messages().size(), 1);
        EXPECT_TRUE(m_prompter.messages().first().contains(words))
            << m_prompter.messages().first().toStdString();
        EXPECT_EQ(import.rowCount(), 0);
    }

    bool writeBytes(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    }

    QByteArray readBytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(PaperHostileTest, NotAZip) {
    const QString path = paperFile(u"假的.docx"_s);
    ASSERT_TRUE(writeBytes(path, "1. 这其实是文本\n答案：对\n"));
    expectRefused(path, u"不是Word文档"_s);

    // A zip without a main document.
    const QString empty = paperFile(u"空包.docx"_s);
    ASSERT_TRUE(P::writeZip(empty, {{u"readme.txt"_s, "nothing"}}));
    expectRefused(empty, u"没有正文"_s);

    // The old binary format, and a document cut in half.
    const QString old = paperFile(u"旧版.docx"_s);
    ASSERT_TRUE(writeBytes(old, QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(600, '\0')));
    expectRefused(old, u".doc"_s);
    const QString whole = paperFile(u"完整.docx"_s);
    ASSERT_TRUE(P::writeDocx(whole, P::paragraph(u"1. 题\n答案：对"_s)));
    const QByteArray bytes = readBytes(whole);
    const QString cut = paperFile(u"半截.docx"_s);
    ASSERT_TRUE(writeBytes(cut, bytes.left(bytes.size() / 2)));
    expectRefused(cut, u"不是Word文档"_s);
}

TEST_F(PaperHostileTest, ZipBombStopsAtTheLimit) {
    // A main document that unpacks to more than the limit from a small file.
    const QString bomb = paperFile(u"炸弹.docx"_s);
    ASSERT_TRUE(
        P::writeZip(bomb, {{u"word/document.xml"_s, QByteArray(DocxPaperReader::kMaxXmlBytes + 1, ' ')}}));
    EXPECT_LT(QFile(bomb).size(), 1024 * 1024);
    expectRefused(bomb, u"解压后超过"_s);

    // One whose headers claim 100 bytes: the bytes actually unpacked are
    // counted, and the reading stops at the limit all the same.
    const QString liar = paperFile(u"说谎.docx"_s);
    const QByteArray xml =
        "<?xml version=\"1.0\"?><w:document "
        "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>" +
        QByteArray(DocxPaperReader::kMaxXmlBytes + 1024, ' ') + "</w:body></w:document>";
    ASSERT_TRUE(P::writeZip(liar, {{u"word/document.xml"_s, xml}}));
    QByteArray zip = readBytes(liar);
    const auto patch = [&](const QByteArray& signature, int offset) {
        const qsizetype at = zip.indexOf(signature);
        ASSERT_GE(at, 0);
        const char small[4] = {100, 0, 0, 0};
        zip.replace(at + offset, 4, QByteArray(small, 4));
    };
    patch("PK\x03\x04", 22);
    patch("PK\x01\x02", 24);
    ASSERT_TRUE(writeBytes(liar, zip));
    expectRefused(liar, u"解压后超过"_s);

    // A picture beyond the limit is left out; the paper is read.
    const QString big = paperFile(u"大图.docx"_s);
    ASSERT_TRUE(P::writeDocx(
        big, P::paragraphOf(P::run(u"1. 看图"_s) + P::pictureRun(1)) + P::paragraph(u"答案：对"_s),
        {{u"image1.png"_s, QByteArray(DocxPaperReader::kMaxPictureBytes + 1, 'x')}}));
    readPaper(big);
    ASSERT_EQ(m_import->rowCount(), 1);
    EXPECT_FALSE(m_import->row(0).stemPicture);
    EXPECT_TRUE(m_import->report().join(QString()).contains(u"太大"_s));
}

TEST_F(PaperHostileTest, EntityExpansionAndDeepNestingAreRefused) {
    const QString laughs = paperFile(u"实体.docx"_s);
    QString dtd = u"<!DOCTYPE w:document [<!ENTITY a0 \"哈哈哈哈哈哈哈哈哈哈\">"_s;
    for (int k = 1; k < 12; ++k) {
        const QString previous = u"&a"_s + QString::number(k - 1) + u";"_s;
        dtd += u"<!ENTITY a"_s + QString::number(k) + u" \""_s + previous.repeated(10) + u"\">"_s;
    }
    dtd += u"]>"_s;
    const QByteArray xml =
        (u"<?xml version=\"1.0\"?>"_s + dtd +
         u"<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
         "<w:body><w:p><w:r><w:t>1. &a11;</w:t></w:r></w:p></w:body></w:document>"_s)
            .toUtf8();
    ASSERT_TRUE(P::writeZip(laughs, {{u"word/document.xml"_s, xml}}));
    expectRefused(laughs, u"DTD"_s);

    // An external entity fares no better.
    const QString external = paperFile(u"外部.docx"_s);
    ASSERT_TRUE(P::writeZip(
        external,
        {{u"word/document.xml"_s,
          "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><w:document "
          "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body><w:p><w:r><w:t>"
          "&x;</w:t></w:r></w:p></w:body></w:document>"}}));
    expectRefused(external, u"DTD"_s);

    // An undeclared entity is damaged XML.
    const QString undeclared = paperFile(u"未声明.docx"_s);
    ASSERT_TRUE(P::writeDocx(undeclared, u"<w:p><w:r><w:t>1. &x;</w:t></w:r></w:p>"_s));
    expectRefused(undeclared, u"损坏"_s);

    // Nesting a hundred thousand deep.
    const QString deep = paperFile(u"嵌套.docx"_s);
    ASSERT_TRUE(P::writeDocx(deep, u"<w:sdt>"_s.repeated(100000) + u"</w:sdt>"_s.repeated(100000)));
    expectRefused(deep, u"嵌套过深"_s);
}

TEST_F(PaperHostileTest, HugeAndBinaryTextFiles) {
    // 50 MB of text is refused before it is read.
    const QString huge = paperFile(u"巨大.txt"_s);
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(50 * 1024 * 1024));
    }
    expectRefused(huge, u"太大（50.0 MB）"_s);
    QString error;
    EXPECT_FALSE(TextPaperReader::read(huge, &error).has_value());

    const QString binary = paperFile(u"二进制.txt"_s);
    QByteArray noise(4096, '\0');
    for (int k = 0; k < noise.size(); ++k)
        noise[k] = char((k * 7919) % 251);
    ASSERT_TRUE(writeBytes(binary, noise));
    expectRefused(binary, u"不是文本文件"_s);

    // Text that reads as no paper at all.
    const QString prose = paperFile(u"散文.txt"_s);
    ASSERT_TRUE(P::writeText(prose, u"今天天气很好。\n我们去公园玩。\n"_s));
    expectRefused(prose, u"没有从“散文.txt”中读出试题"_s);
}

// Lines made to be slow: thousands of labels, markers and numbers on one line,
// tens of thousands of option lines in one question. The parse takes time in
// proportion to the text (a quadratic step would take hours here).
TEST_F(PaperHostileTest, PathologicalLinesTakeLinearTime) {
    QString text = u"一、选择题（每题1分）\n1. 题一\n"_s;
    text += u"A. "_s.repeated(200000) + u"\n"_s;
    text += u"【答案】x【解析】y"_s.repeated(50000) + u"\n"_s;
    text += u"2. 题二\n"_s;
    for (int k = 0; k < 20000; ++k)
        text += u"①甲  ②乙\n"_s;
    text += u"3. 题三"_s + u" A． B．"_s.repeated(100000) + u"\n参考答案\n"_s;
    for (int k = 1; k <= 999; ++k)
        text += QString::number(k) + u".C "_s;
    text += u"x"_s.repeated(300000) + u"\n"_s;
    const QString path = paperFile(u"慢.txt"_s);
    ASSERT_TRUE(P::writeText(path, text));
    QElapsedTimer timer;
    timer.start();
    readPaper(path);
    EXPECT_LT(timer.elapsed(), 60000);
    ASSERT_EQ(m_import->rowCount(), 3);
    EXPECT_TRUE(m_import->row(1).notes.join(QString()).contains(u"选项多于9个"_s));
    EXPECT_EQ(m_import->row(2).options.size(), 2);
}

// Every byte of a real .docx flipped in turn at a stride, and cut at every
// length at a stride: a message or a paper, never a crash.
TEST_F(PaperHostileTest, DamagedDocxNeverCrashes) {
    const QString whole = paperFile(u"样本.docx"_s);
    ASSERT_TRUE(P::writeDocx(whole,
                             P::paragraph(u"一、选择题（每题2分）"_s) +
                                 P::paragraphOf(P::run(u"1. 看图"_s) + P::pictureRun(1)) +
                                 P::paragraph(u"A. 甲  B. 乙"_s) + P::paragraph(u"答案：A"_s),
                             {{u"image1.png"_s, P::pngBytes(Qt::red)}}));
    const QByteArray bytes = readBytes(whole);
    const QString damaged = paperFile(u"损坏.docx"_s);
    for (qsizetype at = 0; at < bytes.size(); at += 37) {
        QByteArray flipped = bytes;
        flipped[at] = char(flipped[at] ^ 0x5A);
        ASSERT_TRUE(writeBytes(damaged, flipped));
        QString error;
        const std::optional<PaperSource> paper = DocxPaperReader::read(damaged, &error);
        EXPECT_TRUE(paper.has_value() || !error.isEmpty());
        ASSERT_TRUE(writeBytes(damaged, bytes.left(at)));
        EXPECT_TRUE(DocxPaperReader::read(damaged, &error).has_value() || !error.isEmpty());
    }
}

// Text files in either encoding, with or without a byte-order mark.
TEST_F(PaperHostileTest, TextEncodingsAreFound) {
    const QString text = u"1. 汉字题\n答案：对\n"_s;
    EXPECT_EQ(TextPaperReader::decode(text.toUtf8()), text);
    EXPECT_EQ(TextPaperReader::decode("\xEF\xBB\xBF" + text.toUtf8()), text);
    EXPECT_EQ(TextPaperReader::decode(QByteArray("\xB4\xF0\xB0\xB8")), u"答案"_s); // GBK
    QByteArray utf16("\xFF\xFE");
    for (const QChar c : text) {
        utf16.append(char(c.unicode() & 0xFF));
        utf16.append(char(c.unicode() >> 8));
    }
    EXPECT_EQ(TextPaperReader::decode(utf16), text);
}

} // namespace
} // namespace helan::test
