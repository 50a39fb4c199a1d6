#include "compose/AssembledPaper.h"

#include "base/TextRules.h"
#include "compose/PaperPrintForm.h"

using namespace Qt::StringLiterals;

namespace helan {

QString AssembledPaper::documentTitle(const QString& kind) const {
    const QString gap = u"  "_s;
    return settings.courseName + gap + settings.compositionTime + gap + settings.totalText + gap +
           settings.similarityText + gap + settings.paper + gap + settings.generationTime + gap + kind;
}

QString AssembledPaper::headerSubjectLine() const {
    const QString subject = settings.header.subject.isEmpty() ? settings.courseName : settings.header.subject;
    return subject + u"（"_s + settings.paper + u"）"_s;
}

QString AssembledPaper::headerTimeLine() const {
    QStringList parts;
    if (settings.header.minutes > 0)
        parts << u"考试时间："_s + QString::number(settings.header.minutes) + u"分钟"_s;
    parts << u"满分："_s + settings.totalText + u"分"_s;
    return parts.join(u"　　"_s);
}

// On A3 and B4 the candidate writes on the sealing line only.
QString AssembledPaper::headerCandidateLine() const {
    return settings.header.twoColumns() ? QString() : PaperPrintForm::candidateLine(settings.header, 8);
}

QString AssembledPaper::answerSheetTitle() const {
    const QString title = settings.header.examTitle.isEmpty() ? headerSubjectLine() : settings.header.examTitle;
    return title + u"参考答案"_s;
}

QString AssembledPaper::sealingLineText() const {
    const QString seal = u"……………密……………封……………线……………"_s;
    const QString candidate = PaperPrintForm::candidateLine(settings.header, 10);
    return candidate.isEmpty() ? seal : candidate + u"　　"_s + seal;
}

int AssembledPaper::majorCount() const {
    int count = 0;
    for (const int k : majorStarts())
        count = std::max(count, k);
    return count;
}

QList<QStringList> AssembledPaper::scoreTable() const {
    QStringList numbers{u"题号"_s};
    QStringList scores{u"得分"_s};
    for (int k = 1; k <= majorCount(); ++k) {
        numbers << majorLabel(k);
        scores << QString();
    }
    numbers << u"总分"_s;
    scores << QString();
    return {numbers, scores};
}

QString AssembledPaper::majorLabel(int k) const {
    return settings.majorLabels.value(k);
}

QString AssembledPaper::majorHeading(int k, const QString& type) const {
    return majorLabel(k) + settings.majorSuffix + type;
}

// The questions' own scores, not the type's default: a heading over questions
// worth 2 each must not say 4.
QString AssembledPaper::perQuestionScore(const QString& type) const {
    int each = 0;
    for (const PaperRow& row : rows) {
        if (row.type != type || row.isTitle())
            continue;
        if (row.score <= 0 || (each != 0 && row.score != each))
            return {};
        each = row.score;
    }
    return each > 0 ? QString::number(each) : QString();
}

QString AssembledPaper::typeTotalScore(const QString& type) const {
    const PaperType* t = findType(type);
    return t ? t->totalScore : QString();
}

QString AssembledPaper::scoreNote(const QString& type) const {
    if (!settings.majorScoreNote)
        return {};
    const QString each = perQuestionScore(type);
    if (each.isEmpty())
        return u"（共"_s + typeTotalScore(type) + u"分）"_s;
    return u"（每题"_s + each + u"分，共"_s + typeTotalScore(type) + u"分）"_s;
}

bool AssembledPaper::answerLineBreak(const QString& type) const {
    const PaperType* t = findType(type);
    return t && t->answerLineBreak;
}

QString AssembledPaper::description(const QString& type) const {
    const PaperType* t = findType(type);
    return t ? t->description : QString();
}

QList<int> AssembledPaper::majorStarts() const {
    QList<int> starts;
    starts.reserve(rows.size());
    int k = 0;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const bool fresh = i == 0 || rows[i].type != rows[i - 1].type;
        starts.append(fresh ? ++k : 0);
    }
    return starts;
}

QList<int> AssembledPaper::minorNumbers() const {
    QList<int> numbers;
    numbers.reserve(rows.size());
    int m = 0;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if ((i == 0 || rows[i].type != rows[i - 1].type) && !settings.continuousNumbering)
            m = 0;
        numbers.append(rows[i].isTitle() ? 0 : ++m);
    }
    return numbers;
}

const PaperType* AssembledPaper::findType(const QString& name) const {
    for (const PaperType& t : settings.types)
        if (t.name == name)
            return &t;
    return nullptr;
}

} // namespace helan
