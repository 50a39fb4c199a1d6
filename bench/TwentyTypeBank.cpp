#include "TwentyTypeBank.h"

#include "DataFolderWriter.h"
#include "QuietPrompter.h"
#include "SyntheticBank.h"
#include "compose/NumberingSettings.h"
#include "grid/GridModel.h"
#include "model/QuestionTypeLibrary.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;

namespace helan::bench {

QString courseName() {
    return u"大题库"_s;
}

QString largeCourseName() {
    return u"十万题库"_s;
}

bool addLargeCourse(const QString& folder, QString& error) {
    QList<SampleQuestion> questions = twentyTypeQuestions(kLargeQuestions);
    for (SampleQuestion& q : questions) {
        q.stemPictureData.clear();
        q.answerPictureData.clear();
    }
    DataFolderWriter writer(folder);
    if (!writer.prepare(u"林老师"_s, u"lin2024"_s) ||
        !writer.addCourse(largeCourseName(), QString(), QString(), questions)) {
        error = writer.errorText();
        return false;
    }
    return true;
}

QString typeName(int k) {
    return u"题型"_s + QString::number(k + 1).rightJustified(2, u'0');
}

QList<SampleQuestion> twentyTypeQuestions(int count) {
    QList<SampleQuestion> questions = SyntheticBank::generate(count, 1);
    int k = 0;
    QString lastGroup;
    for (SampleQuestion& q : questions) {
        if (q.groupName.isEmpty() || q.groupName != lastGroup)
            ++k;
        lastGroup = q.groupName;
        q.type = typeName(k % kTypes);
    }
    return questions;
}

bool writeTwentyTypeFolder(const QString& folder, QString& error) {
    const QList<SampleQuestion> questions = twentyTypeQuestions(kQuestions);
    DataFolderWriter writer(folder);
    if (!writer.prepare(u"林老师"_s, u"lin2024"_s)) {
        error = writer.errorText();
        return false;
    }
    QuietPrompter prompter;
    QuestionTypeLibrary library(writer.store(), prompter);
    if (library.openTypeLibrary() != OpenOutcome::Ready)
        return false;
    for (int t = 0; t < kTypes; ++t)
        writer.store().append({typeName(t), 5, QString(), false});
    if (!writer.addCourse(courseName(), QString(), QString(), questions)) {
        error = writer.errorText();
        return false;
    }
    // Numbers for more major questions than there are types.
    GridModel numbering(2);
    numbering.setRowCount(kTypes + 2);
    numbering.setText(0, 1, u"数字"_s);
    for (int r = 1; r < numbering.rowCount(); ++r) {
        numbering.setText(r, 0, QString::number(r));
        numbering.setText(r, 1, QString::number(r));
    }
    return numbering.save(folder + u"/"_s + NumberingSettings::fileName());
}

} // namespace helan::bench
