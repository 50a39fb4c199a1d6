#include "editor/CourseTransfer.h"

#include <cstdio>
#include <optional>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <QVariantList>

#include "base/Gbk.h"
#include "base/Prompter.h"
#include "base/TextRules.h"
#include "base/WriteFaults.h"
#include "editor/BankEditor.h"
#include "model/CourseBank.h"
#include "model/CourseCatalog.h"
#include "model/QuestionRecord.h"
#include "model/QuestionTypeLibrary.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

using Q = QuestionRecord;

const QString kOpenFailure = u"\r\n密码错误或导入题库.edb和.edt的文件名不一致！"_s;
// Added questions are committed in groups of this many: a crash loses at most the
// group being added, and never leaves part of a question behind.
constexpr int kQuestionsPerCommit = 500;
constexpr int kProgressEvery = 50;

// The same folder or file however it is written: symbolic links, "..", a
// trailing separator. A path that does not exist compares as written, cleaned.
QString canonical(const QString& path) {
    const QFileInfo info(path);
    const QString resolved = info.canonicalFilePath();
    return resolved.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : resolved;
}

bool isSubQuestion(const QVariantList& values) {
    return !values.at(Q::GroupName - 1).toString().isEmpty() &&
           !Q::isGroupTitle(values.at(Q::GroupNumber - 1).toString());
}

// A course bank has exactly the sixteen fields of a question record.
bool looksLikeCourseBank(const QList<FieldDef>& fields) {
    const QList<FieldDef> expected = Q::fieldDefs();
    if (fields.size() != expected.size())
        return false;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (fields.at(i).name != expected.at(i).name || fields.at(i).type != expected.at(i).type)
            return false;
    }
    return true;
}

} // namespace

CourseTransfer::CourseTransfer(BankEditor& editor, RecordStore& store, Prompter& prompter,
                               GroupNameAsker askGroupName)
    : m_editor(editor), m_store(store), m_prompter(prompter), m_askGroupName(std::move(askGroupName)) {}

QString CourseTransfer::importFilter() {
    return u"数据库文件（*.edb）|*.edb"_s;
}

// An administrator's name may hold characters no file name can carry ("/").
QString CourseTransfer::exportBaseName() {
    CourseCatalog catalog(m_store, m_prompter);
    return fileNameSafe(m_editor.courseName() + u"备份-"_s + catalog.administratorName());
}

// ---- Export

void CourseTransfer::exportCourse() {
    const QString chosen = m_prompter.chooseFolder(u"选择保存文件的文件夹"_s);
    if (chosen.isEmpty())
        return;
    if (canonical(chosen) == canonical(QDir::currentPath())) {
        m_prompter.message(u"不能复制到源文件夹！请双击选择别的文件夹。"_s);
        return;
    }
    const QDir folder(chosen);
    const QString target = exportBaseName();
    const QString bankFile = QDir::current().absoluteFilePath(CourseBank::fileName(m_editor.courseName()));
    if (QFileInfo::exists(bankFile)) {
        const QString targetFile = folder.absoluteFilePath(target + u".edb"_s);
        if (QFileInfo::exists(targetFile) &&
            !m_prompter.yesNo(u"目标文件 "_s + target + u".edb 已经存在，继续复制将覆盖它，继续复制吗？"_s))
            return;
        QString failed;
        const bool lost = copyOver({{bankFile, targetFile},
                                        {RecordStore::memoFileName(bankFile), RecordStore::memoFileName(targetFile)}},
                                       &failed);
        m_store.setCurrent(m_editor.courseName());
        if (!failed.isEmpty()) {
            m_prompter.message(u"导出课程失败：未能写入 "_s + failed +
                                   (lost ? u"。"_s : u"。原有的备份没有改变。"_s),
                               {}, Prompter::Icon::Warning);
            return;
        }
    }
    m_store.setCurrent(m_editor.courseName());
    m_prompter.message(u"导出课程完毕。"_s);
}

