#include "editor/MoodleTransfer.h"

#include <algorithm>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QSaveFile>
#include <QSet>

#include "base/Prompter.h"
#include "base/TextRules.h"
#include "editor/CourseTransfer.h"
#include "editor/PictureCodec.h"
#include "model/MoodleXmlWriter.h"
#include "model/QuestionRecord.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

using Q = QuestionRecord;

struct Item {
    qint32 id = 0;
    QVariantList values;
    QString text(int field) const { return values.at(field - 1).toString(); }
};

// Groups first, each title before its sub-questions in number order (as the
// editor shows them), then the other questions type by type in bank order, so
// that the file switches category as seldom as it can.
QList<Item> inExportOrder(QList<Item> items) {
    QStringList groupOrder;
    QHash<QString, QList<Item>> groups;
    QStringList typeOrder;
    QHash<QString, QList<Item>> byType;
    for (Item& item : items) {
        const QString group = item.text(Q::GroupName);
        if (!group.isEmpty()) {
            if (!groups.contains(group))
                groupOrder.append(group);
            groups[group].append(std::move(item));
        } else {
            const QString type = item.text(Q::Type);
            if (!byType.contains(type))
                typeOrder.append(type);
            byType[type].append(std::move(item));
        }
    }
    QList<Item> ordered;
    ordered.reserve(items.size());
    for (const QString& name : groupOrder) {
        QList<Item>& members = groups[name];
        std::stable_sort(members.begin(), members.end(), [](const Item& a, const Item& b) {
            const bool titleA = Q::isGroupTitle(a.text(Q::GroupNumber));
            const bool titleB = Q::isGroupTitle(b.text(Q::GroupNumber));
            if (titleA != titleB)
                return titleA;
            return intValue(a.text(Q::GroupNumber)) < intValue(b.text(Q::GroupNumber));
        });
        for (Item& item : members)
            ordered.append(std::move(item));
    }
    for (const QString& type : typeOrder) {
        for (Item& item : byType[type])
            ordered.append(std::move(item));
    }
    return ordered;
}

const QString kImportRefusal = u"无法从Moodle XML导入："_s;
const QString kNothingImported = u"\r\n没有导入任何试题。"_s;

QString countsText(const QList<std::pair<QString, int>>& counts) {
    QStringList parts;
    for (const auto& [name, count] : counts)
        parts << name + u" "_s + QString::number(count);
    return parts.join(u"，"_s);
}

} // namespace

// ---- Export

MoodleExport::MoodleExport(RecordStore& store, Prompter& prompter, const QString& courseName)
    : m_store(store), m_prompter(prompter), m_course(courseName) {}

bool MoodleExport::run(const QString& fileBase, const QList<qint32>& recordIds, const Adjust& adjust) {
    m_path.clear();
    const QSet<qint32> wanted(recordIds.cbegin(), recordIds.cend());
    QList<Item> items;
    if (!m_store.setCurrent(m_course)) {
        m_prompter.message(u"导出Moodle XML失败：无法读取题库（"_s + RecordStore::lastErrorText() + u"）。"_s,
                           {}, Prompter::Icon::Error);
        return false;
    }
    const int count = m_store.recordCount();
    for (int k = 1; k <= count; ++k) {
        if (!m_store.goTo(k)) {
            m_prompter.message(u"导出Moodle XML失败：无法读取题库（"_s + RecordStore::lastErrorText() +
                                   u"）。"_s,
                               {}, Prompter::Icon::Error);
            return false;
        }
        if (m_store.isDeleted())
            continue;
        const qint32 id = m_store.recordId();
        if (!wanted.isEmpty() && !wanted.contains(id))
            continue;
        Item item{id, {}};
        item.values.reserve(Q::kFieldCount);
        for (int f = 1; f <= Q::kFieldCount; ++f)
            item.values.append(m_store.read(f));
        if (adjust)
            adjust(id, item.values);
        items.append(std::move(item));
    }
    if (items.isEmpty()) {
        m_prompter.message(u"没有可导出的试题。"_s);
        return false;
    }

    const QString folder = m_prompter.chooseFolder(u"选择保存文件的文件夹"_s);
    if (folder.isEmpty())
        return false;
    const QString name = fileNameSafe(fileBase) + u".xml"_s;
    const QString path = QDir(folder).absoluteFilePath(name);
    if (QFileInfo::exists(path) &&
        !m_prompter.yesNo(u"目标文件 "_s + name + u" 已经存在，继续导出将覆盖它，继续导出吗？"_s))
        return false;

    // Written beside the target and put in place only when whole: a full disk
    // leaves the last good file as it was.
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    int questions = 0;
    int pictures = 0;
    if (written) {
        MoodleXmlWriter writer(&file, m_course);
        writer.begin();
        for (const Item& item : inExportOrder(std::move(items)))
            writer.write(item.values);
        written = writer.end();
        questions = writer.questionCount();
        pictures = writer.pictureCount();
        if (written)
            written = file.commit();
        else
            file.cancelWriting();
    }
    m_store.setCurrent(m_course);
    if (!written) {
        m_prompter.message(u"导出Moodle XML失败：未能写入 "_s + QDir::toNativeSeparators(path) + u"。"_s, {},
                           Prompter::Icon::Warning);
        return false;
    }
    m_path = path;
    m_prompter.message(u"导出Moodle XML完毕：共"_s + QString::number(questions) + u"道试题、"_s +
                       QString::number(pictures) + u"张图片，已写入 "_s + QDir::toNativeSeparators(path) +
                       u"。"_s);
    return true;
}

