// The running tally of the composition window against a plain recount, over
// random sequences of what the window does to its grid: ticks, score and type
// edits, group changes, sorts, rows added and removed.
#include <random>

#include <gtest/gtest.h>

#include "compose/PaperTally.h"
#include "grid/GridModel.h"

using namespace helan;
using namespace Qt::StringLiterals;

namespace {

enum Column { Name, Number, Type, Score, A, B, kColumns };

PaperTally::Share shareOf(const GridModel& g, int r) {
    PaperTally::Share s;
    const QString number = g.text(r, Number);
    const bool counts = (number.isEmpty() || number == u"0") && g.text(r, Score).toInt() > 0;
    s.a = counts && g.checked(r, A);
    s.b = counts && g.checked(r, B);
    if (s.a || s.b) {
        s.type = g.text(r, Type);
        s.score = g.text(r, Score).toInt();
    }
    return s;
}

QHash<QString, PaperTally::Sums> recount(const GridModel& g) {
    QHash<QString, PaperTally::Sums> sums;
    for (int r = 1; r < g.rowCount(); ++r) {
        const PaperTally::Share s = shareOf(g, r);
        if (!s.a && !s.b)
            continue;
        PaperTally::Sums& t = sums[s.type];
        t.a += s.a ? s.score : 0;
        t.b += s.b ? s.score : 0;
        t.common += s.a && s.b ? s.score : 0;
    }
    return sums;
}

bool sameSums(QHash<QString, PaperTally::Sums> tally, const QHash<QString, PaperTally::Sums>& truth) {
    // Types whose sums went back to nothing may stay in the tally as zeros.
    for (auto it = tally.begin(); it != tally.end();) {
        it = it->a == 0 && it->b == 0 && it->common == 0 ? tally.erase(it) : std::next(it);
    }
    if (tally.size() != truth.size())
        return false;
    for (auto it = truth.cbegin(); it != truth.cend(); ++it) {
        const PaperTally::Sums t = tally.value(it.key());
        if (t.a != it->a || t.b != it->b || t.common != it->common)
            return false;
    }
    return true;
}

TEST(PaperTallyTest, FollowsEveryKindOfChangeLikeARecount) {
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        const auto pick = [&rng](int n) { return int(rng() % std::uint32_t(n)); };
        GridModel g(kColumns);
        g.setColumnKind(A, ColumnKind::Checkbox);
        g.setColumnKind(B, ColumnKind::Checkbox);
        const auto fill = [&](int r) {
            const bool grouped = pick(4) == 0;
            g.setText(r, Name, grouped ? u"组"_s + QString::number(pick(5)) : QString());
            g.setText(r, Number, grouped ? QString::number(pick(3)) : QString());
            g.setText(r, Type, u"型"_s + QString::number(pick(4)));
            g.setText(r, Score, QString::number(pick(6)));
            g.setChecked(r, A, pick(2) == 0);
            g.setChecked(r, B, pick(3) == 0);
        };
        g.setRowCount(1 + 30 + pick(30));
        for (int r = 1; r < g.rowCount(); ++r)
            fill(r);
        PaperTally tally(g, {{A, B, Number, Score, Type}, Name, Number},
                         [&g](int r) { return shareOf(g, r); },
                         [&g](int r) { return g.text(r, Number) == u"0"; });
        for (int step = 0; step < 300; ++step) {
            const int r = 1 + pick(g.rowCount() - 1);
            switch (pick(9)) {
            case 0: case 1: case 2:
                g.setChecked(r, pick(2) ? A : B, pick(2) == 0);
                break;
            case 3:
                g.setText(r, Score, QString::number(pick(8)));
                break;
            case 4:
                g.setText(r, Type, u"型"_s + QString::number(pick(4)));
                break;
            case 5:
                g.setText(r, pick(2) ? Name : Number, pick(2) ? QString() : QString::number(pick(3)));
                break;
            case 6: {
                // A sort lays the rows down in a new order.
                std::vector<int> order(size_t(g.rowCount() - 1));
                for (size_t i = 0; i < order.size(); ++i)
                    order[i] = int(i) + 1;
                std::shuffle(order.begin(), order.end(), rng);
                g.reorderRows(1, order);
                break;
            }
            case 7:
                fill(g.appendRow());
                break;
            default:
                if (g.rowCount() > 5)
                    g.removeRow(r);
                break;
            }
            if (pick(3) == 0 || step == 299) {
                ASSERT_TRUE(sameSums(tally.sumsByType(), recount(g))) << "step " << step;
                const QString name = u"组"_s + QString::number(pick(5));
                QList<int> rows;
                int title = 0;
                for (int k = 1; k < g.rowCount(); ++k) {
                    if (g.text(k, Name) == name) {
                        rows << k;
                        if (!title && g.text(k, Number) == u"0")
                            title = k;
                    }
                }
                ASSERT_EQ(tally.groupRows(name), rows) << "step " << step;
                ASSERT_EQ(tally.titleRow(name), title) << "step " << step;
            }
        }
    }
}

} // namespace
