// Whole runs of 自动组卷 against a plain transcription of the draw and of the
// retry loops kept here: a list of candidates per plan row, the k-th taken out,
// knowledge texts in a list. The banks are generated (groups, blocked questions,
// shared, empty and "a|b" knowledge points, difficulties outside the chosen
// range), so are the plans, the modes, the similarity limits, the marks a run
// finds and the generator states it starts from. The run draws from pools it
// gathers once and puts back after every row; a slip there shows as another
// paper, another count of tries or another generator state at the end.
#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

#include "AutoComposerFixture.h"

#include "autocompose/AutoComposeRun.h"
#include "base/RandomSource.h"
#include "model/QuestionTypeLibrary.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;

namespace helan::test {
namespace {

using Mode = AutoComposeRun::Mode;

constexpr int kBanks = 25;
constexpr int kPlansPerBank = 4;
constexpr int kRunsPerPlan = 2; // 200 generator states in all

// The program's generator, written out: uniform integers in [1, n].
struct Generator {
    quint32 x;
    int uniform(int n) {
        x = x * 214013u + 2531011u;
        return 1 + int((x >> 16) & 32767u) % n;
    }
};

// What the draw reads of one QuestionGrid row.
struct GridRow {
    int row;
    bool unit; // 分组号 with the integer value 0: ungrouped, or a group's title
    bool blocked;
    QString type;
    int score;
    QString knowledge;
};

struct PlanRow {
    QString type;
    QString score; // as the plan shows it, for the shortage text
    int available;
    int selectable;
    int chosen;
};

// Grid rows of the units marked for a paper.
using Paper = QList<int>;

// Compared as a vector: Qt 6.4 compares two empty lists of ints by memcmp on
// null pointers, which the undefined-behaviour sanitizer rejects.
std::vector<int> rowsOf(const Paper& paper) {
    return {paper.begin(), paper.end()};
}

struct Outcome {
    Paper a, b;
    QStringList plan; // "题型/分值/组卷题数" in the order drawn
    int tries = 0;
    QString status;
    QString lowest = u"100"_s;
    QStringList messages;
    bool succeeded = false;
    quint32 state = 0;
    int shortPapers = 0; // papers that ran short on the way
};

struct Counts {
    int runs = 0;
    int succeeded = 0;
    int shortRuns = 0;
    int shortPapers = 0;
    int tooAlike = 0;
    int groupsDrawn = 0;
    int sharedTextsKept = 0; // a paper holding both "a" and "a|b"
};

class Reference {
public:
    Reference(QList<GridRow> rows, QList<PlanRow> plan, int chosenTotal, int limit, quint32 seed)
        : m_rows(std::move(rows)), m_plan(std::move(plan)), m_retries(chosenTotal * 10),
          m_limit(limit), m_random{seed} {
        // Ascending by 组卷题数, then 可选题数, then 可用题数; ties keep their order.
        std::stable_sort(m_plan.begin(), m_plan.end(), [](const PlanRow& l, const PlanRow& r) {
            return std::tie(l.chosen, l.selectable, l.available) <
                   std::tie(r.chosen, r.selectable, r.available);
        });
        // The candidates of a plan row, in grid order; the grid stays still during a run.
        for (const PlanRow& p : std::as_const(m_plan)) {
            QList<GridRow>& candidates = m_candidates.emplace_back();
            for (const GridRow& g : std::as_const(m_rows)) {
                if (g.unit && !g.blocked && g.type == p.type && g.score == p.score.toInt())
                    candidates << g;
            }
        }
    }

    Outcome run(Mode mode, Paper a, Paper b) {
        Outcome out;
        for (const PlanRow& p : std::as_const(m_plan))
            out.plan << p.type + u'/' + p.score + u'/' + QString::number(p.chosen);
        const QString name = mode == Mode::Both ? u"A、B"_s : mode == Mode::PaperA ? u"A"_s : u"B"_s;
        const QString done = mode == Mode::PaperA ? u"自动A组卷完毕，请在组卷窗口查看。"_s
                                                  : u"自动组"_s + name + u"卷完毕，请在组卷窗口查看。"_s;
        const QString failed = u"自动组"_s + name + u"卷不成功！"_s;
        if (mode == Mode::Both) {
            for (;;) {
                if (total(a) != 0)
                    a.clear();
                if (total(b) != 0)
                    b.clear();
                bool counted = true;
                if (draw(a, out)) {
                    counted = false;
                    if (draw(b, out)) {
                        counted = true;
                        if (similarity(a, b) > m_limit) {
                            out.status = u"不能满足相似度要求！"_s;
                        } else {
                            out.succeeded = true;
                            out.status.clear();
                        }
                    }
                }
                if (counted) {
                    ++out.tries;
                    if (similarity(a, b) < out.lowest.toInt())
                        out.lowest = QString::number(similarity(a, b));
                }
                if (out.succeeded || out.tries >= m_retries)
                    break;
            }
            if (out.succeeded)
                out.messages << done;
            if (similarity(a, b) > m_limit || total(a) != total(b))
                out.messages << failed;
        } else {
            Paper& paper = mode == Mode::PaperA ? a : b;
            bool drawn = false;
            for (;;) {
                if (total(paper) != 0)
                    paper.clear();
                drawn = draw(paper, out);
                ++out.tries;
                if (drawn) {
                    out.succeeded = true;
                    out.status.clear();
                    out.messages << done;
                }
                if (drawn || out.tries >= m_retries)
                    break;
            }
            if (!drawn)
                out.messages << failed;
        }
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        out.a = a;
        out.b = b;
        out.state = m_random.x;
        return out;
    }

