#pragma once

#include <QList>
#include <QString>

#include "QuietPrompter.h"
#include "SampleQuestion.h"
#include "ScopedWorkingFolder.h"
#include "store/RecordStore.h"

namespace helan {

// Writes a data folder the program can open: the catalogue with its administrator,
// the question type library, and courses with their banks, made the way the
// administrator's dialog makes them. The folder is the working folder while the
// writer lives; every table is closed when it goes.
class DataFolderWriter {
public:
    explicit DataFolderWriter(const QString& folder);
    ~DataFolderWriter();
    DataFolderWriter(const DataFolderWriter&) = delete;
    DataFolderWriter& operator=(const DataFolderWriter&) = delete;

    // Whether the folder held a catalogue before this writer touched it.
    bool hadCatalogue() const { return m_hadCatalogue; }

    // Opens or creates the catalogue, appends the administrator when there is none
    // yet (an existing one is kept), and opens or creates the type library with its
    // five default types.
    bool prepare(const QString& administratorName, const QString& administratorPassword);

    // Adds a course (catalogue record, bank, password protection) and appends its
    // questions in one batch. Refuses a course that exists already.
    bool addCourse(const QString& name, const QString& password, const QString& difficultyNote,
                   const QList<SampleQuestion>& questions);

    // Appends questions to the store's current table in one batch.
    static bool appendQuestions(RecordStore& store, const QList<SampleQuestion>& questions);

    QString errorText() const { return m_error; }
    RecordStore& store() { return m_store; }

private:
    bool failed(const QString& what);

    ScopedWorkingFolder m_folder;
    bool m_hadCatalogue = false;
    RecordStore m_store;
    QuietPrompter m_prompter;
    QString m_error;
};

} // namespace helan
