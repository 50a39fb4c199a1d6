#include "editor/PaperImport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QSet>

#include "base/Gbk.h"
#include "base/Prompter.h"
#include "editor/BankEditorTexts.h"
#include "editor/CourseTransfer.h"
#include "editor/PictureCodec.h"
#include "model/DocxPaperReader.h"
#include "model/QuestionRecord.h"
#include "model/QuestionRules.h"
#include "model/QuestionTypeLibrary.h"
#include "model/TextPaperReader.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

using Q = QuestionRecord;
using editortext::kCrLf;

// Group names are made from the file's name; a bank keeps them short.
constexpr int kGroupBaseLength = 16;

bool isWordFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"docx"_s || suffix == u"docm"_s || suffix == u"dotx"_s || suffix == u"doc"_s)
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(8);
    return head.startsWith("PK\x03\x04") || head == QByteArray::fromHex("d0cf11e0a1b11ae1");
}

bool isJpeg(const QByteArray& bytes) {
    return bytes.startsWith("\xFF\xD8\xFF");
}

// The file beside a paper written by the program that holds its answer sheet.
QString answerSheetBeside(const QString& path) {
    const QFileInfo info(path);
    const QString base = info.completeBaseName();
    if (!base.endsWith(u"试题"_s))
        return {};
    const QString sheet = info.dir().filePath(base.chopped(2) + u"答案."_s + info.suffix());
    return QFileInfo::exists(sheet) ? sheet : QString();
}

} // namespace

PaperImport::PaperImport(RecordStore& store, Prompter& prompter, const QString& courseName)
    : m_store(store), m_prompter(prompter), m_courseName(courseName) {
    readTypeLibrary();
}

QString PaperImport::fileFilter() {
    return u"试卷文件（*.docx *.txt）|*.docx;*.txt|Word文档（*.docx）|*.docx|文本文件（*.txt）|*.txt|所有文件|*"_s;
}

void PaperImport::readTypeLibrary() {
    QuestionTypeLibrary library(m_store, m_prompter);
    if (library.openTypeLibrary() == OpenOutcome::Ready) {
        for (int k = 1; k <= m_store.recordCount(); ++k) {
            if (!m_store.goTo(k))
                continue;
            m_types.append({m_store.readText(QuestionTypeLibrary::TypeName),
                            m_store.readText(QuestionTypeLibrary::Description),
                            m_store.read(QuestionTypeLibrary::Score).toInt()});
        }
    }
    m_store.setCurrent(m_courseName);
}

QStringList PaperImport::typeNames() const {
    QStringList names;
    for (const PaperParser::TypeInfo& t : m_types)
        names.append(t.name);
    return names;
}

// ---- Reading

bool PaperImport::chooseAndRead() {
    const QString path = m_prompter.openFile(u"从Word/文本导入"_s, fileFilter());
    return !path.isEmpty() && read(path);
}

bool PaperImport::readFile(const QString& path, bool answers) {
    QString error;
    const std::optional<PaperSource> source =
        isWordFile(path) ? DocxPaperReader::read(path, &error) : TextPaperReader::read(path, &error);
    if (!source) {
        m_prompter.message(u"无法读取“"_s + QFileInfo(path).fileName() + u"”：\r\n"_s + error, {},
                           Prompter::Icon::Warning);
        return false;
    }
    (answers ? m_answers : m_source) = *source;
    return true;
}

bool PaperImport::read(const QString& path) {
    if (!readFile(path, false))
        return false;
    m_path = path;
    m_fileName = QFileInfo(path).fileName();
    m_hasAnswers = false;
    m_answerFileName.clear();
    // The program's own paper and its answer sheet belong together.
    if (const QString sheet = answerSheetBeside(path); !sheet.isEmpty()) {
        QString error;
        const std::optional<PaperSource> answers =
            isWordFile(sheet) ? DocxPaperReader::read(sheet, &error) : TextPaperReader::read(sheet, &error);
        if (answers) {
            m_answers = *answers;
            m_hasAnswers = true;
            m_answerFileName = QFileInfo(sheet).fileName();
        }
    }
    m_paper = PaperParser(m_types).parse(m_source, m_hasAnswers ? &m_answers : nullptr);
    if (m_hasAnswers)
        m_paper.report.prepend(u"答案取自同一文件夹中的“"_s + m_answerFileName + u"”。"_s);
    if (m_paper.questions.isEmpty()) {
        QString text = u"没有从“"_s + m_fileName + u"”中读出试题。"_s;
        text += u"\r\n试题要以题号开头（如“1.”“1、”“（1）”），大题以“一、选择题”这样的标题开头。"_s;
        m_prompter.message(text, {}, Prompter::Icon::Warning);
        return false;
    }
    checkPictures();
    m_ticked = QList<bool>(m_paper.questions.size(), true);
    return true;
}

bool PaperImport::chooseAnswers() {
    const QString path = m_prompter.openFile(u"读取答案文件"_s, fileFilter());
    return !path.isEmpty() && readAnswers(path);
}