// Each file is copied under a temporary name beside its target and put in place
// only when every copy is whole, so that a full or pulled stick keeps the last
// good backup. A target whose source is missing goes, so the pair stays a pair.
// Returns whether the old backup was lost (it could not be put back); failed
// names what could not be written.
bool CourseTransfer::copyOver(const QList<std::pair<QString, QString>>& files, QString* failed) {
    QList<std::pair<QString, QString>> staged;
    const auto discard = [&] {
        for (const auto& [temp, to] : staged)
            QFile::remove(temp);
    };
    for (const auto& [from, to] : files) {
        if (!QFileInfo::exists(from))
            continue;
        const QString temp = to + u".导出中"_s;
        QFile::remove(temp);
        staged.append({temp, to});
        if (WriteFaults::fail(WriteFaults::Kind::FileCopy) || !QFile::copy(from, temp) ||
            QFileInfo(temp).size() != QFileInfo(from).size()) {
            *failed = to;
            discard();
            return false;
        }
    }
    // The old pair steps aside first and comes back should a new file fail to
    // go in, so that the stick always holds one export's pair, never a mix.
    QList<std::pair<QString, QString>> aside;
    QStringList placed;
    const auto undo = [&] {
        for (const QString& to : placed)
            QFile::remove(to);
        bool restored = true;
        for (const auto& [to, old] : aside)
            restored = replaceFile(old, to) && restored;
        discard();
        return !restored;
    };
    for (const auto& [temp, to] : staged) {
        if (!QFileInfo::exists(to))
            continue;
        const QString old = to + u".原备份"_s;
        QFile::remove(old);
        if (!replaceFile(to, old)) {
            *failed = to;
            return undo();
        }
        aside.append({to, old});
    }
    for (const auto& [temp, to] : staged) {
        if (!replaceFile(temp, to)) {
            *failed = to;
            return undo();
        }
        placed << to;
    }
    for (const auto& [to, old] : aside)
        QFile::remove(old);
    for (const auto& [from, to] : files) {
        if (!QFileInfo::exists(from))
            QFile::remove(to);
    }
    return false;
}

// Over the old file in one step where the system can (rename replaces a file).
bool CourseTransfer::replaceFile(const QString& from, const QString& to) {
    if (WriteFaults::fail(WriteFaults::Kind::Rename))
        return false;
#ifdef Q_OS_UNIX
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#else
    QFile::remove(to);
    return QFile::rename(from, to);
#endif
}

// ---- Import

void CourseTransfer::importCourse() {
    const QString path = m_prompter.openFile(QString(), importFilter());
    if (path.isEmpty())
        return;
    const QString ownFile = QDir::current().absoluteFilePath(CourseBank::fileName(m_editor.courseName()));
    if (canonical(path) == canonical(ownFile)) {
        m_prompter.message(u"题库不能自我导入！"_s);
        return;
    }
    // The source is only ever read from a copy, so nothing can write to it.
    QTemporaryDir privateFolder;
    if (!privateFolder.isValid()) {
        m_prompter.message(u"无法建立临时文件夹"_s + kOpenFailure, {}, Prompter::Icon::Error);
        return;
    }
    const QString alias = openSource(path, privateFolder.path());
    if (alias.isEmpty())
        return;
    runImport(alias);
    m_store.close(alias);
}

QString CourseTransfer::openSource(const QString& path, const QString& privateFolder) {
    QString password;
    if (m_store.isProtected(path))
        password = m_prompter.input(path, u"请输入欲导入数据库的密码："_s, {}, true).value_or(QString());

    const QString name = QFileInfo(path).completeBaseName();
    QString alias = name;
    while (alias == m_editor.courseName() || m_store.isOpen(alias))
        alias += u"temp"_s;

    const QString copy = QDir(privateFolder).absoluteFilePath(name + u".edb"_s);
    QFile::copy(path, copy);
    const QString memo = RecordStore::memoFileName(path);
    if (QFileInfo::exists(memo))
        QFile::copy(memo, RecordStore::memoFileName(copy));
    QString failure;
    if (!m_store.open(copy, alias, password, true)) {
        failure = RecordStore::lastErrorText();
    } else if (!looksLikeCourseBank(m_store.fields())) {
        m_store.close(alias);
        failure = u"所选文件不是课程题库"_s;
    }
    m_store.setCurrent(m_editor.courseName());
    if (!failure.isNull()) {
        m_prompter.message(failure + kOpenFailure, {}, Prompter::Icon::Error);
        return {};
    }
    return alias;
}

