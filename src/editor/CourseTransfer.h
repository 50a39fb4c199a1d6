#pragma once

#include <functional>
#include <optional>
#include <utility>

#include <QList>
#include <QString>
#include <QVariantList>

namespace helan {

class BankEditor;
class Prompter;
class RecordStore;

// 导出 and 导入 of the bank editor's menu 试题. Export copies the course's two
// table files under course name + "备份-" + administrator name; import adds the
// questions of another copy of a course bank to the open bank and to the editor's
// grid, dropping those the bank already holds (same joined stem texts and answer)
// and asking about groups whose names the bank already uses.
class CourseTransfer {
public:
    // Asks for a new name for a conflicting group; empty to skip the group.
    using GroupNameAsker = std::function<QString()>;

    // The editor must be open on its course's bank; the program's folder is the
    // working folder.
    CourseTransfer(BankEditor& editor, RecordStore& store, Prompter& prompter, GroupNameAsker askGroupName);

    // Called now and then while an import runs, after the status text changed,
    // so that the window can show it.
    void setProgressHook(std::function<void()> hook) { m_progressHook = std::move(hook); }

    void exportCourse();
    void importCourse();
    // Adds questions read from elsewhere (a paper, another program's file) the
    // way importCourse adds a bank's: each entry holds the sixteen field values
    // in schema order; a group's title comes before its sub-questions.
    void importRecords(const QList<QVariantList>& records);

    // How importRecords treats questions that a teacher checked in a preview.
    struct RecordOptions {
        // A group whose name the bank uses comes in under a fresh name ("名-2"),
        // without asking: its name was made up by the import, not chosen.
        bool freshGroupNames = false;
        // When given (one entry per record): which records fail the question
        // rules. They come in all the same, are counted, and the one report at
        // the end reads "成功导入N条记录，M条重复，K条不完整。".
        std::optional<QList<bool>> incomplete;
    };
    void importRecords(const QList<QVariantList>& records, const RecordOptions& options);

    // The base name of the export copy, e.g. "数学备份-林老师".
    QString exportBaseName();
    static QString importFilter();

    // What the last import did.
    int importedCount() const { return m_importedCount; }
    int duplicateCount() const { return m_duplicateCount; }
    // Records added that fail the question rules (with RecordOptions::incomplete).
    int incompleteCount() const { return m_incompleteCount; }
    // A name made from base that taken does not hold: base itself, else base +
    // "-2", "-3" …, cut to fit the field's width.
    static QString freshGroupName(const QString& base, const std::function<bool(const QString&)>& taken);

private:
    static bool copyOver(const QList<std::pair<QString, QString>>& files, QString* failed);
    static bool replaceFile(const QString& from, const QString& to);
    // Opens a copy of the chosen file made in a private folder; the alias on
    // success, empty after telling the user why not.
    QString openSource(const QString& path, const QString& privateFolder);
    void runImport(const QString& alias);
    void runImport(int count, const std::function<QVariantList(int)>& readSource, const RecordOptions& options);
    bool writeBackGrid();
    void addMissingTypes();

    BankEditor& m_editor;
    RecordStore& m_store;
    Prompter& m_prompter;
    GroupNameAsker m_askGroupName;
    std::function<void()> m_progressHook;
    int m_importedCount = 0;
    int m_duplicateCount = 0;
    int m_incompleteCount = 0;
};

} // namespace helan
