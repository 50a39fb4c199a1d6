#include "compose/PaperPrintForm.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

const QString kGap = u"    "_s;

} // namespace

QString PaperPrintForm::subjectLine(const AssembledPaper& paper) {
    const QString subject = paper.settings.header.subject.trimmed();
    return subject.isEmpty() ? paper.settings.courseName : subject;
}

QString PaperPrintForm::timeAndScoreLine(const AssembledPaper& paper) {
    const PaperHeader& h = paper.settings.header;
    QString line;
    if (h.minutes > 0)
        line = u"考试时间："_s + QString::number(h.minutes) + u"分钟"_s + kGap;
    return line + u"满分："_s + paper.settings.totalText + u"分"_s;
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
        parts << field + u"："_s + QString(blank, u'_');
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
    return paper.settings.header.examTitle.trimmed() + u"参考答案"_s;
}

QString PaperPrintForm::pageNumber(int page, int pages) {
    return u"第 "_s + QString::number(page) + u" 页 共 "_s + QString::number(pages) + u" 页"_s;
}

} // namespace helan