bool PaperImport::readAnswers(const QString& path) {
    if (m_path.isEmpty() || !readFile(path, true))
        return false;
    m_hasAnswers = true;
    m_answerFileName = QFileInfo(path).fileName();
    // The ticks of the questions stay where the teacher put them.
    const QList<bool> ticked = m_ticked;
    m_paper = PaperParser(m_types).parse(m_source, &m_answers);
    m_paper.report.prepend(u"答案取自“"_s + m_answerFileName + u"”。"_s);
    checkPictures();
    m_ticked =
        ticked.size() == m_paper.questions.size() ? ticked : QList<bool>(m_paper.questions.size(), true);
    return true;
}

// Pictures that no program of the bank could show (a Word metafile, a damaged
// file, one too large to decode) are not stored: the question says so.
void PaperImport::checkPictures() {
    QHash<int, QString> verdicts; // picture index → why it is refused, empty when it is fine
    const auto refusal = [&](int index) {
        if (const auto it = verdicts.constFind(index); it != verdicts.constEnd())
            return *it;
        QString why;
        const QByteArray& bytes = m_paper.pictures.at(index).bytes;
        QByteArray copy = bytes;
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        if (!reader.canRead())
            why = u"图片"_s + m_paper.pictures.at(index).name + u"的格式无法显示，没有导入"_s;
        else if (PictureCodec::exceedsDecoderLimit(bytes))
            why = u"图片"_s + m_paper.pictures.at(index).name + u"太大，没有导入"_s;
        verdicts.insert(index, why);
        return why;
    };
    for (ParsedQuestion& q : m_paper.questions) {
        for (int* picture : {&q.stemPicture, &q.answerPicture}) {
            if (*picture < 0 || *picture >= m_paper.pictures.size())
                continue;
            if (const QString why = refusal(*picture); !why.isEmpty()) {
                q.notes.append(why);
                *picture = -1;
            }
        }
    }
}

// ---- The preview

PaperImport::Effective PaperImport::effective(const ParsedQuestion& q) const {
    Effective e;
    e.type = m_typeForAll.isEmpty() ? q.type : m_typeForAll;
    e.answer = q.answer;
    if (m_keepExplanations && !q.explanation.isEmpty() && !q.choice && !q.isTitle())
        e.answer = e.answer.isEmpty() ? q.explanation : e.answer + kCrLf + q.explanation;
    return e;
}

PaperImport::Row PaperImport::row(int index) const {
    Row r;
    if (index < 0 || index >= rowCount())
        return r;
    const ParsedQuestion& q = m_paper.questions.at(index);
    const Effective e = effective(q);
    r.ticked = m_ticked.value(index);
    r.title = q.isTitle();
    r.member = q.groupNumber > 0;
    r.number = r.title ? u"材料"_s : q.number;
    if (q.group >= 0)
        r.group = u"第"_s + QString::number(q.group + 1) + u"组"_s;
    r.type = e.type;
    r.newType = !e.type.isEmpty() && !typeNames().contains(e.type);
    r.stem = q.stem;
    r.options = q.options;
    r.answer = e.answer;
    r.score = q.score;
    r.stemPicture = q.stemPicture >= 0;
    r.answerPicture = q.answerPicture >= 0;
    r.notes = q.notes;
    if (!m_typeForAll.isEmpty())
        r.notes.removeIf(
            [](const QString& note) { return note.startsWith(u"题型“"_s) || note == u"看不出题型"_s; });
    if (m_keepExplanations && !q.explanation.isEmpty() && q.choice)
        r.notes.append(u"选择题的答案只能是选项，解析没有并入答案"_s);

    QuestionRules::Values values;
    values.groupNumber = q.isTitle() ? editortext::kTitleNumber : (q.groupNumber > 0 ? u"1"_s : QString());
    values.stemText1 = q.stem;
    values.stemPicture = r.stemPicture ? Q::pictureMark() : QString();
    values.stemText2 = q.options.join(kCrLf);
    values.answer = e.answer;
    values.type = e.type;
    values.choice = q.choice;
    const QuestionRules::Verdict verdict = QuestionRules::check(values);
    if (!verdict.passed())
        r.incomplete = verdict.message;
    return r;
}

void PaperImport::setTicked(int index, bool on) {
    if (index < 0 || index >= rowCount())
        return;
    const ParsedQuestion& q = m_paper.questions.at(index);
    m_ticked[index] = on;
    if (q.group < 0)
        return;
    for (int k = 0; k < rowCount(); ++k) {
        const ParsedQuestion& other = m_paper.questions.at(k);
        if (other.group != q.group)
            continue;
        if (q.isTitle() && !on)
            m_ticked[k] = false;
        if (!q.isTitle() && on && other.isTitle())
            m_ticked[k] = true;
    }
    // A passage whose every sub-question is unticked stays out too.
    if (!q.isTitle() && !on) {
        bool anyMember = false;
        int title = -1;
        for (int k = 0; k < rowCount(); ++k) {
            const ParsedQuestion& other = m_paper.questions.at(k);
            if (other.group != q.group)
                continue;
            if (other.isTitle())
                title = k;
            else
                anyMember = anyMember || m_ticked.at(k);
        }
        if (!anyMember && title >= 0)
            m_ticked[title] = false;
    }
}

