#include "compose/PaperPrintForm.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

const QString kGap = u"　　"_s;

} // namespace

// The .docx and HTML writers take the same lines from the paper itself.
QString PaperPrintForm::subjectLine(const AssembledPaper& paper) {
    return paper.headerSubjectLine();
}

QString PaperPrintForm::timeAndScoreLine(const AssembledPaper& paper) {
    return paper.headerTimeLine();
}

QStringList PaperPrintForm::candidateFields(const PaperHeader& header) {
    QStringList fields;
    if (header.classField)
        fields << u"班级"_s;
    if (header.nameField)
        fields << u"姓名"_s;
    if (header.numberField)
        fields << (header.numberCaption.isEmpty() ? u"学号"_s : header.numberCaption);
    return fields;
}

QString PaperPrintForm::candidateLine(const PaperHeader& header, int blank) {
    QStringList parts;
    for (const QString& field : candidateFields(header))
        parts << field + u"："_s + QString(blank, u'＿');
    return parts.join(kGap);
}

QStringList PaperPrintForm::majorLabels(const AssembledPaper& paper) {
    QStringList labels;
    for (const int k : paper.majorStarts())
        if (k > 0)
            labels << paper.majorLabel(k);
    return labels;
}

QString PaperPrintForm::answersTitle(const AssembledPaper& paper) {
    return paper.answerSheetTitle();
}

QString PaperPrintForm::pageNumber(int page, int pages) {
    return u"第 "_s + QString::number(page) + u" 页 共 "_s + QString::number(pages) + u" 页"_s;
}

} // namespace helan