void CourseTransfer::importRecords(const QList<QVariantList>& records) {
    runImport(int(records.size()), [&records](int i) { return records.at(i - 1); }, RecordOptions());
}

void CourseTransfer::importRecords(const QList<QVariantList>& records, const RecordOptions& options) {
    runImport(int(records.size()), [&records](int i) { return records.at(i - 1); }, options);
}

QString CourseTransfer::freshGroupName(const QString& base, const std::function<bool(const QString&)>& taken) {
    const QString whole = cutToGbkBytes(base, Q::kGroupNameWidth);
    if (!whole.isEmpty() && !taken(whole))
        return whole;
    for (int k = 2;; ++k) {
        const QString suffix = u"-"_s + QString::number(k);
        const QString name = cutToGbkBytes(base, Q::kGroupNameWidth - gbkLength(suffix)) + suffix;
        if (!taken(name))
            return name;
    }
}

void CourseTransfer::runImport(const QString& alias) {
    m_store.setCurrent(alias);
    const int n = m_store.recordCount();
    const auto readSource = [this, &alias](int i) {
        QVariantList values;
        m_store.setCurrent(alias);
        if (!m_store.goTo(i))
            return values;
        values.reserve(Q::kFieldCount);
        for (int f = 1; f <= Q::kFieldCount; ++f)
            values.append(m_store.read(f));
        return values;
    };
    runImport(n, readSource, RecordOptions());
}

