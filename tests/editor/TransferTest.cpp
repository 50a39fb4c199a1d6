// 导出 and 导入 of the bank editor, with an export → import round trip between
// two data folders.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

#include "EditorFakes.h"
#include "EditorFixture.h"
#include "SyntheticBank.h"
#include "base/WriteFaults.h"
#include "editor/CourseTransfer.h"
#include "model/CourseBank.h"
#include "model/CourseCatalog.h"
#include "model/QuestionRecord.h"
#include "model/QuestionTypeLibrary.h"

using namespace Qt::StringLiterals;

namespace helan::test {
namespace {

using Q = QuestionRecord;
const QString kExportName = u"语文备份-林老师"_s;
const QString kOpenFailure = u"\r\n密码错误或导入题库.edb和.edt的文件名不一致！"_s;
const QString kGroupConflict = u"分组名重复！按确定更改源分组名并导入，按取消跳过"_s;

Question plain(const QString& stem, const QString& answer) {
    return with([&](Question& q) {
        q.stem1 = stem;
        q.answer = answer;
    });
}

Question member(const QString& group, const QString& number, const QString& stem) {
    return with([&](Question& q) {
        q.stem1 = stem;
        q.answer = number == u"0"_s ? QString() : u"答"_s;
        q.groupName = group;
        q.groupNumber = number;
    });
}

Question pictured(const QString& stem, const QString& answer) {
    Question q = plain(stem, answer);
    q.stemPicture = true;
    return q;
}

QVariantList valuesOf(const Question& q) {
    const QString mark = Q::pictureMark();
    return {q.knowledge,
            q.groupName,
            q.groupNumber,
            q.stem1,
            q.stemPicture ? mark : QString(),
            q.stem2,
            q.answer,
            q.answerPicture ? mark : QString(),
            q.type,
            q.difficulty,
            q.score,
            q.choice,
            q.fixedScore,
            q.blocked,
            q.stemPicture ? QByteArray("source-stem") : QByteArray(),
            q.answerPicture ? QByteArray("source-answer") : QByteArray()};
}

QByteArray fileHash(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

class TransferTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        CourseCatalog catalog(m_store, m_prompter);
        ASSERT_TRUE(catalog.appendAdministrator(u"林老师"_s, u"pw"_s));
        ASSERT_TRUE(m_store.append({course(), QString(), QString()}));
        ASSERT_TRUE(m_outside.isValid());
    }

    void open() {
        openEditor();
        m_transfer = std::make_unique<CourseTransfer>(editor(), m_store, m_prompter, [this] {
            ++m_groupNameAsked;
            return m_groupName;
        });
    }

    // A course-bank table outside the program's folder holding these questions.
    QString source(const QList<Question>& questions, const QString& name = u"来源"_s,
                   const QString& password = {}) {
        const QString path = QDir(m_outside.path()).filePath(name + u".edb"_s);
        EXPECT_TRUE(m_store.create(path, Q::fieldDefs()));
        EXPECT_TRUE(m_store.open(path, u"建源"_s));
        for (const Question& q : questions)
            EXPECT_TRUE(m_store.append(valuesOf(q)));
        if (!password.isEmpty()) {
            EXPECT_TRUE(m_store.setPassword(password));
        }
        EXPECT_TRUE(m_store.close(u"建源"_s));
        return path;
    }

    // Chooses the file, then answers what the import asks after it.
    void import(const QString& path, const std::function<void()>& scriptAfterFile = {}) {
        m_prompter.answerOpenFile(path);
        if (scriptAfterFile)
            scriptAfterFile();
        m_transfer->importCourse();
    }

    QStringList bankStems() {
        EXPECT_TRUE(m_store.setCurrent(course()));
        QStringList stems;
        for (int k = 1; k <= m_store.recordCount(); ++k) {
            m_store.goTo(k);
            stems << m_store.readText(Q::GroupName) + u":"_s + m_store.readText(Q::StemText1);
        }
        return stems;
    }

