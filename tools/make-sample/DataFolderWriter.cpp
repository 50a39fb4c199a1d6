#include "DataFolderWriter.h"

#include <QFile>

#include "base/Gbk.h"
#include "model/CourseBank.h"
#include "model/CourseCatalog.h"
#include "model/DataCipher.h"
#include "model/QuestionTypeLibrary.h"

using namespace Qt::StringLiterals;

namespace helan {

DataFolderWriter::DataFolderWriter(const QString& folder) : m_folder(folder)
{
    m_hadCatalogue = m_folder.entered() && QFile::exists(CourseCatalog::fileName());
}

DataFolderWriter::~DataFolderWriter()
{
    // Closed while the folder is still the working folder.
    m_store.closeAll();
}

bool DataFolderWriter::failed(const QString& what)
{
    m_error = what;
    if (!m_prompter.messages().isEmpty())
        m_error += u": "_s + m_prompter.messages().join(u"; "_s);
    else if (RecordStore::lastError() != StoreError::Ok)
        m_error += u": "_s + RecordStore::lastErrorText();
    return false;
}

bool DataFolderWriter::prepare(const QString& administratorName, const QString& administratorPassword)
{
    if (!m_folder.entered())
        return failed(u"cannot use the folder"_s);
    CourseCatalog catalog(m_store, m_prompter);
    if (catalog.openCatalog() != OpenOutcome::Ready)
        return failed(u"cannot open the catalogue"_s);
    if (catalog.isEmpty() && !catalog.appendAdministrator(administratorName, administratorPassword))
        return failed(u"cannot add the administrator"_s);
    QuestionTypeLibrary library(m_store, m_prompter);
    if (library.openTypeLibrary() != OpenOutcome::Ready)
        return failed(u"cannot open the question type library"_s);
    return true;
}

bool DataFolderWriter::addCourse(const QString& name, const QString& password, const QString& difficultyNote,
                                 const QList<SampleQuestion>& questions)
{
    // The catalogue would cut a longer name while the bank file kept it whole.
    if (name.isEmpty() || gbkLength(name) > CourseCatalog::kNameWidth)
        return failed(u"the course name must have 1 to 20 GBK bytes"_s);
    CourseCatalog catalog(m_store, m_prompter);
    if (catalog.courseNames().contains(name) || QFile::exists(CourseBank::fileName(name)))
        return failed(u"the course "_s + name + u" exists already"_s);

    CourseBank bank(m_store, m_prompter);
    if (!bank.createCourseBank(name))
        return failed(u"cannot create the bank of "_s + name);
    if (catalog.openCatalog() != OpenOutcome::Ready || !m_store.append({name, QString(), difficultyNote}))
        return failed(u"cannot add "_s + name + u" to the catalogue"_s);
    if (!m_store.open(CourseBank::fileName(name), name))
        return failed(u"cannot open the bank of "_s + name);
    if (!password.isEmpty()) {
        if (!m_store.setPassword(password))
            return failed(u"cannot protect the bank of "_s + name);
        // The catalogue's current record is still the course just appended.
        if (!m_store.setCurrent(CourseCatalog::tableName())
            || !m_store.modify({QVariant(), DataCipher::encryptPassword(password)}))
            return failed(u"cannot store the password of "_s + name);
        m_store.setCurrent(name);
    }
    if (!appendQuestions(m_store, questions))
        return failed(u"cannot write the questions of "_s + name);
    m_store.close(name);
    return true;
}

bool DataFolderWriter::appendQuestions(RecordStore& store, const QList<SampleQuestion>& questions)
{
    RecordStore::Batch batch(store);
    if (!batch.active())
        return false;
    for (const SampleQuestion& question : questions) {
        if (!store.append(question.toValues()))
            return false;
    }
    return batch.commit();
}

} // namespace helan
