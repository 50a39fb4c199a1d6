// The row sort on a grid of 10,000 rows and 15 columns, by a text column and by a
// number column in both directions, beside the insertion algorithm it replaces and
// beside std::stable_sort of the bare keys. Ends with one line per goal.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QStringList>

#include <benchmark/benchmark.h>

#include "../tests/grid/InsertionSortReference.h"
#include "base/Gbk.h"
#include "base/Prompter.h"
#include "grid/GridModel.h"
#include "grid/GridNumbers.h"
#include "grid/GridSort.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

constexpr int kRows = 10000;
constexpr int kColumns = 15;
constexpr int kTextColumn = 3;
constexpr int kNumberColumn = 10;

using Clock = std::chrono::steady_clock;
std::map<std::string, double> g_seconds; // mean seconds per run, by name

double since(Clock::time_point t0)
{
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Key texts of the two sorted columns, fixed for the whole run: question-like texts
// from a small stock (so many ties) and scores 1 … 100.
struct Keys {
    QStringList texts;
    QStringList numbers;
    Keys()
    {
        std::mt19937 rng(7);
        const QString pool = u"三角形的内角和等于多少度请说明理由已知函数图像经过点求解析式ABCabc123"_s;
        for (int i = 0; i < kRows; ++i) {
            QString s;
            const int length = 1 + int(rng() % 12);
            for (int k = 0; k < length; ++k)
                s.append(pool.at(qsizetype(rng() % quint32(pool.size()))));
            texts << s;
            numbers << QString::number(1 + rng() % 100);
        }
    }
};

const Keys& keys()
{
    static const Keys k;
    return k;
}

// The editor's question grid: 15 columns, the last a hidden record ID.
std::unique_ptr<GridModel> makeGrid()
{
    auto grid = std::make_unique<GridModel>(kColumns);
    grid->setColumnKind(kNumberColumn, ColumnKind::Number);
    for (int c : {11, 12, 13})
        grid->setColumnKind(c, ColumnKind::Checkbox);
    grid->setColumnKind(14, ColumnKind::Number);
    grid->setRowCount(kRows + 1);
    for (int r = 1; r <= kRows; ++r) {
        for (int c = 0; c < 10; ++c)
            grid->setText(r, c, u"cell "_s + QString::number(r % 97));
        grid->setChecked(r, 11 + r % 3, true);
        grid->setNumber(r, 14, r);
    }
    return grid;
}

// Puts the key column back into its unsorted state.
void refill(GridModel& grid)
{
    for (int r = 1; r <= kRows; ++r) {
        grid.setText(r, kTextColumn, keys().texts[r - 1]);
        grid.setText(r, kNumberColumn, keys().numbers[r - 1]);
    }
}

class NoPrompter : public Prompter {
public:
    void message(const QString&, const QString&, Icon) override {}
    bool okCancel(const QString&, const QString&) override { return false; }
    bool yesNo(const QString&, const QString&) override { return false; }
    std::optional<QString> input(const QString&, const QString&, const QString&, bool) override
    {
        return std::nullopt;
    }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    std::optional<unsigned int> chooseColour(unsigned int) override { return std::nullopt; }
};

enum Variant { TextUp, TextDown, NumberUp, NumberDown };
const char* const kVariantNames[] = {"text_up", "text_down", "number_up", "number_down"};

int columnOf(int variant)
{
    return variant < NumberUp ? kTextColumn : kNumberColumn;
}
SortKind kindOf(int variant)
{
    return variant < NumberUp ? SortKind::Text : SortKind::Number;
}
bool upOf(int variant)
{
    return variant == TextUp || variant == NumberUp;
}

void BM_SortRows(benchmark::State& state)
{
    const int v = int(state.range(0));
    auto grid = makeGrid();
    NoPrompter prompter;
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        refill(*grid);
        state.ResumeTiming();
        const auto t0 = Clock::now();
        sortRows(*grid, columnOf(v), 1, kRows, kindOf(v), prompter, true, upOf(v));
        total += since(t0);
    }
    g_seconds[std::string("sortrows_") + kVariantNames[v]] = total / double(state.iterations());
}

void BM_Insertion(benchmark::State& state)
{
    const int v = int(state.range(0));
    auto grid = makeGrid();
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        refill(*grid);
        state.ResumeTiming();
        const auto t0 = Clock::now();
        test::InsertionSortReference::sortRows(*grid, columnOf(v), 1, kRows, kindOf(v), true, upOf(v));
        total += since(t0);
    }
    g_seconds[std::string("insertion_") + kVariantNames[v]] = total / double(state.iterations());
}

// The floor: a stable sort of keys already taken out of the grid.
void BM_StableSortKeys(benchmark::State& state)
{
    const int v = int(state.range(0));
    std::vector<QByteArray> textKeys;
    std::vector<double> numberKeys;
    for (int i = 0; i < kRows; ++i) {
        textKeys.push_back(toGbk(keys().texts[i]));
        numberKeys.push_back(leadingNumber(keys().numbers[i]));
    }
    const bool up = upOf(v);
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<QByteArray> texts = textKeys;
        std::vector<double> numbers = numberKeys;
        state.ResumeTiming();
        const auto t0 = Clock::now();
        if (kindOf(v) == SortKind::Text) {
            if (up)
                std::stable_sort(texts.begin(), texts.end());
            else
                std::stable_sort(texts.begin(), texts.end(), std::greater<>());
            benchmark::DoNotOptimize(texts.data());
        } else {
            if (up)
                std::stable_sort(numbers.begin(), numbers.end());
            else
                std::stable_sort(numbers.begin(), numbers.end(), std::greater<>());
            benchmark::DoNotOptimize(numbers.data());
        }
        total += since(t0);
    }
    g_seconds[std::string("stablesort_") + kVariantNames[v]] = total / double(state.iterations());
}

BENCHMARK(BM_SortRows)->DenseRange(TextUp, NumberDown)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StableSortKeys)->DenseRange(TextUp, NumberDown)->Unit(benchmark::kMillisecond);
// Quadratic: one run each is enough.
BENCHMARK(BM_Insertion)->DenseRange(TextUp, NumberDown)->Iterations(1)->Unit(benchmark::kMillisecond);

void goal(const char* name, double figure, const char* target, bool ok)
{
    std::printf("goal %s: %.1fx (target %s) %s\n", name, figure, target, ok ? "ok" : "short");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const auto s = [](const std::string& k) { return g_seconds.count(k) ? g_seconds[k] : 0.0; };
    // The worst variant decides each goal.
    double vsInsertion = -1;
    double vsStableSort = -1;
    std::printf("\n");
    for (const char* v : kVariantNames) {
        const double fast = s(std::string("sortrows_") + v);
        const double slow = s(std::string("insertion_") + v);
        const double floor = s(std::string("stablesort_") + v);
        std::printf("%-12s sortRows %.2f ms, insertion %.1f ms, stable_sort of keys %.2f ms\n", v, fast * 1e3,
                    slow * 1e3, floor * 1e3);
        if (fast > 0 && slow > 0)
            vsInsertion = vsInsertion < 0 ? slow / fast : std::min(vsInsertion, slow / fast);
        if (fast > 0 && floor > 0)
            vsStableSort = std::max(vsStableSort, fast / floor);
    }
    goal("sort_vs_insertion", std::max(vsInsertion, 0.0), ">=50x", vsInsertion >= 50);
    goal("sort_vs_stable_sort", std::max(vsStableSort, 0.0), "<=5x", vsStableSort >= 0 && vsStableSort <= 5);
    return 0;
}
