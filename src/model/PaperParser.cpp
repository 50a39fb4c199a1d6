#include "model/PaperParser.h"

#include <algorithm>
#include <optional>

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include "base/TextRules.h"
#include "model/OptionLabels.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

const QString kCrLf = u"\r\n"_s;
const QString kFormulaNote = u"含有Word公式，已标作“〔公式〕”"_s;
constexpr int kMaxOptions = 9;
constexpr int kMaxGroupMembers = 99; // 分组号 holds two bytes

// ---- Text helpers

bool isGap(QChar c) {
    return c == u' ' || c == u'\t' || c == QChar(0x3000) || c == QChar(0xA0);
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The text with full-width digits and letters as ASCII and every kind of space
// as a space: one character for one, so positions in it are positions in the
// text. Patterns are matched on it, pieces are cut from the text.
QString probeOf(const QString& text) {
    QString p = text;
    for (QChar& c : p) {
        const char16_t u = c.unicode();
        if ((u >= 0xFF10 && u <= 0xFF19) || (u >= 0xFF21 && u <= 0xFF3A) || (u >= 0xFF41 && u <= 0xFF5A))
            c = QChar(char16_t(u - 0xFF10 + u'0'));
        else if (isGap(c))
            c = u' ';
    }
    return p;
}

qsizetype skipGaps(const QString& p, qsizetype i) {
    while (i < p.size() && isGap(p.at(i)))
        ++i;
    return i;
}

// A piece of a line: its text with picture marks, the pictures they stand for
// and where each stands, so that cutting a piece costs no more than the piece.
struct Seg {
    QString text;
    QList<int> pictures;
    QList<qsizetype> at;
};

Seg makeSeg(const QString& text, const QList<int>& pictures, int offset) {
    Seg s{text, {}, {}};
    qsizetype k = 0;
    for (qsizetype i = 0; i < text.size() && k < pictures.size(); ++i) {
        if (text.at(i) == PaperSource::pictureMark()) {
            s.pictures.append(pictures.at(k++) + offset);
            s.at.append(i);
        }
    }
    return s;
}

Seg slice(const Seg& s, qsizetype from, qsizetype to) {
    from = std::clamp<qsizetype>(from, 0, s.text.size());
    to = std::clamp<qsizetype>(to, from, s.text.size());
    const auto first = std::lower_bound(s.at.begin(), s.at.end(), from);
    const auto last = std::lower_bound(first, s.at.end(), to);
    Seg out{s.text.mid(from, to - from), {}, {}};
    for (auto it = first; it != last; ++it) {
        out.pictures.append(s.pictures.at(it - s.at.begin()));
        out.at.append(*it - from);
    }
    return out;
}

void appendTo(Seg& a, const Seg& b) {
    for (const qsizetype at : b.at)
        a.at.append(at + a.text.size());
    a.pictures += b.pictures;
    a.text += b.text;
}

bool isBlank(const Seg& s) {
    return s.pictures.isEmpty() && s.text.trimmed().isEmpty();
}

Seg sliceFrom(const Seg& s, qsizetype from) {
    return slice(s, from, s.text.size());
}

QString withoutMarks(QString text) {
    text.remove(PaperSource::pictureMark());
    return text;
}

// Lines joined by CR LF, marks gone, line ends and the ends of the whole trimmed,
// lines that held only pictures dropped; tabs (Word's layout) become spaces.
QString joinLines(const QList<Seg>& segs) {
    QStringList lines;
    for (const Seg& s : segs) {
        QString line = withoutMarks(s.text);
        line.replace(u'\t', u' ');
        while (!line.isEmpty() && isGap(line.back()))
            line.chop(1);
        if (line.isEmpty() && !s.pictures.isEmpty())
            continue;
        lines.append(line);
    }
    while (!lines.isEmpty() && trimSpaces(lines.first()).isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && trimSpaces(lines.last()).isEmpty())
        lines.removeLast();
    QString joined = lines.join(kCrLf);
    return trimSpaces(joined);
}

QList<int> picturesOf(const QList<Seg>& segs) {
    QList<int> out;
    for (const Seg& s : segs)
        out += s.pictures;
    return out;
}

QString shortened(const QString& text, int length = 24) {
    QString t = withoutMarks(text).simplified();
    return t.size() > length ? t.left(length) + u"…"_s : t;
}

// ---- Question numbers and headings

enum class NumberStyle { None, Dot, Paren, Close };

struct NumberMatch {
    int n = 0;
    NumberStyle style = NumberStyle::None;
    qsizetype end = 0; // where the question's text starts
};

// "1." "1．" "1、" "（1）" "(1)" "1）" at position i (after spaces).
std::optional<NumberMatch> numberAt(const QString& p, qsizetype i) {
    i = skipGaps(p, i);
    const bool paren = i < p.size() && (p.at(i) == u'(' || p.at(i) == u'（');
    if (paren)
        i = skipGaps(p, i + 1);
    const qsizetype digitsStart = i;
    int n = 0;
    while (i < p.size() && isDigit(p.at(i)) && i - digitsStart < 4) {
        n = n * 10 + (p.at(i).unicode() - u'0');
        ++i;
    }
    const qsizetype digits = i - digitsStart;
    if (digits < 1 || digits > 3 || n == 0)
        return std::nullopt;
    NumberMatch m;
    m.n = n;
    if (paren) {
        i = skipGaps(p, i);
        if (i >= p.size() || (p.at(i) != u')' && p.at(i) != u'）'))
            return std::nullopt;
        m.style = NumberStyle::Paren;
        ++i;
    } else if (i < p.size() && (p.at(i) == u'.' || p.at(i) == u'．' || p.at(i) == u'、')) {
        // "1.5" is a number, not a question; "１．２＋３" is question 1 (a decimal
        // point is never full-width).
        if (p.at(i) == u'.' && i + 1 < p.size() && (isDigit(p.at(i + 1)) || p.at(i + 1) == u'.'))
            return std::nullopt;
        m.style = NumberStyle::Dot;
        ++i;
    } else if (i < p.size() && (p.at(i) == u')' || p.at(i) == u'）')) {
        m.style = NumberStyle::Close;
        ++i;
    } else {
        return std::nullopt;
    }
    m.end = skipGaps(p, i);
    return m;
}

bool isChineseNumeral(QChar c) {
    return QStringView(u"一二三四五六七八九十").contains(c);
}

bool isRomanNumeral(QChar c) {
    return c.unicode() >= 0x2160 && c.unicode() <= 0x216B;
}

struct HeadingMatch {
    QString name;        // up to the first bracket or punctuation, without spaces
    qsizetype start = 0; // where the text after the label starts
};

// "一、选择题（…）", "二．填空", "Ⅲ 问答", "第二部分 阅读".
std::optional<HeadingMatch> headingAt(const QString& p) {
    qsizetype i = skipGaps(p, 0);
    bool part = false;
    if (i < p.size() && p.at(i) == u'第') {
        const qsizetype from = ++i;
        while (i < p.size() && isChineseNumeral(p.at(i)) && i - from < 3)
            ++i;
        if (i == from)
            return std::nullopt;
        for (const QString& word : {u"部分"_s, u"大题"_s, u"卷"_s}) {
            if (p.mid(i).startsWith(word)) {
                i += word.size();
                part = true;
                break;
            }
        }
        if (!part)
            return std::nullopt;
    } else if (i < p.size() && isRomanNumeral(p.at(i))) {
        ++i;
    } else {
        const qsizetype from = i;
        while (i < p.size() && isChineseNumeral(p.at(i)) && i - from < 3)
            ++i;
        if (i == from)
            return std::nullopt;
    }
    if (i >= p.size())
        return std::nullopt;
    if (QStringView(u"、．.,，:：").contains(p.at(i)))
        ++i;
    else if (!isGap(p.at(i)) && !part)
        return std::nullopt;
    i = skipGaps(p, i);
    if (i >= p.size() || isDigit(p.at(i)))
        return std::nullopt;
    qsizetype end = i;
    while (end < p.size() && !QStringView(u"（(：:，,。；;【[").contains(p.at(end)))
        ++end;
    QString name = p.mid(i, end - i);
    name.remove(u' ');
    if (name.isEmpty() || name.size() > 24)
        return std::nullopt;
    return HeadingMatch{name, i};
}

const QRegularExpression& scoreEachPattern() {
    static const QRegularExpression re(u"每\\s*(?:小|道)?\\s*题\\s*各?\\s*(\\d+(?:\\.\\d+)?)\\s*分"_s);
    return re;
}

const QRegularExpression& anyScorePattern() {
    static const QRegularExpression re(u"\\d+\\s*分"_s);
    return re;
}

// ---- Groups, answers, explanations

// "阅读下面的材料，回答1～4题" and the like: a group and the numbers of its sub-questions.
const QRegularExpression& rangeInstruction() {
    static const QRegularExpression re(u"(?:阅读|根据|读|结合|看).{0,80}?(?:回答|完成|作答|解答|答|做)\\s*(?:"
                                       u"第\\s*)?(\\d{1,3})\\s*(?:小题|题)?\\s*"
                                       "(?:[-~～〜—–－至到]|——)+\\s*(?:第\\s*)?(\\d{1,3})\\s*(?:小|道)?题"_s);
    return re;
}

// "阅读下面的短文，回答问题。" at the start of a line: a group without numbers.
const QRegularExpression& plainInstruction() {
    static const QRegularExpression re(
        u"^\\s*(?:[（(][一二三四五六七八九十\\d]{1,3}[)）]\\s*)?(?:阅读|根据|认真阅读|仔细阅读)"
        "(?:下面|下列|以下|下文|上面|上文|以上|这|材料|短文|文章|图|表).{0,80}?(?:回答|完成|作答|解答)"_s);
    return re;
}

// Instructions a paper gives under a heading, which are no question.
const QRegularExpression& instructionWords() {
    static const QRegularExpression re(
        u"每小题|每题|每道|本大题|本题共|本部分|下列各题|各小题|符合题目要求|选项中|请将|请把|答题卡|答题纸|"
        "满分|考试时间|姓名|班级|学号|考号|座号|得分|评卷人|注意事项|共\\d+分|\\d+分钟"_s);
    return re;
}

const QRegularExpression& answerMarkerAnywhere() {
    static const QRegularExpression re(u"[【\\[]\\s*(?:参考)?答案\\s*[】\\]]\\s*[:：]?"_s);
    return re;
}

const QRegularExpression& answerMarkerAtStart() {
    static const QRegularExpression re(u"^\\s*(?:参考)?答案\\s*[:：]"_s);
    return re;
}

const QRegularExpression& explanationMarkerAnywhere() {
    static const QRegularExpression re(u"[【\\[]\\s*(?:试题)?(?:解析|分析|详解|点睛|点评|考点|解答|专题|思路|"
                                       u"方法|评析|答案解析|知识点|难度|考查|"
                                       "考点分析|名师点睛)\\s*[】\\]]"_s);
    return re;
}

const QRegularExpression& explanationMarkerAtStart() {
    static const QRegularExpression re(u"^\\s*(?:解析|分析|详解|点评|点睛)\\s*[:：]"_s);
    return re;
}

// A line that opens the answer section ("参考答案", "答案与解析", "四、参考答案").
const QRegularExpression& answerSectionPattern() {
    static const QRegularExpression re(
        u"^(?:[一二三四五六七八九十]{1,3}\\s*[、．.]\\s*)?(参考答案|标准答案|答案)"
        "(及评分(?:标准|参考|建议|细则)|与评分标准|及解析|与解析|和解析|解析|详解)?\\s*(?:[（(][^）)]*[)）])?\\s*[:：]?$"_s);
    return re;
}

// The title line of the program's own answer sheets ends in the generation time
// and "答案".
const QRegularExpression& answerSheetTitle() {
    static const QRegularExpression re(u"\\d{14}\\s+答案\\s*$"_s);
    return re;
}

// "1～5 ACBDD": one letter for each question of the range.
const QRegularExpression& answerRange() {
    static const QRegularExpression re(
        u"(\\d{1,3})\\s*(?:[-~～〜—–－至到]|——)+\\s*(\\d{1,3})\\s*(?:题)?\\s*[.．、:：]?\\s*([A-I](?:[ ,，、]*[A-I])*)"_s);
    return re;
}

// ---- Option labels

enum class LabelForm { Punct, Bracket, Space };

struct Label {
    qsizetype start = 0;
    qsizetype end = 0; // after the label and the spaces after it
    LabelForm form = LabelForm::Punct;
};

// The label of option `index` (A + index) at position i.
std::optional<Label> letterLabelAt(const QString& p, qsizetype i, int index) {
    const QChar letter(char16_t(u'A' + index));
    Label l;
    l.start = i;
    const bool bracketed = i < p.size() && (p.at(i) == u'(' || p.at(i) == u'（');
    if (bracketed)
        ++i;
    if (i >= p.size() || p.at(i) != letter)
        return std::nullopt;
    ++i;
    if (bracketed) {
        if (i >= p.size() || (p.at(i) != u')' && p.at(i) != u'）'))
            return std::nullopt;
        l.form = LabelForm::Bracket;
        ++i;
    } else if (i < p.size() && QStringView(u".．、)）").contains(p.at(i))) {
        // "A.5" is an option; "A..": not.
        l.form = LabelForm::Punct;
        ++i;
    } else if (i < p.size() && isGap(p.at(i))) {
        l.form = LabelForm::Space;
    } else {
        return std::nullopt;
    }
    l.end = skipGaps(p, i);
    return l;
}

std::optional<Label> circledLabelAt(const QString& p, qsizetype i, int index) {
    if (i >= p.size() || p.at(i).unicode() != 0x2460 + index)
        return std::nullopt;
    Label l;
    l.start = i;
    ++i;
    if (i < p.size() && QStringView(u".．、").contains(p.at(i)))
        ++i;
    l.end = skipGaps(p, i);
    return l;
}

// Labels index, index + 1, … in order from position `from`, each after a gap
// (two for labels that are only a letter and a space). Empty when the first is
// not at `from`.
template <typename LabelAt>
QList<Label> labelSequence(const QString& p, qsizetype from, int index, LabelAt labelAt) {
    QList<Label> labels;
    const std::optional<Label> first = labelAt(p, from, index);
    if (!first)
        return labels;
    labels.append(*first);
    int next = index + 1;
    qsizetype i = first->end;
    while (next < kMaxOptions && i < p.size()) {
        if (!isGap(p.at(i))) {
            ++i;
            continue;
        }
        qsizetype gaps = 0;
        while (i < p.size() && isGap(p.at(i))) {
            ++i;
            ++gaps;
        }
        const std::optional<Label> l = labelAt(p, i, next);
        if (!l)
            continue;
        if (l->form != first->form || (l->form == LabelForm::Space && gaps < 2))
            continue;
        labels.append(*l);
        i = l->end;
        ++next;
    }
    return labels;
}

QList<Seg> optionsFrom(const Seg& seg, const QList<Label>& labels) {
    QList<Seg> out;
    for (qsizetype k = 0; k < labels.size(); ++k) {
        const qsizetype end = k + 1 < labels.size() ? labels.at(k + 1).start : seg.text.size();
        out.append(slice(seg, labels.at(k).end, end));
    }
    return out;
}

// The start of options written after a stem on its line: "…（ ）A．4  B．5" — an
// A label after a gap or a bracket with a B label of its form after it. One
// pass each way, whatever the line holds.
qsizetype inlineOptionsStart(const QString& p) {
    const auto formIndex = [](LabelForm form) { return form == LabelForm::Bracket ? 1 : 0; };
    qsizetype lastB[2] = {-1, -1};
    for (qsizetype i = 1; i < p.size(); ++i) {
        if (!isGap(p.at(i - 1)))
            continue;
        if (const std::optional<Label> l = letterLabelAt(p, i, 1); l && l->form != LabelForm::Space)
            lastB[formIndex(l->form)] = i;
    }
    for (qsizetype i = 1; i < p.size(); ++i) {
        const QChar before = p.at(i - 1);
        if (!isGap(before) && before != u')' && before != u'）')
            continue;
        if (const std::optional<Label> l = letterLabelAt(p, i, 0);
            l && l->form != LabelForm::Space && lastB[formIndex(l->form)] >= l->end)
            return i;
    }
    return -1;
}

// ---- The parse

struct StemSeg {
    Seg seg;
    QList<Seg> circled; // the options of a line of circled-number options, else empty
};

struct Draft {
    enum class Part { Stem, Options, Answer, Explanation };
    QString number;
    int n = 0;
    int section = -1;
    int group = -1;
    int groupNumber = -1;
    QList<StemSeg> stem;
    QList<Seg> options;
    LabelForm optionForm = LabelForm::Punct;
    QList<Seg> answer;
    QList<Seg> explanation;
    bool answered = false;
    bool stemAfterOptions = false;
    int circledRun = 0; // circled options on the lines just before
    Part part = Part::Stem;
};

// What the run keeps about a question besides the question itself.
struct Item {
    ParsedQuestion q;
    int n = 0;
    int sectionOrdinal = 0; // 1 … for questions under a heading
    bool answered = false;
    QString rawAnswer; // as written (letters), before it is matched to the options
    QList<int> answerPictures;
    QList<Seg> answerSegs;
    bool circledOptions = false;
    int ownScore = -1;
};

struct AnswerEntry {
    int sectionOrdinal = 0;
    int n = 0;
    QList<Seg> answer;
    QList<Seg> explanation;
    bool inExplanation = false;
};

struct Container {
    NumberStyle style = NumberStyle::None;
    int last = 0;
};

class Run {
public:
    Run(const PaperParser& parser, const QList<PaperParser::TypeInfo>& types, ParsedPaper& out)
        : m_parser(parser), m_types(types), m_out(out) {
        for (const PaperParser::TypeInfo& t : types) {
            if (!t.description.isEmpty())
                m_descriptions.insert(trimSpaces(t.description));
        }
    }

    void paper(const QList<PaperLine>& lines, int pictureOffset) {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const Seg seg = makeSeg(lines.at(i).text, lines.at(i).pictures, pictureOffset);
            const QString p = probeOf(seg.text);
            const QString trimmed = p.trimmed();
            if (trimmed.isEmpty() && seg.pictures.isEmpty())
                continue;
            if (opensAnswerSection(trimmed, lines, i)) {
                finishDraft();
                closePreamble();
                answers(lines, i + 1, pictureOffset);
                return;
            }
            if (const std::optional<HeadingMatch> h = headingAt(p); h && acceptsHeading(*h, p)) {
                if (isAnswerHeading(h->name)) {
                    finishDraft();
                    closePreamble();
                    answers(lines, i + 1, pictureOffset);
                    return;
                }
                startSection(*h, p);
                // "三、阅读下面的文章，完成12～15题。" is a heading and a group at once.
                if (rangeInstruction().match(p).hasMatch())
                    startPreamble(sliceFrom(seg, h->start), p.mid(h->start));
                continue;
            }
            if (const std::optional<NumberMatch> m = numberAt(p, 0); m && acceptsNumber(*m)) {
                startQuestion(*m);
                const Seg rest = sliceFrom(seg, m->end);
                if (!rest.text.trimmed().isEmpty() || !rest.pictures.isEmpty())
                    body(rest);
                continue;
            }
            if (rangeInstruction().match(p).hasMatch() || plainInstruction().match(p).hasMatch()) {
                finishDraft();
                closePreamble();
                endGroup();
                startPreamble(seg, p);
                continue;
            }
            if (!m_draft) {
                m_preamble.append(seg);
                continue;
            }
            // In a reading section, text after a question's options is the next
            // passage.
            if (m_draft->part == Draft::Part::Options && currentSectionReading() && !continuesOptions(p) &&
                !hasMarker(p) && !trimmed.isEmpty()) {
                finishDraft();
                endGroup();
                startPreamble(seg, p);
                continue;
            }
            body(seg);
        }
        finishDraft();
        closePreamble();
    }

    // Lines read as an answer section: headings, numbered answers, ranges.
    void answers(const QList<PaperLine>& lines, qsizetype from, int pictureOffset) {
        finishDraft();
        closePreamble();
        int ordinal = 0;
        QStringList numbersRow;
        QHash<int, Container> keyNumbers;
        for (qsizetype i = from; i < lines.size(); ++i) {
            const Seg seg = makeSeg(lines.at(i).text, lines.at(i).pictures, pictureOffset);
            const QString p = probeOf(seg.text);
            const QString trimmed = p.trimmed();
            if (trimmed.isEmpty() && seg.pictures.isEmpty())
                continue;
            if (const std::optional<HeadingMatch> h = headingAt(p); h && acceptsHeading(*h, p)) {
                if (!isAnswerHeading(h->name))
                    ++ordinal;
                m_entry.reset();
                continue;
            }
            // A table of answers: "题号 1 2 3" over "答案 C A B".
            if (trimmed.startsWith(u"题号"_s)) {
                numbersRow = trimmed.mid(2).split(u' ', Qt::SkipEmptyParts);
                continue;
            }
            if (!numbersRow.isEmpty() && trimmed.startsWith(u"答案"_s)) {
                const QStringList cells = trimmed.mid(2).split(u' ', Qt::SkipEmptyParts);
                if (cells.size() == numbersRow.size()) {
                    for (qsizetype k = 0; k < cells.size(); ++k) {
                        const int n = numbersRow.at(k).toInt();
                        if (n > 0) {
                            m_entries.append(AnswerEntry{ordinal, n, {Seg{cells.at(k), {}, {}}}, {}, false});
                            keyNumbers[ordinal].last = std::max(keyNumbers[ordinal].last, n);
                        }
                    }
                    numbersRow.clear();
                    m_entry.reset();
                    continue;
                }
            }
            numbersRow.clear();
            Container& numbers = keyNumbers[ordinal];
            if (answerRanges(p, ordinal, numbers))
                continue;
            // Numbers that do not go on from the last answer's ("(1)" inside an
            // answer) are part of that answer. Answers run on in one paragraph,
            // so the next number may also stand after a picture or a line's text.
            const qsizetype at = nextAnswerNumber(p, numbers);
            if (at < 0) {
                if (m_entry)
                    entryText(seg);
                continue;
            }
            if (at > skipGaps(p, 0) && m_entry)
                entryText(slice(seg, 0, at));
            const Seg rest = sliceFrom(seg, at);
            const QString restProbe = probeOf(rest.text);
            numberedAnswers(rest, restProbe, *numberAt(restProbe, 0), ordinal, numbers);
        }
        m_entry.reset();
    }

    void finish() {
        attachAnswers();
        for (Item& item : m_items)
            resolve(item);
        sumTitleScores();
        QStringList formulas;
        for (Item& item : m_items) {
            if (item.q.notes.contains(kFormulaNote))
                formulas.append(item.q.isTitle() ? u"材料"_s : u"第"_s + item.q.number + u"题"_s);
            m_out.questions.append(item.q);
        }
        if (!formulas.isEmpty())
            m_out.report.append(formulas.join(u"、"_s) +
                                u"含有Word公式，读不成文字，已在公式的位置标上“〔公式〕”。"_s);
    }

private:
    // ---- Headings and sections

    bool acceptsHeading(const HeadingMatch& h, const QString& p) const {
        bool known = false;
        const QString type = m_parser.typeForHeading(h.name, &known);
        return known || type != stripTi(h.name) || h.name.endsWith(u'题') ||
               anyScorePattern().match(p).hasMatch() || h.name.contains(u"阅读"_s) ||
               h.name.contains(u"部分"_s) || isAnswerHeading(h.name);
    }

    static bool isAnswerHeading(const QString& name) {
        return name.startsWith(u"参考答案"_s) || name.startsWith(u"答案"_s) || name.startsWith(u"标准答案"_s);
    }

    static QString stripTi(const QString& name) {
        return name.size() > 1 && name.endsWith(u'题') ? name.chopped(1) : name;
    }

    void startSection(const HeadingMatch& h, const QString& p) {
        finishDraft();
        closePreamble();
        endGroup();
        ParsedSection s;
        s.heading = h.name;
        s.type = m_parser.typeForHeading(h.name, &s.typeKnown);
        const QRegularExpressionMatch each = scoreEachPattern().match(p);
        if (each.hasMatch()) {
            const double score = each.captured(1).toDouble();
            s.score = int(score + 0.5);
            if (double(s.score) != score)
                m_out.report.append(u"“"_s + h.name + u"”每题"_s + each.captured(1) +
                                    u"分，分值只能是整数，按"_s + QString::number(s.score) + u"分导入。"_s);
        }
        s.reading = h.name.contains(u"阅读"_s);
        m_out.sections.append(s);
        m_section = int(m_out.sections.size() - 1);
        m_sectionOrdinal += 1;
        m_containers[m_section] = Container{};
    }

    bool currentSectionReading() const { return m_section >= 0 && m_out.sections.at(m_section).reading; }

    // ---- Numbers

    bool acceptsNumber(const NumberMatch& m) {
        Container& section = m_containers[m_section];
        // A group's sub-questions may be numbered their own way; the section's
        // numbers end the group.
        if (m_group.index >= 0) {
            const bool sectionStyle = section.style != NumberStyle::None && m.style == section.style &&
                                      m_group.container.style != NumberStyle::None &&
                                      m_group.container.style != section.style;
            const bool pastRange = m_group.to > 0 && m.n > m_group.to && m.style == groupStyle();
            if (sectionStyle || pastRange) {
                if (!fits(section, m))
                    return false;
                finishDraft();
                endGroup();
                return true;
            }
            return fits(m_group.container, m);
        }
        return fits(section, m);
    }

    NumberStyle groupStyle() const {
        return m_group.container.style != NumberStyle::None ? m_group.container.style
                                                            : m_containers.value(m_section).style;
    }

    bool fits(const Container& c, const NumberMatch& m) const {
        if (c.style != NumberStyle::None && c.style != m.style)
            return false;
        if (c.last == 0 || m.n > c.last)
            return true;
        // Numbers that start again at 1 after a complete question: a new run.
        return m.n == 1 && m_draft && (!m_draft->options.isEmpty() || m_draft->answered);
    }

    void startQuestion(const NumberMatch& m) {
        finishDraft();
        // Text between the heading (or a group's instruction) and the first
        // question: a group's passage, or instructions left out.
        if (!m_preamble.isEmpty() || m_preambleInstruction)
            resolvePreamble();
        Container& section = m_containers[m_section];
        if (section.style == NumberStyle::None)
            section.style = m.style;
        section.last = std::max(section.last, m.n);
        m_draft = Draft{};
        m_draft->number = QString::number(m.n);
        m_draft->n = m.n;
        m_draft->section = m_section;
        if (m_group.index >= 0) {
            if (m_group.container.style == NumberStyle::None)
                m_group.container.style = m.style;
            m_group.container.last = std::max(m_group.container.last, m.n);
            if (m_group.members < kMaxGroupMembers) {
                m_draft->group = m_group.index;
                m_draft->groupNumber = ++m_group.members;
            }
        }
    }

    // ---- Preambles and groups

    void startPreamble(const Seg& seg, const QString& p) {
        m_preamble = {seg};
        m_preambleInstruction = true;
        const QRegularExpressionMatch range = rangeInstruction().match(p);
        m_preambleTo = range.hasMatch() ? range.captured(2).toInt() : -1;
    }

    void resolvePreamble() {
        QList<Seg> kept;
        QStringList dropped;
        for (const Seg& s : std::as_const(m_preamble)) {
            const QString text = trimSpaces(withoutMarks(s.text));
            if (!text.isEmpty() && m_descriptions.contains(text))
                continue;
            kept.append(s);
        }
        bool group = m_preambleInstruction || (currentSectionReading() && !kept.isEmpty());
        if (!group && m_section >= 0) {
            QList<Seg> passage;
            for (const Seg& s : std::as_const(kept)) {
                if (s.pictures.isEmpty() && instructionWords().match(probeOf(s.text)).hasMatch())
                    dropped.append(shortened(s.text));
                else
                    passage.append(s);
            }
            kept = passage;
            group = !kept.isEmpty();
        } else if (!group) {
            for (const Seg& s : std::as_const(kept))
                dropped.append(shortened(s.text));
            kept.clear();
        }
        if (!dropped.isEmpty()) {
            const QString where = m_section >= 0
                                      ? u"“"_s + m_out.sections.at(m_section).heading + u"”下的文字"_s
                                      : u"第一道题之前的文字"_s;
            m_out.report.append(where + u"没有作为试题导入："_s + dropped.join(u" / "_s));
        }
        if (group && !kept.isEmpty()) {
            endGroup();
            m_group.index = m_groups++;
            m_group.to = m_preambleTo;
            m_group.container = Container{};
            Item title;
            title.q.section = m_section;
            title.sectionOrdinal = m_sectionOrdinal;
            title.q.group = m_group.index;
            title.q.groupNumber = 0;
            const QList<int> pictures = picturesOf(kept);
            title.q.stem = joinLines(kept);
            if (!pictures.isEmpty())
                title.q.stemPicture = pictures.first();
            if (pictures.size() > 1)
                title.q.notes.append(u"材料有"_s + QString::number(pictures.size()) +
                                     u"张图片，只导入了第一张"_s);
            m_items.append(title);
        }
        m_preamble.clear();
        m_preambleInstruction = false;
        m_preambleTo = -1;
    }

    // Text that no question followed: left out, said in the report.
    void closePreamble() {
        if (m_preamble.isEmpty()) {
            m_preambleInstruction = false;
            return;
        }
        QStringList dropped;
        for (const Seg& s : std::as_const(m_preamble)) {
            const QString text = trimSpaces(withoutMarks(s.text));
            if (!text.isEmpty() && !m_descriptions.contains(text))
                dropped.append(shortened(s.text));
        }
        if (!dropped.isEmpty())
            m_out.report.append(u"没有作为试题导入的文字："_s + dropped.join(u" / "_s));
        m_preamble.clear();
        m_preambleInstruction = false;
    }

    void endGroup() { m_group = GroupState{}; }

    // ---- A question's lines

    bool continuesOptions(const QString& p) const {
        if (!m_draft)
            return false;
        const qsizetype i = skipGaps(p, 0);
        return letterLabelAt(p, i, int(m_draft->options.size())).has_value();
    }

    static bool hasMarker(const QString& p) {
        return answerMarkerAnywhere().match(p).hasMatch() || answerMarkerAtStart().match(p).hasMatch() ||
               explanationMarkerAnywhere().match(p).hasMatch() ||
               explanationMarkerAtStart().match(p).hasMatch();
    }

    struct Marker {
        qsizetype start = -1;
        qsizetype end = -1;
        bool answer = false;
    };

    // Every answer and explanation marker of a line, in order, none overlapping.
    static QList<Marker> markersOf(const QString& p) {
        QList<Marker> found;
        for (const auto& [re, answer] :
             {std::pair{&answerMarkerAnywhere(), true}, std::pair{&explanationMarkerAnywhere(), false}}) {
            QRegularExpressionMatchIterator it = re->globalMatch(p);
            while (it.hasNext()) {
                const QRegularExpressionMatch m = it.next();
                found.append({m.capturedStart(), m.capturedEnd(), answer});
            }
        }
        for (const auto& [re, answer] :
             {std::pair{&answerMarkerAtStart(), true}, std::pair{&explanationMarkerAtStart(), false}}) {
            if (const QRegularExpressionMatch m = re->match(p); m.hasMatch())
                found.append({m.capturedStart(), m.capturedEnd(), answer});
        }
        std::sort(found.begin(), found.end(),
                  [](const Marker& a, const Marker& b) { return a.start < b.start; });
        QList<Marker> out;
        for (const Marker& m : std::as_const(found)) {
            if (out.isEmpty() || m.start >= out.last().end)
                out.append(m);
        }
        return out;
    }

    // A question's line: text before a marker goes where the question is; an
    // answer marker starts the answer, an explanation marker the explanation
    // (which keeps its marker: "【解析】…").
    void body(const Seg& seg) {
        const QString p = probeOf(seg.text);
        const QList<Marker> markers = markersOf(p);
        if (markers.isEmpty()) {
            content(seg);
            return;
        }
        if (const Seg before = slice(seg, 0, markers.first().start); !isBlank(before))
            content(before);
        for (qsizetype k = 0; k < markers.size(); ++k) {
            const Marker& m = markers.at(k);
            const Seg rest =
                slice(seg, m.end, k + 1 < markers.size() ? markers.at(k + 1).start : seg.text.size());
            if (m.answer) {
                m_draft->part = Draft::Part::Answer;
                m_draft->answered = true;
                if (!isBlank(rest))
                    content(rest);
            } else {
                m_draft->part = Draft::Part::Explanation;
                Seg kept{seg.text.mid(m.start, m.end - m.start).trimmed(), {}, {}};
                appendTo(kept, rest);
                m_draft->explanation.append(kept);
            }
        }
    }

    void content(const Seg& seg) {
        switch (m_draft->part) {
        case Draft::Part::Answer:
            m_draft->answer.append(seg);
            return;
        case Draft::Part::Explanation:
            m_draft->explanation.append(seg);
            return;
        default:
            break;
        }
        const QString p = probeOf(seg.text);
        const qsizetype i = skipGaps(p, 0);
        const int next = int(m_draft->options.size());
        const auto letters = [](const QString& q, qsizetype at, int index) {
            return letterLabelAt(q, at, index);
        };
        const QList<Label> labels = next < kMaxOptions ? labelSequence(p, i, next, letters) : QList<Label>{};
        // A lone "A 字" is a word, not an option: it takes a second label on
        // its line, or options already begun that way.
        const bool spaceOnly = !labels.isEmpty() && labels.first().form == LabelForm::Space &&
                               labels.size() < 2 && !(next > 0 && m_draft->optionForm == LabelForm::Space);
        if (!labels.isEmpty() && !spaceOnly) {
            if (next == 0)
                m_draft->optionForm = labels.first().form;
            m_draft->options += optionsFrom(seg, labels);
            m_draft->part = Draft::Part::Options;
            return;
        }
        if (m_draft->part == Draft::Part::Stem && m_draft->options.isEmpty()) {
            const int circledNext = m_draft->circledRun;
            const auto circled = [](const QString& q, qsizetype at, int index) {
                return circledLabelAt(q, at, index);
            };
            const QList<Label> c = labelSequence(p, i, circledNext, circled);
            if (!c.isEmpty() && (c.size() >= 2 || circledNext > 0)) {
                m_draft->stem.append(StemSeg{seg, optionsFrom(seg, c)});
                m_draft->circledRun += int(c.size());
                return;
            }
            const qsizetype inlineAt = inlineOptionsStart(p);
            if (inlineAt > 0) {
                m_draft->stem.append(StemSeg{slice(seg, 0, inlineAt), {}});
                m_draft->circledRun = 0;
                content(sliceFrom(seg, inlineAt));
                return;
            }
        }
        if (m_draft->part == Draft::Part::Options && !withoutMarks(seg.text).trimmed().isEmpty())
            m_draft->stemAfterOptions = true;
        m_draft->stem.append(StemSeg{seg, {}});
        m_draft->circledRun = 0;
    }

    void finishDraft() {
        if (!m_draft)
            return;
        Draft& d = *m_draft;
        Item item;
        ParsedQuestion& q = item.q;
        q.number = d.number;
        q.section = d.section;
        q.group = d.group;
        q.groupNumber = d.groupNumber;
        item.n = d.n;
        item.sectionOrdinal = m_sectionOrdinal;
        item.answered = d.answered && !d.answer.isEmpty();

        // Circled lines are options only when the question has no lettered ones.
        QList<Seg> stem;
        QList<Seg> options = d.options;
        if (d.options.isEmpty()) {
            for (const StemSeg& s : d.stem) {
                if (s.circled.isEmpty()) {
                    stem.append(s.seg);
                } else {
                    options += s.circled;
                    item.circledOptions = true;
                }
            }
        } else {
            for (const StemSeg& s : d.stem)
                stem.append(s.seg);
        }
        const QList<int> stemPictures = picturesOf(stem);
        q.stem = joinLines(stem);
        if (!stemPictures.isEmpty())
            q.stemPicture = stemPictures.first();
        if (stemPictures.size() > 1)
            q.notes.append(u"题干有"_s + QString::number(stemPictures.size()) + u"张图片，只导入了第一张"_s);
        for (const Seg& o : options) {
            q.options.append(joinLines({o}).replace(kCrLf, u" "_s));
            if (!o.pictures.isEmpty())
                q.notes.append(u"选项中的图片没有导入"_s);
        }
        q.notes.removeDuplicates();
        if (d.stemAfterOptions)
            q.notes.append(u"选项后面的文字并入了题干"_s);
        item.answerSegs = d.answer;
        item.rawAnswer = joinLines(d.answer);
        item.answerPictures = picturesOf(d.answer);
        q.explanation = joinLines(d.explanation);

        // "（5分）" at the start or the end of the stem is the question's score.
        static const QRegularExpression scoreAtStart(u"^[（(]\\s*(\\d{1,3})\\s*分\\s*[)）]\\s*"_s);
        static const QRegularExpression scoreAtEnd(u"\\s*[（(]\\s*(\\d{1,3})\\s*分\\s*[)）]$"_s);
        for (const QRegularExpression* re : {&scoreAtStart, &scoreAtEnd}) {
            const QRegularExpressionMatch m = re->match(probeOf(q.stem));
            if (m.hasMatch()) {
                item.ownScore = m.captured(1).toInt();
                q.stem = trimSpaces(q.stem.remove(m.capturedStart(), m.capturedLength()));
                break;
            }
        }
        m_items.append(item);
        m_draft.reset();
    }

    // ---- The answer section

    bool opensAnswerSection(const QString& trimmed, const QList<PaperLine>& lines, qsizetype i) const {
        if (answerSheetTitle().match(trimmed).hasMatch())
            return true;
        const QRegularExpressionMatch m = answerSectionPattern().match(trimmed);
        if (!m.hasMatch())
            return false;
        if (m.captured(1) != u"答案"_s || !m.captured(2).isEmpty())
            return true;
        // A bare "答案：" opens the section only when numbered answers follow;
        // otherwise it is the answer of the question above.
        for (qsizetype k = i + 1; k < lines.size(); ++k) {
            const QString p = probeOf(lines.at(k).text);
            if (p.trimmed().isEmpty())
                continue;
            return numberAt(p, 0).has_value() || headingAt(p).has_value() ||
                   answerRange().match(p).hasMatch() || p.trimmed().startsWith(u"题号"_s);
        }
        return false;
    }

    // Where the next answer's number stands in a line of the answer section: at
    // its start, any number that goes on from the last; after a gap, exactly
    // the next one. -1 when there is none.
    static qsizetype nextAnswerNumber(const QString& p, const Container& numbers) {
        const qsizetype start = skipGaps(p, 0);
        if (const std::optional<NumberMatch> m = numberAt(p, start);
            m && (numbers.style == NumberStyle::None || numbers.style == m->style) &&
            (numbers.last == 0 || m->n > numbers.last))
            return start;
        if (numbers.last == 0)
            return -1;
        for (qsizetype i = start; i < p.size(); ++i) {
            if (!isGap(p.at(i)))
                continue;
            const qsizetype at = skipGaps(p, i);
            if (const std::optional<NumberMatch> m = numberAt(p, at);
                m && m->style == numbers.style && m->n == numbers.last + 1)
                return at;
            i = at;
        }
        return -1;
    }

    bool answerRanges(const QString& p, int ordinal, Container& numbers) {
        const qsizetype start = skipGaps(p, 0);
        QRegularExpressionMatchIterator it = answerRange().globalMatch(p);
        bool any = false;
        qsizetype expected = start;
        QList<AnswerEntry> found;
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            if (p.mid(expected, m.capturedStart() - expected).trimmed().size() > 0)
                return false;
            const int from = m.captured(1).toInt();
            const int to = m.captured(2).toInt();
            QString letters = m.captured(3);
            letters.remove(QRegularExpression(u"[ ,，、]"_s));
            if (to < from || letters.size() != to - from + 1)
                return false;
            for (int n = from; n <= to; ++n)
                found.append(
                    AnswerEntry{ordinal, n, {Seg{QString(letters.at(n - from)), {}, {}}}, {}, false});
            expected = m.capturedEnd();
            any = true;
        }
        if (!any || !p.mid(expected).trimmed().isEmpty())
            return false;
        for (const AnswerEntry& e : std::as_const(found))
            numbers.last = std::max(numbers.last, e.n);
        m_entries += found;
        m_entry.reset();
        return true;
    }

    // "1．C  2．D  3．A": one line may hold several answers, each number the
    // one after the last.
    void numberedAnswers(const Seg& seg, const QString& p, const NumberMatch& first, int ordinal,
                         Container& numbers) {
        numbers.style = first.style;
        QList<std::pair<int, qsizetype>> starts{{first.n, first.end}};
        QList<qsizetype> cuts{0};
        int next = first.n + 1;
        for (qsizetype i = first.end; i < p.size(); ++i) {
            if (!isGap(p.at(i)))
                continue;
            const qsizetype at = skipGaps(p, i);
            const std::optional<NumberMatch> m = numberAt(p, at);
            if (m && m->n == next && m->style == first.style) {
                cuts.append(at);
                starts.append({m->n, m->end});
                ++next;
                i = m->end - 1;
            } else {
                i = at;
            }
        }
        for (qsizetype k = 0; k < starts.size(); ++k) {
            const qsizetype end = k + 1 < cuts.size() ? cuts.at(k + 1) : seg.text.size();
            m_entries.append(AnswerEntry{ordinal, starts.at(k).first, {}, {}, false});
            numbers.last = std::max(numbers.last, starts.at(k).first);
            m_entry = qsizetype(m_entries.size() - 1);
            entryText(slice(seg, starts.at(k).second, end));
        }
    }

    void entryText(const Seg& seg) {
        AnswerEntry& e = m_entries[*m_entry];
        const QList<Marker> markers = markersOf(probeOf(seg.text));
        const qsizetype first = markers.isEmpty() ? seg.text.size() : markers.first().start;
        if (const Seg before = slice(seg, 0, first); !isBlank(before))
            (e.inExplanation ? e.explanation : e.answer).append(before);
        for (qsizetype k = 0; k < markers.size(); ++k) {
            const Marker& m = markers.at(k);
            const Seg rest =
                slice(seg, m.end, k + 1 < markers.size() ? markers.at(k + 1).start : seg.text.size());
            e.inExplanation = !m.answer;
            if (m.answer) {
                if (!isBlank(rest))
                    e.answer.append(rest);
            } else {
                Seg kept{seg.text.mid(m.start, m.end - m.start).trimmed(), {}, {}};
                appendTo(kept, rest);
                e.explanation.append(kept);
            }
        }
    }

    // Answers of the section go to the questions that have none of their own:
    // by major question and number when the section has headings, else the
    // k-th answer numbered n to the k-th question numbered n.
    void attachAnswers() {
        QHash<std::pair<int, int>, int> byKey;
        QHash<int, QList<int>> byNumber;
        for (qsizetype k = 0; k < m_items.size(); ++k) {
            const Item& item = m_items.at(k);
            if (item.q.isTitle())
                continue;
            byKey.insert({item.sectionOrdinal, item.n}, int(k));
            byNumber[item.n].append(int(k));
        }
        QHash<int, int> used;
        QStringList unmatched;
        for (const AnswerEntry& e : std::as_const(m_entries)) {
            int target = -1;
            if (e.sectionOrdinal > 0)
                target = byKey.value({e.sectionOrdinal, e.n}, -1);
            if (target < 0) {
                const QList<int> candidates = byNumber.value(e.n);
                const int k = used.value(e.n);
                if (k < candidates.size())
                    target = candidates.at(k);
            }
            if (target < 0) {
                unmatched.append(QString::number(e.n));
                continue;
            }
            used[e.n] += 1;
            Item& item = m_items[target];
            if (item.answered)
                continue;
            item.answered = true;
            item.answerSegs = e.answer;
            item.rawAnswer = joinLines(e.answer);
            item.answerPictures = picturesOf(e.answer);
            if (item.q.explanation.isEmpty())
                item.q.explanation = joinLines(e.explanation);
        }
        if (!unmatched.isEmpty())
            m_out.report.append(u"答案部分第"_s + unmatched.join(u"、"_s) +
                                u"题找不到对应的试题，没有导入。"_s);
    }

    // ---- Each question in bank terms

    void resolve(Item& item) {
        ParsedQuestion& q = item.q;
        if (q.section >= 0) {
            const ParsedSection& s = m_out.sections.at(q.section);
            q.type = s.type;
            q.typeKnown = s.typeKnown;
        }
        if (q.isTitle()) {
            if (q.stem.contains(PaperSource::equationMark()))
                q.notes.append(kFormulaNote);
            return;
        }
        // The answer.
        QString answer = item.rawAnswer;
        if (!item.answerPictures.isEmpty())
            q.answerPicture = item.answerPictures.first();
        if (item.answerPictures.size() > 1)
            q.notes.append(u"答案有"_s + QString::number(item.answerPictures.size()) +
                           u"张图片，只导入了第一张"_s);
        if (q.options.size() > kMaxOptions)
            q.notes.append(u"选项多于9个"_s);
        if (q.options.size() >= 2) {
            q.choice = true;
            answer = optionAnswer(item, answer);
        } else if (q.options.size() == 1) {
            q.notes.append(u"只找到一个选项"_s);
            q.stem = trimSpaces(q.stem + kCrLf + q.options.first());
            q.options.clear();
        } else if (q.stemPicture >= 0 && !answer.isEmpty() && isLabelAnswer(answer) &&
                   (PaperParser::isChoiceType(q.type) || q.type.isEmpty())) {
            // Options drawn in the stem picture: the answer is their labels.
            q.choice = true;
            answer = compactLabels(answer);
        }
        if (answer.isEmpty() && q.answerPicture < 0)
            q.notes.append(u"没有找到答案"_s);
        q.answer = answer;

        // A paper without headings: the type from the question itself.
        if (q.section < 0) {
            q.type = inferredType(q);
            q.typeKnown = hasType(q.type);
        }
        if (!q.type.isEmpty() && !q.typeKnown)
            q.notes.append(u"题型“"_s + q.type + u"”不在题型库中"_s);
        else if (q.type.isEmpty())
            q.notes.append(u"看不出题型"_s);

        // The score: the question's own, its heading's, the type's default.
        if (item.ownScore >= 0)
            q.score = item.ownScore;
        else if (q.section >= 0 && m_out.sections.at(q.section).score >= 0)
            q.score = m_out.sections.at(q.section).score;
        else
            q.score = defaultScore(q.type);
        if (q.score > 100) {
            q.notes.append(u"分值"_s + QString::number(q.score) + u"超过100，按100分导入"_s);
            q.score = 100;
        }
        const QString all = q.stem + q.options.join(QString()) + q.answer;
        if (all.contains(PaperSource::equationMark()))
            q.notes.append(kFormulaNote);
        if (q.stem.isEmpty() && q.stemPicture < 0)
            q.notes.append(u"没有题干"_s);
    }

    static bool isLabelAnswer(const QString& answer) {
        static const QRegularExpression re(u"^\\s*(?:[A-I][\\s,，、]*)+$|^\\s*(?:[①-⑨][\\s,，、]*)+$"_s);
        return re.match(probeOf(answer)).hasMatch();
    }

    static QString compactLabels(const QString& answer) {
        QString out;
        for (const QChar c : probeOf(answer)) {
            if ((c >= u'A' && c <= u'I') || (c.unicode() >= 0x2460 && c.unicode() <= 0x2468))
                out += c;
        }
        return out;
    }

    // Letters (or circled numbers) become the options they name, as the editor
    // does; an answer that already is an option's text stays.
    QString optionAnswer(Item& item, const QString& raw) {
        ParsedQuestion& q = item.q;
        if (raw.isEmpty())
            return raw;
        QString answer = raw;
        while (!answer.isEmpty() && QStringView(u"。.．;；").contains(answer.back()))
            answer.chop(1);
        const QStringList options = q.options.mid(0, kMaxOptions);
        if (item.circledOptions) {
            QStringList chosen;
            bool ok = isLabelAnswer(answer);
            if (ok) {
                for (const QChar c : compactLabels(answer)) {
                    const int index = c.unicode() - 0x2460;
                    if (index < 0 || index >= options.size() || chosen.contains(options.at(index))) {
                        ok = false;
                        break;
                    }
                    chosen.append(options.at(index));
                }
            }
            if (ok) {
                QStringList ordered;
                for (const QString& o : options)
                    if (chosen.contains(o))
                        ordered.append(o);
                return ordered.join(kCrLf);
            }
        } else if (const auto lines = OptionLabels::answerFromLetters(probeOf(answer), options)) {
            return lines->join(kCrLf);
        }
        const QStringList lines = splitCrLfLines(raw);
        if (!lines.isEmpty() &&
            std::all_of(lines.begin(), lines.end(), [&](const QString& l) { return options.contains(l); }))
            return raw;
        q.notes.append(u"答案“"_s + shortened(raw, 12) + u"”对不上选项"_s);
        return raw;
    }

    QString inferredType(const ParsedQuestion& q) const {
        QString wanted;
        if (q.choice) {
            wanted = u"选择"_s;
        } else {
            static const QRegularExpression judgement(u"^(?:√|×|✓|✗|对|错|正确|错误|T|F|是|否)$"_s);
            static const QRegularExpression blank(u"_{3,}|＿{2,}|（\\s*）|\\(\\s*\\)"_s);
            if (judgement.match(q.answer).hasMatch())
                wanted = u"判断"_s;
            else if (blank.match(q.stem).hasMatch())
                wanted = u"填空"_s;
            else
                wanted = u"问答"_s;
        }
        return hasType(wanted) ? wanted : QString();
    }

    bool hasType(const QString& name) const {
        return std::any_of(m_types.begin(), m_types.end(),
                           [&](const PaperParser::TypeInfo& t) { return t.name == name; });
    }

    int defaultScore(const QString& type) const {
        for (const PaperParser::TypeInfo& t : m_types) {
            if (t.name == type)
                return std::clamp(t.score, 0, 100);
        }
        return 0;
    }

    // A title's score is the sum of its members' (as the bank keeps it); its type
    // is theirs when no heading gave one.
    void sumTitleScores() {
        for (qsizetype k = 0; k < m_items.size(); ++k) {
            ParsedQuestion& title = m_items[k].q;
            if (!title.isTitle())
                continue;
            int sum = 0;
            bool any = false;
            for (qsizetype j = k + 1; j < m_items.size() && m_items.at(j).q.group == title.group; ++j) {
                sum += m_items.at(j).q.score;
                if (!any && title.section < 0) {
                    title.type = m_items.at(j).q.type;
                    title.typeKnown = m_items.at(j).q.typeKnown;
                }
                any = true;
            }
            title.score = std::min(sum, 100);
            if (!any)
                title.notes.append(u"材料后面没有小题"_s);
            if (!title.type.isEmpty() && !title.typeKnown)
                title.notes.append(u"题型“"_s + title.type + u"”不在题型库中"_s);
        }
    }

    struct GroupState {
        int index = -1;
        int to = -1;
        int members = 0;
        Container container;
    };

    const PaperParser& m_parser;
    const QList<PaperParser::TypeInfo>& m_types;
    ParsedPaper& m_out;
    QSet<QString> m_descriptions;

    int m_section = -1;
    int m_sectionOrdinal = 0;
    QHash<int, Container> m_containers;
    std::optional<Draft> m_draft;
    QList<Seg> m_preamble;
    bool m_preambleInstruction = false;
    int m_preambleTo = -1;
    GroupState m_group;
    int m_groups = 0;
    QList<Item> m_items;
    QList<AnswerEntry> m_entries;
    std::optional<qsizetype> m_entry;
};

} // namespace