    int total(const Paper& paper) const {
        int sum = 0;
        for (const int row : paper)
            sum += rowAt(row).score;
        return sum;
    }

    int similarity(const Paper& a, const Paper& b) const {
        int common = 0;
        for (const int row : a)
            common += b.contains(row) ? rowAt(row).score : 0;
        const int larger = std::max(total(a), total(b));
        return larger <= 0 ? 0 : common * 100 / larger;
    }

    const GridRow& rowAt(int row) const { return m_rows.at(row - 1); }

private:
    // One paper; false when a plan row runs short, which ends the paper there.
    bool draw(Paper& paper, Outcome& out) {
        QStringList usedPoints;
        for (qsizetype i = 0; i < m_plan.size(); ++i) {
            const PlanRow& p = m_plan.at(i);
            QList<GridRow> candidates = m_candidates.at(i);
            Paper chosen;
            while (chosen.size() < p.chosen && !candidates.isEmpty()) {
                const int k = m_random.uniform(int(candidates.size()));
                const GridRow q = candidates.takeAt(k - 1);
                if (q.knowledge.isEmpty()) {
                    chosen << q.row;
                } else if (!usedPoints.contains(q.knowledge)) {
                    chosen << q.row;
                    usedPoints << q.knowledge;
                }
            }
            if (chosen.size() < p.chosen) {
                out.status = p.score + u"分"_s + p.type + u"题不够选！"_s;
                ++out.shortPapers;
                return false;
            }
            paper << chosen;
        }
        return true;
    }

    QList<GridRow> m_rows;
    QList<PlanRow> m_plan;
    QList<QList<GridRow>> m_candidates;
    int m_retries;
    int m_limit;
    Generator m_random;
};

// Disk writes are slow and durable, so the generated banks go into one course
// bank in one batch: bank i has types of its own ("判断7", "阅读7", …), and a
// plan drawn for it never meets the questions of another.
class DrawProperty : public AutoComposerFixture {
protected:
    static QString typeOf(int base, int bank) { return kTypes.at(base) + QString::number(bank); }

    void SetUp() override {
        AutoComposerFixture::SetUp();
        std::mt19937 rng(20261209);
        QuestionTypeLibrary library(m_store, m_prompter);
        ASSERT_EQ(library.openTypeLibrary(), OpenOutcome::Ready);
        {
            RecordStore::Batch batch(m_store);
            for (int bank = 0; bank < kBanks; ++bank) {
                for (int t = 0; t < kTypes.size(); ++t)
                    ASSERT_TRUE(m_store.append({typeOf(t, bank), 1, QString(), false}));
            }
            ASSERT_TRUE(batch.commit());
        }
        ASSERT_TRUE(m_store.setCurrent(course()));
        RecordStore::Batch batch(m_store, course());
        for (int bank = 0; bank < kBanks; ++bank)
            addBank(rng, bank);
        ASSERT_TRUE(batch.commit());
        // A number for every type a paper could hold, or the composer complains.
        writeNumbering(int(kTypes.size()) * kBanks);
        openComposer();
    }