void CourseTransfer::runImport(int n, const std::function<QVariantList(int)>& readSource,
                               const RecordOptions& options) {
    const QString course = m_editor.courseName();
    GridModel& grid = m_editor.grid();
    m_editor.setBusy(true);
    m_importedCount = 0;
    m_duplicateCount = 0;
    m_incompleteCount = 0;
    int addedQuestions = 0;
    const auto isIncomplete = [&](int i) {
        return options.incomplete && i >= 1 && i <= options.incomplete->size() && options.incomplete->at(i - 1);
    };

    // Group names in use, counted so that the conflict test costs the same for
    // the first record as for the last.
    QHash<QString, int> groupNames;
    for (int r = 1; r < grid.rowCount(); ++r)
        ++groupNames[grid.text(r, BankEditor::GroupNameColumn)];

    // Pictures tell questions apart too: two picture questions may share a short
    // stem and answer ("如图所示，下列说法正确的是" / "B").
    const auto shown = [](const QVariantList& v, int mark, int bytes) {
        return v.at(mark - 1).toString() == Q::pictureMark() ? v.at(bytes - 1).toByteArray() : QByteArray();
    };
    const auto isDuplicate = [&](const QVariantList& v) {
        return m_editor.holdsQuestion(v.at(Q::StemText1 - 1).toString() + v.at(Q::StemText2 - 1).toString(),
                                      v.at(Q::Answer - 1).toString(),
                                      shown(v, Q::StemPicture, Q::StemPictureData),
                                      shown(v, Q::AnswerPicture, Q::AnswerPictureData));
    };

    // Rows and counts of the batch under way count only once it is committed: a
    // batch that does not commit leaves no row behind whose record is missing
    // (the store would hand its ID out again).
    // A group comes in whole or not at all: it starts a batch of its own, and a
    // batch is never cut inside a group, so a write that fails within a group
    // takes the group's batch back.
    std::optional<RecordStore::Batch> batch;
    int inBatch = 0;
    int batchQuestions = 0;
    int batchIncomplete = 0;
    bool groupBatch = false;
    QString failure;
    const auto commitBatch = [&] {
        if (!batch)
            return;
        m_store.setCurrent(course);
        const bool committed = batch->commit();
        batch.reset();
        if (committed) {
            m_importedCount += inBatch;
            addedQuestions += batchQuestions;
            m_incompleteCount += batchIncomplete;
        } else {
            if (failure.isEmpty())
                failure = RecordStore::lastErrorText();
            m_editor.dropLastRows(inBatch);
        }
        inBatch = 0;
        batchQuestions = 0;
        batchIncomplete = 0;
    };
    const auto dropBatch = [&] {
        m_store.setCurrent(course);
        batch.reset();
        m_editor.dropLastRows(inBatch);
        inBatch = 0;
        batchQuestions = 0;
        batchIncomplete = 0;
    };
    const auto add = [&](const QVariantList& values, int index) {
        const bool sub = isSubQuestion(values);
        const bool title = !values.at(Q::GroupName - 1).toString().isEmpty() && !sub;
        if (batch && !sub && (title || groupBatch || inBatch >= kQuestionsPerCommit))
            commitBatch();
        if (!failure.isEmpty())
            return;
        m_store.setCurrent(course);
        if (!batch) {
            batch.emplace(m_store, course);
            groupBatch = title;
        }
        if (!m_store.append(values)) {
            failure = RecordStore::lastErrorText();
            if (groupBatch)
                dropBatch();
            return;
        }
        m_editor.appendRowFromCurrentRecord();
        ++groupNames[values.at(Q::GroupName - 1).toString()];
        ++inBatch;
        if (!sub)
            ++batchQuestions;
        if (isIncomplete(index))
            ++batchIncomplete;
    };

    int i = 1;
    while (i <= n && failure.isEmpty()) {
        m_editor.setStatusText(u"正在导入处理： "_s + QString::number(i) + u"/"_s + QString::number(n));
        if (m_progressHook && i % kProgressEvery == 1)
            m_progressHook();
        QVariantList values = readSource(i);
        if (values.isEmpty()) {
            ++i;
            continue;
        }
        if (isDuplicate(values)) {
            ++m_duplicateCount;
            ++i;
            continue;
        }
        const QString groupName = values.at(Q::GroupName - 1).toString();
        if (!Q::isGroupTitle(values.at(Q::GroupNumber - 1).toString()) || !groupNames.contains(groupName)) {
            add(values, i);
            ++i;
            continue;
        }
        // A title whose group name the bank uses: skip the group or rename it.
        QString chosen;
        if (options.freshGroupNames)
            chosen = freshGroupName(groupName, [&](const QString& name) { return groupNames.contains(name); });
        else if (m_prompter.okCancel(u"分组名重复！按确定更改源分组名并导入，按取消跳过"_s) && m_askGroupName)
            chosen = m_askGroupName();
        int end = i + 1;
        while (end <= n) {
            const QVariantList next = readSource(end);
            if (next.isEmpty() || next.at(Q::GroupName - 1).toString() != groupName)
                break;
            ++end;
        }
        if (chosen.isEmpty()) {
            ++m_duplicateCount;
            i = end;
            continue;
        }
        for (; i < end; ++i) {
            if (values.isEmpty())
                values = readSource(i);
            if (isDuplicate(values)) {
                ++m_duplicateCount;
            } else {
                values[Q::GroupName - 1] = chosen;
                add(values, i);
            }
            values.clear();
        }
    }
    // What was appended before a failed write is kept (whole questions only).
    if (batch && groupBatch && !failure.isEmpty())
        dropBatch();
    commitBatch();

    m_store.setCurrent(course);
    m_editor.applyGroupOrder();
    // Sub-questions that joined a group of the bank count in its title's score.
    if (!m_editor.recomputeTitleScores() && failure.isEmpty())
        failure = RecordStore::lastErrorText();
    if (!writeBackGrid() && failure.isEmpty())
        failure = RecordStore::lastErrorText();
    m_editor.addToQuestionCount(addedQuestions);
    if (m_importedCount >= 1)
        addMissingTypes();

    m_store.setCurrent(course);
    m_editor.updateEditorCaption();
    m_editor.setBusy(false);
    if (m_editor.questionCount() >= 1)
        m_editor.setExportEnabled(true);
    if (!failure.isEmpty()) {
        // Whatever did not reach the bank (a title's score, a rewritten row) goes
        // from the grid too: it is read again from the bank.
        m_editor.loadEditorGrid();
        const QString said = u"导入未完成：题库写入失败（"_s + failure + u"），实际导入"_s +
                             QString::number(m_importedCount) + u"条记录。"_s;
        m_editor.setStatusText(said);
        m_prompter.message(said, {}, Prompter::Icon::Error);
        return;
    }
    m_editor.setStatusText(u"成功导入"_s + QString::number(m_importedCount) + u"条记录。"_s);
    if (options.incomplete)
        m_prompter.message(u"成功导入"_s + QString::number(m_importedCount) + u"条记录，"_s +
                           QString::number(m_duplicateCount) + u"条重复，"_s + QString::number(m_incompleteCount) +
                           u"条不完整。"_s);
    else if (m_duplicateCount == 0)
        m_prompter.message(u"成功导入"_s + QString::number(m_importedCount) + u"条记录。"_s);
    else
        m_prompter.message(QString::number(m_duplicateCount) + u"条记录重复，实际导入"_s +
                           QString::number(m_importedCount) + u"条记录。"_s);
}

