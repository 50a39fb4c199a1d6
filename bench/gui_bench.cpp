// The real windows, offscreen, on a generated bank of 100,000 questions (5 % with
// pictures): what a teacher waits for between a click and the repaint it
// causes. The editor shown and painted, 自动 row heights, one step of the
// row-height slider, 升序 on 题文1; the composition window's 自动组卷 opened;
// a paper of 100 questions written as HTML. Each step is timed to the end of
// the events it causes. Ends with one line per goal.
#include <chrono>
#include <cstdio>
#include <functional>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "QuietPrompter.h"
#include "SyntheticBank.h"
#include "autocompose/AutoComposerWindow.h"
#include "base/RandomSource.h"
#include "compose/BuiltInWordProcessor.h"
#include "compose/DocumentOpener.h"
#include "compose/NumberingSettings.h"
#include "compose/PaperComposer.h"
#include "compose/PaperComposerWindow.h"
#include "compose/PaperGeneration.h"
#include "editor/BankEditor.h"
#include "editor/BankEditorWindow.h"
#include "model/CourseBank.h"
#include "store/RecordStore.h"
#include "ui/TextMeasure.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kQuestions = 100000;
const QString kCourse = u"大题库"_s;

// Seconds from the call to the end of the events it caused.
double timed(const std::function<void()>& step) {
    const auto t0 = Clock::now();
    step();
    QApplication::processEvents();
    QApplication::processEvents();
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

void goal(const char* name, double figure, double target) {
    const bool ok = figure > 0 && figure <= target;
    std::printf("goal %s: %.3f s (target <%.1f s) %s\n", name, figure, target, ok ? "ok" : "short");
}

// Papers are written, not shown.
class NoViewer : public DocumentOpener {
public:
    bool openDocument(const QString&) override { return true; }
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QTemporaryDir papers;
    QString error;
    SyntheticBank::Options options;
    options.questionCount = kQuestions;
    options.courseName = kCourse;
    const auto written = Clock::now();
    if (!SyntheticBank::write(dir.path(), options, &error)) {
        std::fprintf(stderr, "cannot write the bank: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("bank of %d questions written in %.1f s\n", kQuestions,
                std::chrono::duration<double>(Clock::now() - written).count());
    QDir::setCurrent(dir.path());
    QuietPrompter prompter;
    {
        NumberingSettings numbering(prompter);
        numbering.open();
        numbering.close();
    }
    RecordStore store;
    if (!store.open(CourseBank::fileName(kCourse), kCourse))
        return 1;

    double editorOpen = 0;
    double autoHeights = 0;
    double sliderStep = 0;
    double sort = 0;
    {
        BankEditor editor(store, prompter, kCourse, countWrappedLines);
        BankEditorWindow* window = nullptr;
        editorOpen = timed([&] {
            window = new BankEditorWindow(editor);
            window->show();
            if (!QTest::qWaitForWindowExposed(window))
                std::fprintf(stderr, "the editor was not shown\n");
        });
        autoHeights = timed([&] { editor.autoRowHeightClicked(); });
        sliderStep = timed([&] { editor.rowHeightSliderMoved(30); });
        editor.grid().setCursor(1, BankEditor::StemText1Column);
        sort = timed([&] { editor.sortCurrentColumn(true); });
        delete window;
    }
    store.setCurrent(kCourse);

    double autoOpen = 0;
    double paper = 0;
    {
        BuiltInWordProcessor word;
        PaperComposer composer(store, prompter, kCourse, word);
        NoViewer viewer;
        PaperComposer::Hooks hooks;
        hooks.generatePaper = [&](PaperComposer& c, const QString& which) {
            PaperGeneration(RandomSource::process(), viewer, papers.path() + u'/').generatePaper(c, which);
        };
        composer.setHooks(hooks);
        PaperComposerWindow window(composer);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            std::fprintf(stderr, "the composition window was not shown\n");
        autoOpen = timed([&] {
            composer.startAutoComposition();
            if (auto* autoWindow = window.findChild<AutoComposerWindow*>())
                if (!QTest::qWaitForWindowExposed(autoWindow))
                    std::fprintf(stderr, "自动组卷 was not shown\n");
        });
        composer.autoComposerClosed();
        for (AutoComposerWindow* autoWindow : window.findChildren<AutoComposerWindow*>())
            delete autoWindow;
        QApplication::processEvents();
        // 100 ungrouped questions spread over the bank.
        GridModel& grid = composer.questionGrid();
        int ticked = 0;
        for (int r = 1; r < grid.rowCount() && ticked < 100; r += 997) {
            if (!grid.text(r, PaperComposer::GroupNumberColumn).isEmpty() ||
                grid.checked(r, PaperComposer::BlockedColumn))
                continue;
            grid.setCursor(r, PaperComposer::PaperAColumn);
            if (grid.editInPlace(r, PaperComposer::PaperAColumn, true))
                ++ticked;
        }
        std::printf("paper A holds %d questions\n", ticked);
        paper = timed([&] { composer.generatePaper(PaperComposer::Paper::A); });
        composer.close();
    }

    goal("gui_editor_open_100000", editorOpen, 1.5);
    goal("gui_auto_row_height_100000", autoHeights, 1.0);
    goal("gui_slider_step_100000", sliderStep, 0.1);
    goal("gui_sort_100000", sort, 1.0);
    goal("gui_autocomposer_open_100000", autoOpen, 1.0);
    goal("gui_paper_100_of_100000", paper, 0.3);
    return 0;
}