    // 3 to 30 units of 1 to 3 types. Few scores and points, so that rows share
    // them; "a" beside "a|b", "函数" beside "函数|图象", and many empty points.
    void addBank(std::mt19937& rng, int bank) {
        static const QStringList kPoints{QString(), QString(), QString(), u"a"_s,    u"b"_s,
                                         u"c"_s,    u"a|b"_s,  u"b|c"_s,  u"函数"_s, u"函数|图象"_s};
        const auto pick = [&](int n) { return int(rng() % unsigned(n)); };
        const int types = 1 + pick(3);
        const int points = 4 + pick(int(kPoints.size()) - 3);
        const int units = 3 + pick(28);
        for (int u = 0; u < units; ++u) {
            Question q = question(typeOf(pick(types), bank), 1 + pick(3))
                             .withDifficulty(1 + pick(9))
                             .withKnowledge(kPoints.at(pick(points)));
            q.blocked = pick(10) == 0;
            if (pick(6) != 0) {
                addRecord(q);
                continue;
            }
            // A group: its title is the unit, with its type and the sum of its scores.
            QList<int> scores(1 + pick(3));
            q.score = 0;
            for (int& s : scores)
                q.score += (s = 1 + pick(2));
            q.inGroup(u"组"_s + QString::number(bank) + u'-' + QString::number(u), u"0"_s);
            addRecord(q);
            for (int i = 0; i < scores.size(); ++i) {
                addRecord(question(q.type, scores.at(i))
                              .inGroup(q.groupName, QString::number(i + 1))
                              .withKnowledge(kPoints.at(pick(points))));
            }
        }
    }

    // A plan for one bank. The draw never looks at difficulty: the range
    // bounds the counts only.
    void choosePlan(std::mt19937& rng, int bank) {
        m_auto.reset();
        composer().chooseHighestDifficulty(QString::number(3 + int(rng() % 7)));
        composer().lowestDifficultyPressed();
        composer().chooseLowestDifficulty(QString::number(1 + int(rng() % 3)));
        openAuto();
        changeCounts(rng, bank);
    }

    // Rows of the bank get a count from what their cell offers, mostly the
    // largest, or keep theirs.
    void changeCounts(std::mt19937& rng, int bank) {
        for (int r = 1; r < typeTable().rowCount(); ++r) {
            // Every base name has two characters.
            if (typeTable().text(r, A::TypeNameColumn).mid(2) != QString::number(bank))
                continue;
            if (rng() % 3 == 0 && autoComposer().chosenTotal() > 0)
                continue;
            const QStringList offered = clickCount(r);
            if (offered.size() < 2)
                continue;
            const QString count = rng() % 3 ? offered.last() : offered.at(int(rng() % offered.size()));
            ASSERT_TRUE(typeTable().editInPlace(r, A::ChosenColumn, count));
        }
    }

    QList<GridRow> gridRows() {
        QList<GridRow> rows;
        for (int r = 1; r < grid().rowCount(); ++r) {
            rows << GridRow{r,
                            grid().text(r, P::GroupNumberColumn).toInt() == 0,
                            grid().checked(r, P::BlockedColumn),
                            grid().text(r, P::TypeColumn),
                            grid().text(r, P::ScoreColumn).toInt(),
                            grid().text(r, P::KnowledgeColumn)};
        }
        return rows;
    }

    QList<PlanRow> planSnapshot() {
        QList<PlanRow> rows;
        const GridModel& plan = autoComposer().compositionPlan();
        for (int r = 1; r < plan.rowCount(); ++r) {
            rows << PlanRow{plan.text(r, A::PlanTypeColumn), plan.text(r, A::PlanScoreColumn),
                            plan.text(r, A::PlanAvailableColumn).toInt(),
                            plan.text(r, A::PlanSelectableColumn).toInt(),
                            plan.text(r, A::PlanChosenColumn).toInt()};
        }
        return rows;
    }

    Paper unitsMarked(int column) {
        Paper rows;
        for (int r = 1; r < grid().rowCount(); ++r) {
            if (grid().text(r, P::GroupNumberColumn).toInt() == 0 && grid().checked(r, column))
                rows << r;
        }
        return rows;
    }

    // Marks for a run to find besides those the last runs left: a few ticked
    // or unticked by hand, anywhere in the grid.
    void tickSome(std::mt19937& rng) {
        for (int i = int(rng() % 4); i > 0; --i) {
            const int r = 1 + int(rng() % unsigned(grid().rowCount() - 1));
            const int column = rng() % 2 ? P::PaperAColumn : P::PaperBColumn;
            edit(r, column, !grid().checked(r, column));
        }
    }

    void tally(Counts& counts, const Outcome& expected) {
        ++counts.runs;
        counts.succeeded += expected.succeeded ? 1 : 0;
        counts.shortRuns += expected.status.endsWith(u"题不够选！"_s) ? 1 : 0;
        counts.tooAlike += expected.status == u"不能满足相似度要求！"_s ? 1 : 0;
        counts.shortPapers += expected.shortPapers;
        for (const Paper* paper : {&expected.a, &expected.b}) {
            QStringList texts;
            for (const int row : *paper) {
                counts.groupsDrawn += grid().text(row, P::GroupNumberColumn) == u"0"_s ? 1 : 0;
                texts << grid().text(row, P::KnowledgeColumn);
            }
            const bool both = (texts.contains(u"a"_s) && texts.contains(u"a|b"_s)) ||
                              (texts.contains(u"函数"_s) && texts.contains(u"函数|图象"_s));
            counts.sharedTextsKept += both ? 1 : 0;
        }
    }