void PaperImport::setAllTicked(bool on) {
    for (bool& t : m_ticked)
        t = on;
}

int PaperImport::tickedCount() const {
    return int(m_ticked.count(true));
}

void PaperImport::setTypeForAll(const QString& type) {
    m_typeForAll = type;
}

void PaperImport::setDifficulty(int difficulty) {
    m_difficulty = std::clamp(difficulty, 1, 9);
}

QString PaperImport::summary() const {
    int questions = 0;
    int groups = 0;
    int incomplete = 0;
    int noted = 0;
    for (int k = 0; k < rowCount(); ++k) {
        const Row r = row(k);
        if (r.title)
            ++groups;
        else
            ++questions;
        if (!r.incomplete.isEmpty())
            ++incomplete;
        else if (!r.notes.isEmpty())
            ++noted;
    }
    QString text = u"读出"_s + QString::number(questions) + u"道试题"_s;
    if (groups > 0)
        text += u"（其中"_s + QString::number(groups) + u"组材料）"_s;
    text +=
        u"，"_s + QString::number(incomplete) + u"道不完整，"_s + QString::number(noted) + u"道需要留意。"_s;
    return text;
}

// ---- Storing

QString PaperImport::groupName(int group) const {
    QString base = editortext::withoutSpaces(QFileInfo(m_fileName).completeBaseName());
    base = base.left(kGroupBaseLength);
    if (base.isEmpty())
        base = u"导入"_s;
    return base + u"-"_s + QString::number(group + 1);
}

// As the editor stores a picture file: JPEG as it is, anything else converted.
QByteArray PaperImport::storedPicture(int index) const {
    if (index < 0 || index >= m_paper.pictures.size())
        return {};
    const QByteArray& bytes = m_paper.pictures.at(index).bytes;
    if (isJpeg(bytes))
        return bytes;
    return PictureCodec::reencodeAsJpeg(bytes).value_or(bytes);
}

QList<QVariantList> PaperImport::records(QList<bool>* incomplete) const {
    QList<QVariantList> out;
    const QString knowledge = editortext::joinedKnowledge(editortext::singleLineField(m_knowledge));
    QHash<int, int> memberNumbers; // group → the last sub-question number given
    for (int k = 0; k < rowCount(); ++k) {
        if (!m_ticked.at(k))
            continue;
        const ParsedQuestion& q = m_paper.questions.at(k);
        const Effective e = effective(q);
        QString name;
        QString number;
        if (q.group >= 0) {
            name = groupName(q.group);
            number = q.isTitle() ? editortext::kTitleNumber : QString::number(++memberNumbers[q.group]);
        }
        const bool stemPicture = q.stemPicture >= 0;
        const bool answerPicture = q.answerPicture >= 0;
        out.append(QVariantList{knowledge, name, number, q.stem, stemPicture ? Q::pictureMark() : QString(),
                                q.options.join(kCrLf), e.answer, answerPicture ? Q::pictureMark() : QString(),
                                e.type, m_difficulty, q.score, q.choice, false, false,
                                stemPicture ? storedPicture(q.stemPicture) : QByteArray(),
                                answerPicture ? storedPicture(q.answerPicture) : QByteArray()});
        if (incomplete)
            incomplete->append(!row(k).incomplete.isEmpty());
    }
    return out;
}

bool PaperImport::importTicked(CourseTransfer& transfer) {
    const QString knowledge = editortext::joinedKnowledge(editortext::singleLineField(m_knowledge));
    if (gbkLength(knowledge) > Q::kKnowledgePointsWidth) {
        m_prompter.message(u"知识点长度超标！"_s);
        return false;
    }
    // Types the library lacks: added when the teacher agrees, else their
    // questions stay out.
    QStringList asked;
    const QStringList library = typeNames();
    for (int k = 0; k < rowCount(); ++k) {
        if (!m_ticked.at(k))
            continue;
        const QString type = effective(m_paper.questions.at(k)).type;
        if (type.isEmpty() || library.contains(type) || asked.contains(type))
            continue;
        asked.append(type);
        if (m_prompter.yesNo(u"题型库中没有题型“"_s + type +
                             u"”。导入时把它加入题型库吗？\r\n选“否”则不导入这种题型的试题。"_s))
            continue;
        for (int j = 0; j < rowCount(); ++j) {
            if (effective(m_paper.questions.at(j)).type == type)
                m_ticked[j] = false;
        }
    }
    if (tickedCount() == 0) {
        m_prompter.message(u"没有要导入的试题。"_s);
        return false;
    }
    QList<bool> incomplete;
    const QList<QVariantList> values = records(&incomplete);
    CourseTransfer::RecordOptions options;
    options.freshGroupNames = true;
    options.incomplete = incomplete;
    transfer.importRecords(values, options);
    return true;
}

} // namespace helan
