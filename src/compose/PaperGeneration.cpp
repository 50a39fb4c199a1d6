#include "compose/PaperGeneration.h"

#include "base/Prompter.h"
#include "base/TextRules.h"
#include "compose/DocumentOpener.h"
#include "compose/HtmlPaperWriter.h"
#include "compose/PaperHeaderSettings.h"
#include "compose/PaperOutputFolder.h"
#include "compose/PaperAssembly.h"
#include "compose/PaperComposer.h"
#include "compose/PdfPaperWriter.h"
#include "compose/WordPaperWriter.h"
#include "model/QuestionRecord.h"
#include "model/QuestionTypeLibrary.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

using Q = QuestionRecord;
using P = PaperComposer;

// WorkList and AssembledPaper: 分组号, 题文1, 题图 mark, 题文2, 答案, 答图 mark, 题型, 分值, record ID.
void fillWorkGrid(GridModel& grid, const QList<PaperRow>& rows, bool assembled) {
    grid.setRowCount(1);
    grid.setColumnCount(9);
    grid.setColumnKind(7, ColumnKind::Number);
    grid.setColumnKind(8, ColumnKind::Number);
    if (assembled) {
        const QStringList headers{u"题目文本1"_s, u"题目图片1"_s, u"题目文本2"_s, u"答案"_s,
                                  u"答案图片"_s,  u"题型"_s,      u"分值"_s};
        for (int c = 1; c <= 7; ++c)
            grid.setText(0, c, headers[c - 1]);
    }
    grid.setRowCount(int(rows.size()) + 1);
    for (int r = 1; r <= rows.size(); ++r) {
        const PaperRow& row = rows[r - 1];
        grid.setText(r, 0, row.groupNumber);
        grid.setText(r, 1, row.stem1);
        grid.setText(r, 2, row.stemPictureMark);
        grid.setText(r, 3, row.stem2);
        grid.setText(r, 4, row.answer);
        grid.setText(r, 5, row.answerPictureMark);
        grid.setText(r, 6, row.type);
        grid.setNumber(r, 7, row.score);
        grid.setNumber(r, 8, row.recordId);
    }
}

} // namespace

PaperGeneration::PaperGeneration(RandomSource& random, DocumentOpener& opener, QString folder)
    : m_random(random), m_opener(opener), m_folder(std::move(folder)) {}

QList<PaperRow> PaperGeneration::workList(PaperComposer& composer, const QString& paper) {
    RecordStore& store = composer.store();
    store.setCurrent(composer.courseName());
    const GridModel& grid = composer.questionGrid();
    const int box = paper == u"B卷"_s ? P::PaperBColumn : P::PaperAColumn;
    QList<PaperRow> rows;
    for (int r = 1; r < grid.rowCount(); ++r) {
        if (!grid.checked(r, box))
            continue;
        PaperRow row;
        row.groupNumber = grid.text(r, P::GroupNumberColumn);
        row.stem1 = grid.text(r, P::StemText1Column);
        row.stemPictureMark = grid.text(r, P::StemPictureColumn);
        row.stem2 = grid.text(r, P::StemText2Column);
        row.type = grid.text(r, P::TypeColumn);
        row.score = intValue(grid.text(r, P::ScoreColumn));
        row.recordId = intValue(grid.text(r, P::RecordIdColumn));
        if (store.goToRecordId(qint32(row.recordId))) {
            row.answer = store.readText(Q::Answer);
            row.answerPictureMark = store.readText(Q::AnswerPicture);
            row.choice = store.readBool(Q::Choice);
        }
        rows.append(row);
    }
    return rows;
}

PaperSettings PaperGeneration::settings(PaperComposer& composer, const QString& paper) {
    const bool b = paper == u"B卷"_s;
    PaperSettings s;
    s.courseName = composer.courseName();
    s.compositionTime = composer.compositionTime();
    s.totalText = composer.totalText(b ? P::Paper::B : P::Paper::A);
    s.similarityText = composer.similarityText();
    s.paper = paper;
    s.generationTime = composer.generationTime();
    const GridModel& numbering = composer.numberingTable();
    const int column = composer.numberingStyleIndex() + 1;
    for (int r = 0; r < numbering.rowCount(); ++r)
        s.majorLabels.append(column > 0 ? numbering.text(r, column) : QString());
    s.majorSuffix = P::majorSuffixes().value(composer.majorSuffixIndex());
    s.majorScoreNote = composer.majorScoreNote();
    s.continuousNumbering = composer.continuousNumbering();
    s.optionLineBreak = composer.optionLineBreak();
    s.optionLabelSet = composer.optionLabelIndex();
    s.optionSuffix = P::optionSuffixes().value(composer.optionSuffixIndex());
    s.header = PaperHeaderSettings::load(s.courseName);

    const GridModel& order = composer.typeOrderTable();
    const GridModel& totals = composer.paperTypeScores(b ? P::Paper::B : P::Paper::A);
    RecordStore& store = composer.store();
    QuestionTypeLibrary library(store, composer.prompter());
    const bool libraryReady = library.openTypeLibrary() == OpenOutcome::Ready;
    for (int r = 1; r < order.rowCount(); ++r) {
        PaperType t;
        t.name = order.text(r, P::TypeNameColumn);
        if (t.name.isEmpty())
            continue;
        t.score = order.text(r, P::TypeScoreColumn);
        t.answerLineBreak = order.checked(r, P::AnswerLineBreakColumn);
        for (int i = 1; i < totals.rowCount(); ++i)
            if (totals.text(i, 0) == t.name)
                t.totalScore = totals.text(i, 1);
        if (libraryReady) {
            store.first();
            if (store.find([&] { return store.readText(QuestionTypeLibrary::TypeName) == t.name; }))
                t.description = store.readText(QuestionTypeLibrary::Description);
        }
        s.types.append(t);
    }
    store.setCurrent(composer.courseName());
    return s;
}