    static inline const QStringList kTypes{u"判断"_s, u"选择"_s, u"填空"_s, u"阅读"_s};
    RandomSource m_random{1};
};

TEST_F(DrawProperty, RunsDrawWhatThePlainDrawDraws) {
    static const QList<Mode> kModes{Mode::Both, Mode::PaperA, Mode::PaperB};
    static const char* const kModeNames[] = {"A and B", "A", "B"};
    static const QStringList kLimits{u"100"_s, u"90"_s, u"70"_s, u"50"_s, u"10"_s};
    std::mt19937 rng(1);
    Counts counts;
    quint32 seed = 1;
    for (int bank = 0; bank < kBanks; ++bank) {
        for (int plan = 0; plan < kPlansPerBank; ++plan) {
            choosePlan(rng, bank);
            // One run object for several runs, as the window keeps it.
            AutoComposeRun run(autoComposer(), m_random);
            for (int k = 0; k < kRunsPerPlan; ++k, seed = seed * 2654435761u + 12345u) {
                // Between runs the window lets the counts change.
                if (k > 0 && rng() % 2)
                    changeCounts(rng, bank);
                const int mode = int(rng() % kModes.size());
                const QString limit = kLimits.at(int(rng() % kLimits.size()));
                tickSome(rng);
                SCOPED_TRACE(::testing::Message()
                             << "bank " << bank << ", plan " << plan << ", run " << k << ", state " << seed
                             << ", papers " << kModeNames[mode] << ", limit " << limit.toStdString()
                             << ", rows " << AutoComposerFixture::planRows().join(u", "_s).toStdString());
                if (autoComposer().chosenTotal() == 0)
                    continue; // nothing could be chosen: 开始 stays disabled

                Reference reference(gridRows(), planSnapshot(), autoComposer().chosenTotal(), limit.toInt(),
                                    seed);
                const Outcome expected = reference.run(kModes.at(mode), unitsMarked(P::PaperAColumn),
                                                       unitsMarked(P::PaperBColumn));
                tally(counts, expected);

                autoComposer().setPaperChoice(kModes.at(mode) != Mode::PaperB,
                                              kModes.at(mode) != Mode::PaperA);
                autoComposer().setSimilarityLimit(limit);
                m_random.setState(seed);
                m_prompter.clear();
                m_prompter.answerOkCancel(true);
                if (!expected.succeeded)
                    m_prompter.answerYesNo(false, u"恢复开始前的选择？"_s);
                run.startOrStop();
                ASSERT_TRUE(run.running());
                run.runToEnd();
                EXPECT_TRUE(m_prompter.done());

                EXPECT_EQ(AutoComposerFixture::planRows(), expected.plan);
                EXPECT_EQ(rowsOf(unitsMarked(P::PaperAColumn)), rowsOf(expected.a));
                EXPECT_EQ(rowsOf(unitsMarked(P::PaperBColumn)), rowsOf(expected.b));
                EXPECT_EQ(run.tries(), expected.tries);
                EXPECT_EQ(autoComposer().statusText(), expected.status);
                EXPECT_EQ(autoComposer().lowestSimilarityText(), expected.lowest);
                EXPECT_EQ(m_prompter.messages(), expected.messages);
                EXPECT_EQ(m_random.state(), expected.state);
                EXPECT_EQ(composer().totalText(P::Paper::A).toInt(), reference.total(expected.a));
                EXPECT_EQ(composer().totalText(P::Paper::B).toInt(), reference.total(expected.b));
                EXPECT_EQ(composer().similarityText().toInt(), reference.similarity(expected.a, expected.b));
                if (HasFailure())
                    return;
            }
        }
    }
    // The generated cases reach every way a run ends and the rules worth a check.
    EXPECT_GE(counts.runs, 150);
    EXPECT_GE(counts.succeeded, 30);
    EXPECT_GE(counts.shortRuns, 10);
    EXPECT_GE(counts.shortPapers, 100);
    EXPECT_GE(counts.tooAlike, 8);
    EXPECT_GE(counts.groupsDrawn, 20);
    EXPECT_GE(counts.sharedTextsKept, 5);
}

} // namespace
} // namespace helan::test