// ---- Import

MoodleImport::MoodleImport(Prompter& prompter, CourseTransfer& transfer)
    : m_prompter(prompter), m_transfer(transfer) {}

QString MoodleImport::fileFilter() {
    return u"Moodle XML文件（*.xml）|*.xml"_s;
}

std::optional<QByteArray> MoodleImport::storedPicture(const MoodleXmlReader::Picture& picture) {
    if (picture.bytes.isEmpty() || PictureCodec::exceedsDecoderLimit(picture.bytes))
        return std::nullopt;
    if (PictureCodec::keepsFileAsIs(picture.fileName) || picture.fileName.endsWith(u".bmp"_s)) {
        // Only the header is read: enough to know a picture, and cheap.
        QByteArray copy = picture.bytes;
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        if (!reader.canRead() || !reader.size().isValid())
            return std::nullopt;
        return picture.bytes;
    }
    return PictureCodec::reencodeAsJpeg(picture.bytes);
}

QString MoodleImport::previewText(const MoodleXmlReader::Result& result) {
    QList<std::pair<QString, int>> types;
    for (const auto& q : result.questions) {
        const QString type = q.values.at(Q::Type - 1).toString();
        auto it = std::find_if(types.begin(), types.end(), [&](const auto& t) { return t.first == type; });
        if (it == types.end())
            types.append({type, 1});
        else
            ++it->second;
    }
    QString text = u"该文件可以导入"_s + QString::number(result.questions.size()) + u"道试题"_s;
    if (result.groupCount > 0)
        text += u"（含分组标题"_s + QString::number(result.groupCount) + u"道）"_s;
    text += u"："_s + countsText(types) + u"。"_s;
    if (!result.skipped.isEmpty()) {
        QList<std::pair<QString, int>> skipped;
        for (auto it = result.skipped.cbegin(); it != result.skipped.cend(); ++it)
            skipped.append({it.key(), it.value()});
        text += u"\r\n不支持的题型不导入："_s + countsText(skipped) + u"。"_s;
    }
    if (result.droppedPictures > 0)
        text += u"\r\n每个题文和答案只导入一张图片，另外的"_s + QString::number(result.droppedPictures) +
                u"张图片不导入。"_s;
    return text + u"\r\n确定导入吗？"_s;
}

void MoodleImport::refuse(const QString& reason) {
    m_prompter.message(kImportRefusal + reason + kNothingImported, {}, Prompter::Icon::Warning);
}

void MoodleImport::run() {
    const QString path = m_prompter.openFile(QString(), fileFilter());
    if (path.isEmpty())
        return;
    QFile file(path);
    if (QFileInfo(path).size() > MoodleXmlReader::kMaxFileBytes) {
        refuse(u"文件大于"_s + MoodleXmlReader::maxFileSizeText() + u"。"_s);
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        refuse(u"文件无法打开。"_s);
        return;
    }
    MoodleXmlReader::Result result = MoodleXmlReader::read(file);
    file.close();
    if (!result.error.isEmpty()) {
        refuse(result.error);
        return;
    }
    QList<QVariantList> records;
    records.reserve(result.questions.size());
    for (auto& q : result.questions) {
        for (const auto& [picture, field] : {std::pair{&q.stemPicture, Q::StemPictureData},
                                             std::pair{&q.answerPicture, Q::AnswerPictureData}}) {
            if (picture->isEmpty())
                continue;
            const std::optional<QByteArray> stored = storedPicture(*picture);
            if (!stored) {
                refuse(u"试题“"_s + q.name + u"”的图片 "_s + picture->fileName + u" 不是可以识别的图片。"_s);
                return;
            }
            q.values[field - 1] = *stored;
            // The bytes now live in the record only.
            picture->bytes.clear();
        }
        records.append(q.values);
    }
    if (records.isEmpty()) {
        QString text = u"文件中没有可以导入的试题。"_s;
        if (!result.skipped.isEmpty()) {
            QList<std::pair<QString, int>> skipped;
            for (auto it = result.skipped.cbegin(); it != result.skipped.cend(); ++it)
                skipped.append({it.key(), it.value()});
            text += u"\r\n不支持的题型："_s + countsText(skipped) + u"。"_s;
        }
        m_prompter.message(text);
        return;
    }
    if (!m_prompter.okCancel(previewText(result)))
        return;
    m_transfer.importRecords(records);
}

} // namespace helan