    QTemporaryDir m_outside;
    std::unique_ptr<CourseTransfer> m_transfer;
    QString m_groupName;
    int m_groupNameAsked = 0;
};

// ---- Export

TEST_F(TransferTest, ExportCopiesBothFilesUnderTheBackupName) {
    addRecord(plain(u"甲"_s, u"对"_s));
    open();
    m_prompter.answerChooseFolder(m_outside.path());
    m_transfer->exportCourse();
    EXPECT_EQ(m_prompter.messages(), QStringList{u"导出课程完毕。"_s});
    const QDir out(m_outside.path());
    EXPECT_EQ(fileHash(out.filePath(kExportName + u".edb"_s)), fileHash(m_folder.file(u"语文.edb"_s)));
    EXPECT_EQ(fileHash(out.filePath(kExportName + u".edt"_s)), fileHash(m_folder.file(u"语文.edt"_s)));
    EXPECT_EQ(m_store.currentAlias(), course());

    // A second export asks before it overwrites.
    m_prompter.clear();
    m_prompter.answerChooseFolder(m_outside.path());
    m_prompter.answerYesNo(true,
                           u"目标文件 "_s + kExportName + u".edb 已经存在，继续复制将覆盖它，继续复制吗？"_s);
    m_transfer->exportCourse();
    EXPECT_EQ(m_prompter.messages(), QStringList{u"导出课程完毕。"_s});
}

TEST_F(TransferTest, ExportRefusals) {
    open();
    const QString target = QDir(m_outside.path()).filePath(kExportName + u".edb"_s);
    {
        QFile existing(target);
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write("old");
    }
    struct Case {
        const char* name;
        QString folder;
        std::optional<bool> overwrite;
        QStringList messages;
    };
    const QString refusal = u"不能复制到源文件夹！请双击选择别的文件夹。"_s;
    const Case cases[] = {
        {"no folder chosen", QString(), std::nullopt, {}},
        {"the program's folder", m_folder.path(), std::nullopt, {refusal}},
        {"the program's folder with a separator", m_folder.path() + u"/"_s, std::nullopt, {refusal}},
        {"the program's folder through a detour",
         m_outside.path() + u"/../"_s + QDir(m_folder.path()).dirName(),
         std::nullopt,
         {refusal}},
        {"an existing target kept", m_outside.path(), false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_prompter.clear();
        m_prompter.answerChooseFolder(c.folder);
        if (c.overwrite) {
            m_prompter.answerYesNo(*c.overwrite);
        }
        m_transfer->exportCourse();
        EXPECT_TRUE(m_prompter.done());
        QFile existing(target);
        ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
        EXPECT_EQ(existing.readAll(), QByteArray("old"));
        EXPECT_EQ(m_prompter.messages(), c.messages);
    }
}

// ---- Import

TEST_F(TransferTest, ImportOfTheBanksOwnExportAddsNothing) {
    addRecord(plain(u"甲"_s, u"对"_s));
    addRecord(member(u"阅读一"_s, u"0"_s, u"短文"_s));
    addRecord(member(u"阅读一"_s, u"1"_s, u"第一问"_s));
    addRecord(member(u"阅读一"_s, u"2"_s, u"第二问"_s));
    open();
    m_prompter.answerChooseFolder(m_outside.path());
    m_transfer->exportCourse();
    m_prompter.clear();
    const QStringList before = bankStems();

    import(QDir(m_outside.path()).filePath(kExportName + u".edb"_s));
    EXPECT_EQ(m_prompter.messages(), QStringList{u"4条记录重复，实际导入0条记录。"_s});
    EXPECT_EQ(bankStems(), before);
    EXPECT_EQ(grid().rowCount(), 5);
    EXPECT_EQ(editor().statusText(), u"成功导入0条记录。"_s);
    EXPECT_FALSE(editor().busy());
}

TEST_F(TransferTest, ImportOfTheCoursesOwnFileIsRefused) {
    open();
    import(m_folder.path() + u"/./"_s + CourseBank::fileName(course()));
    EXPECT_EQ(m_prompter.messages(), QStringList{u"题库不能自我导入！"_s});
}

TEST_F(TransferTest, DuplicateTestAnswers) {
    struct Case {
        const char* name;
        QList<Question> bank;
        QList<Question> source;
        QString message;
        QStringList stems;
    };
    const Case cases[] = {
        {"into an empty bank", {}, {plain(u"甲"_s, u"对"_s)}, u"成功导入1条记录。"_s, {u":甲"_s}},
        {"two identical source questions",
         {},
         {plain(u"甲"_s, u"对"_s), plain(u"甲"_s, u"对"_s)},
         u"1条记录重复，实际导入1条记录。"_s,
         {u":甲"_s}},
        {"equal stems, different answers",
         {plain(u"甲"_s, u"对"_s)},
         {plain(u"甲"_s, u"错"_s), plain(u"甲"_s, u"不一定"_s)},
         u"成功导入2条记录。"_s,
         {u":甲"_s, u":甲"_s, u":甲"_s}},
        {"stems joined before comparing",
         {with([](Question& q) {
             q.stem1 = u"甲乙"_s;
             q.answer = u"对"_s;
         })},
         {with([](Question& q) {
             q.stem1 = u"甲"_s;
             q.stem2 = u"乙"_s;
             q.answer = u"对"_s;
         })},
         u"1条记录重复，实际导入0条记录。"_s,
         {u":甲乙"_s}},
        {"case counts",
         {plain(u"abc"_s, u"对"_s)},
         {plain(u"ABC"_s, u"对"_s)},
         u"成功导入1条记录。"_s,
         {u":abc"_s, u":ABC"_s}},
        // Picture questions often share a short stem and answer.
        {"pictures tell questions apart",
         {pictured(u"如图所示，下列说法正确的是"_s, u"B"_s)},
         {pictured(u"如图所示，下列说法正确的是"_s, u"B"_s), pictured(u"如图所示，下列说法正确的是"_s, u"B"_s)},
         u"1条记录重复，实际导入1条记录。"_s,
         {u":如图所示，下列说法正确的是"_s, u":如图所示，下列说法正确的是"_s}},
        {"a picture against none",
         {plain(u"甲"_s, u"B"_s)},
         {pictured(u"甲"_s, u"B"_s)},
         u"成功导入1条记录。"_s,
         {u":甲"_s, u":甲"_s}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        m_store.closeAll();
        QFile::remove(m_folder.file(u"语文.edb"_s));
        QFile::remove(m_folder.file(u"语文.edt"_s));
        CourseBank bank(m_store, m_prompter);
        ASSERT_TRUE(bank.createCourseBank(course()));
        ASSERT_TRUE(m_store.open(CourseBank::fileName(course()), course()));
        for (const Question& q : c.bank)
            addRecord(q);
        open();
        m_prompter.clear();
        const QString path = source(c.source, QString::fromLatin1(c.name).replace(u' ', u'_'));
        import(path);
        EXPECT_EQ(m_prompter.messages(), QStringList{c.message});
        EXPECT_EQ(bankStems(), c.stems);
        expectBankMatchesGrid();
    }
}

// A sub-question that comes in for a group of the bank counts in its title's score.
TEST_F(TransferTest, ImportedSubQuestionsCountInTheirTitlesScore) {
    Question title = member(u"阅读"_s, u"0"_s, u"材料"_s);
    title.score = 3;
    const qint32 titleId = addRecord(title);
    Question sub = member(u"阅读"_s, u"1"_s, u"一"_s);
    sub.score = 3;
    addRecord(sub);
    open();
    Question coming = member(u"阅读"_s, u"2"_s, u"二"_s);
    coming.score = 4;
    import(source({coming}), [this] { m_prompter.expectMessage(u"成功导入1条记录。"_s); });
    EXPECT_EQ(field(titleId, Q::Score).toInt(), 7);
    EXPECT_EQ(grid().text(rowOf(titleId), BankEditor::ScoreColumn), u"7"_s);
    expectBankMatchesGrid();
}

TEST_F(TransferTest, ConflictingGroupIsSkippedOrRenamed) {
    addRecord(member(u"阅读"_s, u"0"_s, u"原有短文"_s));
    addRecord(member(u"阅读"_s, u"1"_s, u"原有问题"_s));
    open();
    const QString path = source({member(u"阅读"_s, u"0"_s, u"新短文"_s), member(u"阅读"_s, u"1"_s, u"新一"_s),
                                 member(u"阅读"_s, u"2"_s, u"新二"_s), plain(u"独立"_s, u"对"_s)});
    const QStringList before = bankStems();

    // 取消 at the question skips the title and its members as one duplicate.
    import(path, [&] { m_prompter.answerOkCancel(false, kGroupConflict);
});
EXPECT_EQ(m_prompter.messages(), QStringList{u"1条记录重复，实际导入1条记录。"_s});
EXPECT_EQ(bankStems(), before + QStringList{u":独立"_s});
EXPECT_EQ(m_groupNameAsked, 0);

// 确定, then 取消 in the name dialog: skipped as well.
m_prompter.clear();
    import(path, [&] { m_prompter.answerOkCancel(true, kGroupConflict);
    } // namespace
);
EXPECT_EQ(m_prompter.messages(), QStringList{u"2条记录重复，实际导入0条记录。"_s});
EXPECT_EQ(m_groupNameAsked, 1);

// 确定 with a new name: the group comes in under it.
m_prompter.clear();
m_groupName = u"阅读二"_s;
    import(path, [&] { m_prompter.answerOkCancel(true, kGroupConflict);
    } // namespace helan::test
);
EXPECT_EQ(m_prompter.messages(), QStringList{u"1条记录重复，实际导入3条记录。"_s});
EXPECT_EQ(bankStems(),
          before + QStringList({u":独立"_s, u"阅读二:新短文"_s, u"阅读二:新一"_s, u"阅读二:新二"_s}));
// Group order: the renamed title directly followed by its members.
for (int r = 1; r < grid().rowCount(); ++r) {
    if (text(r, BankEditor::StemText1Column) == u"新短文"_s) {
        EXPECT_EQ(text(r + 1, BankEditor::StemText1Column), u"新一"_s);
        EXPECT_EQ(text(r + 2, BankEditor::StemText1Column), u"新二"_s);
    }
}
EXPECT_TRUE(m_prompter.done());
expectBankMatchesGrid();
}

TEST_F(TransferTest, SourcesThatAreNotCourseBanksAreRefusedBeforeAnythingIsAdded) {
    addRecord(plain(u"甲"_s, u"对"_s));
    open();
    // Another kind of table.
    const QString catalogue = QDir(m_outside.path()).filePath(u"课程列表.edb"_s);
    ASSERT_TRUE(m_store.create(catalogue, CourseCatalog::fieldDefs()));
    // A damaged file.
    const QString damaged = QDir(m_outside.path()).filePath(u"坏.edb"_s);
    {
        QFile file(damaged);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    }
    // A bank whose .edt is missing.
    const QString lonely = source({plain(u"乙"_s, u"对"_s)}, u"孤"_s);
    ASSERT_TRUE(QFile::remove(RecordStore::memoFileName(lonely)));

    // A bank whose header carries the write-ahead-log flag.
    const QString logged = source({plain(u"丙"_s, u"对"_s)}, u"日志"_s);
    {
        QFile file(logged);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.seek(18));
        file.write("\x02\x02", 2);
    }

    const std::pair<QString, QString> cases[] = {
        {logged, QString()},
        {catalogue, u"所选文件不是课程题库"_s},
        {damaged, QString()},
        {lonely, QString()},
    };
    for (const auto& [path, description] : cases) {
        SCOPED_TRACE(path.toStdString());
        m_prompter.clear();
        const QByteArray hash = fileHash(path);
        import(path);
        ASSERT_EQ(m_prompter.messages().size(), 1);
        EXPECT_TRUE(m_prompter.messages().first().endsWith(kOpenFailure));
        if (!description.isEmpty()) {
            EXPECT_EQ(m_prompter.messages().first(), description + kOpenFailure);
        }
        EXPECT_EQ(bankStems(), QStringList{u":甲"_s});
        EXPECT_EQ(grid().rowCount(), 2);
        EXPECT_EQ(fileHash(path), hash);
        EXPECT_FALSE(editor().busy());
    }
}

TEST_F(TransferTest, ProtectedSourceAsksForItsPasswordAndIsNeverWritten) {
    open();
    const QString path = source({plain(u"甲"_s, u"对"_s)}, u"加密"_s, u"secret"_s);
    const QByteArray edb = fileHash(path);
    const QByteArray edt = fileHash(RecordStore::memoFileName(path));

    import(path, [&] { m_prompter.answerInput(u"wrong"_s, path);
});
ASSERT_EQ(m_prompter.messages().size(), 1);
EXPECT_TRUE(m_prompter.messages().first().endsWith(kOpenFailure));
EXPECT_EQ(m_prompter.prompts().at(1).title, u"请输入欲导入数据库的密码："_s);

m_prompter.clear();
    import(path, [&] { m_prompter.answerInput(u"secret"_s, path);
    });
    EXPECT_EQ(m_prompter.messages(), QStringList{u"成功导入1条记录。"_s});
    EXPECT_EQ(fileHash(path), edb);
    EXPECT_EQ(fileHash(RecordStore::memoFileName(path)), edt);
    }

    TEST_F(TransferTest, SourceNamedLikeTheCourseOpensUnderAnotherAlias) {
        open();
        import(source({plain(u"甲"_s, u"对"_s)}, course()));
        EXPECT_EQ(m_prompter.messages(), QStringList{u"成功导入1条记录。"_s});
        EXPECT_EQ(m_store.currentAlias(), course());
        EXPECT_EQ(bankStems(), QStringList{u":甲"_s});
    }

    TEST_F(TransferTest, ImportUpdatesCountsStatusTypesAndCaption) {
        open();
        editor().setExportEnabled(false);
        QStringList statuses;
        QObject::connect(&editor(), &BankEditor::statusTextChanged, [&](const QString& s) { statuses << s; });
        QList<bool> busy;
        QObject::connect(&editor(), &BankEditor::busyChanged, [&](bool b) { busy << b; });
        Question computed = plain(u"一加一"_s, u"二"_s);
        computed.type = u"计算"_s;
        Question sub = member(u"组"_s, u"1"_s, u"子题"_s);
        sub.type = u"口算"_s; // a member's type is its title's business
        import(source({computed, member(u"组"_s, u"0"_s, u"组题"_s), sub}));
        EXPECT_EQ(statuses.first(), u"正在导入处理： 1/3"_s);
        EXPECT_EQ(statuses.last(), u"成功导入3条记录。"_s);
        EXPECT_EQ(busy, QList<bool>({true, false}));
        EXPECT_EQ(editor().questionCount(), 2);
        EXPECT_TRUE(editor().caption().contains(u"（共 2 题）"_s));
        EXPECT_TRUE(editor().exportEnabled());
        EXPECT_TRUE(editor().typeNames().contains(u"计算"_s));
        EXPECT_FALSE(editor().typeNames().contains(u"口算"_s));
        QuestionTypeLibrary library(m_store, m_prompter);
        EXPECT_TRUE(library.typeNames().contains(u"计算"_s));
        EXPECT_TRUE(grid().listItems(BankEditor::TypeColumn).contains(u"计算"_s));
    }

    // ---- Round trip

    TEST_F(TransferTest, ExportThenImportIntoAnotherDataFolderKeepsEveryFieldAndPicture) {
        QTemporaryDir other;
        SyntheticBank::Options options;
        options.questionCount = 120;
        options.seed = 7;
        options.password = u"tuiyan"_s;
        options.courseName = u"物理"_s;
        QString error;
        ASSERT_TRUE(SyntheticBank::write(other.path(), options, &error)) << error.toStdString();

        // Export in the other data folder.
        QDir::setCurrent(other.path());
        QString exported;
        {
            RecordStore store;
            ScriptedPrompter prompter;
            ASSERT_TRUE(
                store.open(CourseBank::fileName(options.courseName), options.courseName, options.password));
            BankEditor otherEditor(store, prompter, options.courseName, {});
            otherEditor.open(1000);
            CourseTransfer transfer(otherEditor, store, prompter, {});
            exported = QDir(m_outside.path()).filePath(transfer.exportBaseName() + u".edb"_s);
            prompter.answerChooseFolder(m_outside.path());
            transfer.exportCourse();
            EXPECT_EQ(prompter.messages(), QStringList{u"导出课程完毕。"_s});
        }
        QDir::setCurrent(m_folder.path());

        open();
    import(exported, [&] { m_prompter.answerInput(options.password, exported);
    });
    EXPECT_EQ(m_prompter.messages(), QStringList{u"成功导入120条记录。"_s});

    // Record k of the copy is record k of the bank now: the bank was empty.
    ASSERT_TRUE(m_store.open(exported, u"副本"_s, options.password, true));
    const int n = m_store.recordCount();
    ASSERT_EQ(n, 120);
    int pictures = 0;
    for (int k = 1; k <= n; ++k) {
        ASSERT_TRUE(m_store.setCurrent(u"副本"_s) && m_store.goTo(k));
        QVariantList from;
        for (int f = 1; f <= Q::kFieldCount; ++f)
            from << m_store.read(f);
        ASSERT_TRUE(m_store.setCurrent(course()) && m_store.goTo(k));
        for (int f = 1; f <= Q::kFieldCount; ++f)
            EXPECT_EQ(m_store.read(f), from.at(f - 1)) << "record " << k << " field " << f;
        pictures += from.at(Q::StemPictureData - 1).toByteArray().isEmpty() ? 0 : 1;
    }
    EXPECT_GT(pictures, 0);
    m_store.close(u"副本"_s);
    expectBankMatchesGrid();
    }

// A copy that fails halfway (a full or pulled stick) keeps the last good backup
// and says so; nothing says success. Both files and both renames are failed in turn.
TEST_F(TransferTest, AFailedExportKeepsTheOldBackupAndSaysSo) {
    addRecord(plain(u"甲"_s, u"对"_s));
    open();
    const QDir out(m_outside.path());
    for (const QString& ext : {u".edb"_s, u".edt"_s}) {
        QFile old(out.filePath(kExportName + ext));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old backup");
    }
    const QString overwrite = u"目标文件 "_s + kExportName + u".edb 已经存在，继续复制将覆盖它，继续复制吗？"_s;
    struct Case {
        WriteFaults::Kind kind;
        int n;
        QString failed;
        bool oldKept;
    };
    const Case cases[] = {
        {WriteFaults::Kind::FileCopy, 1, kExportName + u".edb"_s, true},
        {WriteFaults::Kind::FileCopy, 2, kExportName + u".edt"_s, true},
        {WriteFaults::Kind::Rename, 1, kExportName + u".edb"_s, true},
        {WriteFaults::Kind::Rename, 2, kExportName + u".edt"_s, true},
        {WriteFaults::Kind::Rename, 3, kExportName + u".edb"_s, true},
        {WriteFaults::Kind::Rename, 4, kExportName + u".edt"_s, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        m_prompter.clear();
        m_prompter.answerChooseFolder(m_outside.path());
        m_prompter.answerYesNo(true, overwrite);
        WriteFaults::failNth(c.kind, c.n);
        m_transfer->exportCourse();
        WriteFaults::reset();
        ASSERT_EQ(m_prompter.messages().size(), 1);
        const QString said = m_prompter.messages().first();
        EXPECT_TRUE(said.startsWith(u"导出课程失败：未能写入 "_s + out.filePath(c.failed))) << said.toStdString();
        EXPECT_EQ(said.endsWith(u"原有的备份没有改变。"_s), c.oldKept);
        QFile edt(out.filePath(kExportName + u".edt"_s));
        ASSERT_TRUE(edt.open(QIODevice::ReadOnly));
        EXPECT_EQ(edt.readAll(), QByteArray("old backup"));
        if (c.oldKept) {
            QFile edb(out.filePath(kExportName + u".edb"_s));
            ASSERT_TRUE(edb.open(QIODevice::ReadOnly));
            EXPECT_EQ(edb.readAll(), QByteArray("old backup"));
        }
        // No half-written copy is left beside them.
        EXPECT_EQ(out.entryList(QDir::Files).size(), 2) << out.entryList(QDir::Files).join(u',').toStdString();
    }
    // Afterwards a whole export goes through.
    m_prompter.clear();
    m_prompter.answerChooseFolder(m_outside.path());
    m_prompter.answerYesNo(true, overwrite);
    m_transfer->exportCourse();
    EXPECT_EQ(m_prompter.messages(), QStringList{u"导出课程完毕。"_s});
    EXPECT_EQ(fileHash(out.filePath(kExportName + u".edb"_s)), fileHash(m_folder.file(u"语文.edb"_s)));
}

// An administrator's name with "/" would point into a folder that does not exist.
TEST_F(TransferTest, ExportNamesAreSafeForFiles) {
    ASSERT_TRUE(m_store.setCurrent(CourseCatalog::tableName()));
    ASSERT_TRUE(m_store.goTo(1));
    ASSERT_TRUE(m_store.write(CourseCatalog::Name, u"林/王:老师"_s));
    open();
    m_prompter.answerChooseFolder(m_outside.path());
    m_transfer->exportCourse();
    EXPECT_EQ(m_prompter.messages(), QStringList{u"导出课程完毕。"_s});
    EXPECT_TRUE(QFileInfo::exists(QDir(m_outside.path()).filePath(u"语文备份-林_王_老师.edb"_s)));
}

// Every write of an import failed in turn: one message says the import stopped
// and how many questions came in; the bank holds exactly the grid's questions
// (whole ones), and no record ID is handed out twice afterwards.
TEST_F(TransferTest, AnImportWhoseWritesFailSaysSoAndKeepsGridAndBankAlike) {
    const QList<Question> coming = {plain(u"一"_s, u"对"_s), plain(u"二"_s, u"对"_s), plain(u"三"_s, u"对"_s),
                                    plain(u"四"_s, u"对"_s)};
    int faults = 0;
    for (const WriteFaults::Kind kind : {WriteFaults::Kind::StoreChange, WriteFaults::Kind::StoreCommit}) {
        for (int n = 1;; ++n) {
            SCOPED_TRACE(u"kind %1, write %2"_s.arg(int(kind)).arg(n).toStdString());
            TearDown();
            m_store.closeAll();
            QFile::remove(m_folder.file(u"语文.edb"_s));
            QFile::remove(m_folder.file(u"语文.edt"_s));
            CourseBank bank(m_store, m_prompter);
            ASSERT_TRUE(bank.createCourseBank(course()));
            ASSERT_TRUE(m_store.open(CourseBank::fileName(course()), course()));
            addRecord(plain(u"原有"_s, u"错"_s));
            open();
            m_prompter.clear();
            const QString path = source(coming, u"来源%1_%2"_s.arg(int(kind)).arg(n));
            m_prompter.answerOpenFile(path);
            WriteFaults::failNth(kind, n);
            m_transfer->importCourse();
            const bool injected = WriteFaults::counted(kind) >= n;
            WriteFaults::reset();
            ASSERT_EQ(m_prompter.messages().size(), 1);
            const QString said = m_prompter.messages().first();
            if (!injected) {
                EXPECT_EQ(said, u"成功导入4条记录。"_s);
                break;
            }
            ++faults;
            EXPECT_TRUE(said.startsWith(u"导入未完成：题库写入失败"_s)) << said.toStdString();
            expectBankMatchesGrid();
            // The next question gets an ID no row has.
            QSet<qint32> ids;
            for (int r = 1; r < grid().rowCount(); ++r)
                ids.insert(idOf(r));
            const qint32 next = addRecord(plain(u"后来"_s, u"对"_s));
            EXPECT_FALSE(ids.contains(next));
            const qsizetype imported = said.section(u"实际导入"_s, 1).section(u"条"_s, 0, 0).toInt();
            EXPECT_EQ(grid().rowCount() - 2, imported);
        }
    }
    EXPECT_GE(faults, 5);
}

} // namespace
} // namespace helan::test