// The grid is written back to the bank as one change: all of it or none. A record
// that already holds its row's values is left alone, which saves rewriting the
// whole bank after a small import.
bool CourseTransfer::writeBackGrid() {
    const GridModel& grid = m_editor.grid();
    if (!m_store.setCurrent(m_editor.courseName()))
        return false;
    RecordStore::Batch batch(m_store, m_editor.courseName());
    for (int r = 1; r < grid.rowCount(); ++r) {
        if (!m_store.goToRecordId(qint32(grid.text(r, BankEditor::RecordIdColumn).toInt())))
            continue;
        QVariantList values;
        values.reserve(Q::kFieldCount);
        for (int c = BankEditor::KnowledgeColumn; c <= BankEditor::TypeColumn; ++c)
            values.append(grid.text(r, c));
        values.append(int(grid.numberValue(r, BankEditor::DifficultyColumn)));
        values.append(int(grid.numberValue(r, BankEditor::ScoreColumn)));
        for (const int c :
             {BankEditor::ChoiceColumn, BankEditor::FixedScoreColumn, BankEditor::BlockedColumn})
            values.append(grid.checked(r, c));
        bool same = true;
        for (int f = 1; f <= BankEditor::BlockedColumn + 1 && same; ++f)
            same = m_store.read(f) == values.at(f - 1);
        if (same)
            continue;
        values.append(QVariant());
        values.append(QVariant());
        if (!m_store.modify(values))
            return false;
    }
    return batch.commit();
}

void CourseTransfer::addMissingTypes() {
    QuestionTypeLibrary library(m_store, m_prompter);
    if (library.openTypeLibrary() != OpenOutcome::Ready || m_store.recordCount() == 0)
        return;
    QSet<QString> known;
    for (int k = 1; k <= m_store.recordCount(); ++k) {
        m_store.goTo(k);
        known.insert(m_store.readText(QuestionTypeLibrary::TypeName));
    }
    const GridModel& grid = m_editor.grid();
    for (int r = 1; r < grid.rowCount(); ++r) {
        const QString number = grid.text(r, BankEditor::GroupNumberColumn);
        const QString type = grid.text(r, BankEditor::TypeColumn);
        // A question without a type is left for the row checks; no nameless type.
        if ((!number.isEmpty() && !Q::isGroupTitle(number)) || type.isEmpty() || known.contains(type))
            continue;
        m_store.setCurrent(QuestionTypeLibrary::tableName());
        if (!m_store.append({type, 0, QString(), false}))
            continue;
        known.insert(type);
        m_editor.addTypeName(type);
    }
}

} // namespace helan