PaperPictures PaperGeneration::pictures(PaperComposer& composer) {
    RecordStore* store = &composer.store();
    return [store, course = composer.courseName()](qint64 id, bool answer) {
        store->setCurrent(course);
        if (!store->goToRecordId(qint32(id)))
            return QByteArray();
        return store->readBytes(answer ? Q::AnswerPictureData : Q::StemPictureData);
    };
}

QString PaperGeneration::failureMessage(const QStringList& failures) {
    return u"试卷未能完整写入：\n"_s + failures.join(u'\n');
}

AssembledPaper PaperGeneration::generatePaper(PaperComposer& composer, const QString& paper) {
    // Titles must precede their sub-questions in 分组号 order.
    if (!composer.groupOrdered())
        composer.sortComposerByGroup(false);

    RecordStore& store = composer.store();
    const QString course = composer.courseName();
    AssembledPaper assembled;
    assembled.settings = settings(composer, paper);
    const QList<PaperRow> work = workList(composer, paper);

    const auto findTwin = [&](qint64 own, const QString& stem1) -> std::optional<PaperAssembly::Twin> {
        store.setCurrent(course);
        store.first();
        if (!store.find([&] { return store.recordId() != own && store.readText(Q::StemText1) == stem1; }))
            return std::nullopt;
        return PaperAssembly::Twin{store.recordId(), store.readText(Q::Answer)};
    };
    PaperAssembly assembly(m_random, composer.prompter(), findTwin);
    assembly.assemblePaper(work, assembled);
    fillWorkGrid(composer.workList(), work, false);
    fillWorkGrid(composer.assembledPaper(), assembled.rows, true);

    const PaperPictures pictures = PaperGeneration::pictures(composer);

    // Every generation in a new folder of its own, in the user's own folder.
    QString error;
    const QString userFolder = PaperOutputFolder::userFolder(m_folder, &error);
    const QString folder = userFolder.isEmpty()
                               ? QString()
                               : PaperOutputFolder::newGenerationFolder(
                                     userFolder, assembled.documentTitle(QString()).trimmed(), &error);
    if (folder.isEmpty()) {
        composer.prompter().message(failureMessage({error}), {}, Prompter::Icon::Warning);
        return assembled;
    }
    composer.setLastPaperFolder(folder);

    QStringList failures;
    QStringList unopened;
    switch (composer.output()) {
    case PaperComposer::Output::Word: {
        WordPaperWriter writer(assembled, pictures, m_opener, folder);
        writer.writeWordPaper();
        writer.writeWordAnswers();
        failures = writer.failures();
        unopened = writer.unopened();
        break;
    }
    case PaperComposer::Output::Html: {
        HtmlPaperWriter writer(assembled, pictures, m_opener, folder);
        writer.writeHtmlPaper();
        writer.writeHtmlAnswers();
        failures = writer.failures();
        unopened = writer.unopened();
        break;
    }
    case PaperComposer::Output::Pdf: {
        PdfPaperWriter writer(assembled, pictures, m_opener, folder);
        writer.writePdfPaper();
        writer.writePdfAnswers();
        failures = writer.failures();
        unopened = writer.unopened();
        break;
    }
    }
    if (!failures.isEmpty())
        composer.prompter().message(failureMessage(failures), {}, Prompter::Icon::Warning);
    // Said once for both documents, with where they are.
    if (!unopened.isEmpty() && composer.prompter().okCancel(unopenedQuestion(folder)) &&
        !m_opener.openDocument(folder))
        composer.prompter().message(u"无法打开文件夹：\n"_s + folder, {}, Prompter::Icon::Warning);
    return assembled;
}

QString PaperGeneration::unopenedQuestion(const QString& folder) {
    return u"没有程序能打开生成的试卷。试卷和答案保存在文件夹：\n"_s + folder +
           u"\n按“确定”打开这个文件夹。"_s;
}

} // namespace helan
