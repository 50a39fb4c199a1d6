#pragma once

#include <QString>
#include <QStringList>

#include "compose/AssembledPaper.h"

namespace helan {

// What the printed form of a paper says (卷头设置): the header lines, the
// score table's labels, the candidate fields of the sealing line and the
// footer. Every writer takes its texts from here, so that they say the same.
class PaperPrintForm {
public:
    // The subject line: the chosen subject, else the course name.
    static QString subjectLine(const AssembledPaper& paper);
    // "考试时间：120分钟    满分：100分"; the time only when minutes are set.
    static QString timeAndScoreLine(const AssembledPaper& paper);
    // The candidate fields switched on, in order: "班级", "姓名", "学号" or "考号".
    static QStringList candidateFields(const PaperHeader& header);
    // "班级：__________    姓名：__________ …" with blanks of blank
    // underscores; empty when every field is off.
    static QString candidateLine(const PaperHeader& header, int blank = 10);
    // The label of each major question of the paper, in order (the score
    // table's columns between "题号" and "总分").
    static QStringList majorLabels(const AssembledPaper& paper);
    // The answer sheet's heading: the exam title + "参考答案".
    static QString answersTitle(const AssembledPaper& paper);
    // "第 X 页 共 Y 页".
    static QString pageNumber(int page, int pages);

    static QString notesCaption() { return QStringLiteral("注意事项："); }
    static QString numberCaption() { return QStringLiteral("题号"); }
    static QString totalCaption() { return QStringLiteral("总分"); }
    static QString scoreCaption() { return QStringLiteral("得分"); }
    static QString sealCaption() { return QStringLiteral("密封线"); }
};

} // namespace helan