PaperParser::PaperParser(QList<TypeInfo> types) : m_types(std::move(types)) {}

bool PaperParser::isChoiceType(const QString& type) {
    return type.contains(u"选择"_s) || type.contains(u"单选"_s) || type.contains(u"多选"_s);
}

QString PaperParser::typeForHeading(const QString& heading, bool* known) const {
    bool ignored = false;
    if (!known)
        known = &ignored;
    QString name = heading;
    name.remove(u' ');
    const auto has = [&](const QString& t) {
        return std::any_of(m_types.begin(), m_types.end(), [&](const TypeInfo& i) { return i.name == t; });
    };
    *known = true;
    if (has(name))
        return name;
    const QString stripped = name.size() > 1 && name.endsWith(u'题') ? name.chopped(1) : name;
    if (has(stripped))
        return stripped;
    // A library type the heading starts with: 阅读理解 → 阅读.
    QString longest;
    for (const TypeInfo& t : m_types) {
        if (t.name.size() >= 2 && stripped.startsWith(t.name) && t.name.size() > longest.size())
            longest = t.name;
    }
    if (!longest.isEmpty())
        return longest;
    struct Usual {
        QStringList words;
        QString type;
    };
    static const QList<Usual> usual{
        {{u"选择"_s, u"单选"_s, u"多选"_s}, u"选择"_s},
        {{u"填空"_s}, u"填空"_s},
        {{u"判断"_s, u"是非"_s, u"正误"_s}, u"判断"_s},
        {{u"名词解释"_s, u"名词"_s}, u"名词"_s},
        {{u"解答"_s, u"问答"_s, u"简答"_s, u"计算"_s, u"证明"_s, u"论述"_s}, u"问答"_s},
    };
    for (const Usual& u : usual) {
        for (const QString& word : u.words) {
            if (stripped.contains(word)) {
                *known = has(u.type);
                return u.type;
            }
        }
    }
    *known = false;
    return stripped;
}

ParsedPaper PaperParser::parse(const PaperSource& paper, const PaperSource* answers) const {
    ParsedPaper out;
    out.pictures = paper.pictures;
    out.report = paper.notes;
    Run run(*this, m_types, out);
    run.paper(paper.lines, 0);
    if (answers) {
        const int offset = int(out.pictures.size());
        out.pictures += answers->pictures;
        out.report += answers->notes;
        run.answers(answers->lines, 0, offset);
    }
    run.finish();
    return out;
}

} // namespace helan
