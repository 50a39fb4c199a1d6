// Shows the composition window on the sample mathematics course for screenshots:
//   compose_screenshot composer|numbering|auto|header|paper [seconds]
// "composer": a few questions ticked for papers A and B, three type colours;
// "numbering": the numbering styles window with a style added; "auto": the
// window 自动组卷 after a two-paper run under a 50 % limit ("autohelp": and its
// help window); "header": the window 卷头设置 on a printed form across A3;
// "paper": all of the course on paper A in that form, written as .docx, HTML and PDF
// into $HELAN_PAPER_FOLDER. Quits after the seconds.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "QuietPrompter.h"
#include "SampleFolder.h"
#include "autocompose/AutoComposeRun.h"
#include "autocompose/AutoComposer.h"
#include "autocompose/AutoComposerWindow.h"
#include "base/RandomSource.h"
#include "compose/BuiltInWordProcessor.h"
#include "compose/DocumentOpener.h"
#include "compose/NumberingSettings.h"
#include "compose/NumberingSettingsWindow.h"
#include "compose/PaperComposer.h"
#include "compose/PaperComposerWindow.h"
#include "compose/PaperGeneration.h"
#include "compose/PaperHeaderSettings.h"
#include "compose/PaperHeaderWindow.h"
#include "compose/TypeColourSettings.h"
#include "model/CourseBank.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

void writeColours() {
    GridModel grid(1);
    grid.setText(0, 0, u"序号"_s);
    for (const RgbColour colour : {0xFFE4C4u, 0xE0FFE0u, 0xDDEEFFu}) {
        const int row = grid.appendRow();
        grid.setText(row, 0, QString::number(row));
        grid.setColour(CellRange(row, 0), colour);
    }
    grid.save(TypeColourSettings::fileName());
}

void tick(GridModel& grid, int row, int column) {
    Q_EMIT grid.events().leftButtonDown(0, 0, Qt::NoModifier);
    grid.setCursor(row, column);
    Q_EMIT grid.events().leftButtonUp(0, 0, Qt::NoModifier);
    grid.editInPlace(row, column, true);
}

// Confirms the run; its messages are only kept.
class ConfirmingPrompter : public QuietPrompter {
public:
    bool okCancel(const QString&, const QString&) override { return true; }
};

// About half of what each type row offers, both papers, a limit of 50 %.
void startAutoComposition(PaperComposer& composer, QWidget& composerWindow) {
    composer.startAutoComposition();
    auto* window = composerWindow.findChild<AutoComposerWindow*>();
    if (!window)
        return;
    AutoComposer& logic = window->logic();
    GridModel& types = logic.typeTable();
    for (int r = 1; r < types.rowCount(); ++r) {
        types.setCursor(r, AutoComposer::ChosenColumn);
        Q_EMIT types.events().leftButtonUp(0, 0, Qt::NoModifier);
        const int offered = int(types.pendingItems().size()) - 1;
        if (types.editingAllowed() && offered >= 2)
            types.editInPlace(r, AutoComposer::ChosenColumn, QString::number(offered / 2));
    }
    window->paperABox().click();
    window->paperBBox().click();
    if (auto* limit = window->findChild<QComboBox*>())
        limit->setCurrentText(u"50"_s);
    window->startButton().click();
}

} // namespace

// Papers are written, not shown.
class KeepingOpener : public DocumentOpener {
public:
    bool openDocument(const QString&) override { return true; }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : u"composer"_s;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 4;

    QTemporaryDir dir;
    QString error;
    if (!SampleFolder::write(dir.path(), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QDir::setCurrent(dir.path());
    ConfirmingPrompter prompter;

    if (mode == u"numbering"_s) {
        NumberingSettings settings(prompter);
        NumberingSettingsWindow window(settings);
        window.move(40, 40);
        window.show();
        QTimer::singleShot(200, &app, [&] {
            settings.addRow();
            for (int c = 1; c <= 2; ++c)
                settings.grid().setText(10, c, c == 1 ? u"十"_s : u"Ⅹ"_s);
            settings.grid().setCursor(10, 1);
        });
        QTimer::singleShot(seconds * 1000, &app, [] { QApplication::exit(0); });
        return app.exec();
    }

    // "header" and "paper": the printed form on, across A3 in two columns.
    if (mode == u"header"_s || mode == u"paper"_s) {
        PaperHeader header;
        header.on = true;
        header.examTitle = u"2026—2027学年第一学期期末考试"_s;
        header.minutes = 120;
        header.notes = u"1. 答题前，考生先将自己的姓名、考号填写清楚。\n2. 选择题答案写在括号内。"_s;
        header.page = qgetenv("HELAN_PAPER_PAGE") == "A4" ? PaperHeader::Page::A4 : PaperHeader::Page::A3;
        PaperHeaderSettings::save(SampleFolder::mathCourse(), header);
    }
    if (mode == u"header"_s) {
        PaperHeaderSettings settings(prompter, SampleFolder::mathCourse());
        PaperHeaderWindow window(settings);
        window.move(40, 40);
        window.show();
        QTimer::singleShot(seconds * 1000, &app, [] { QApplication::exit(0); });
        return app.exec();
    }

    // The styles exist already, so the window opens without asking for them.
    NumberingSettings defaults(prompter);
    defaults.open();
    defaults.close();
    writeColours();

    RecordStore store;
    const QString course = SampleFolder::mathCourse();
    if (!store.open(CourseBank::fileName(course), course, SampleFolder::mathPassword()))
        return 1;
    BuiltInWordProcessor word;
    PaperComposer composer(store, prompter, course, word);
    PaperComposerWindow window(composer);
    window.move(10, 10);
    window.show();
    QTimer::singleShot(300, &app, [&] {
        if (mode == u"auto"_s || mode == u"autohelp"_s) {
            startAutoComposition(composer, window);
            if (mode == u"autohelp"_s) {
                for (QAction* action : window.findChildren<QAction*>()) {
                    if (action->text() == u"自动组卷帮助(&H)"_s)
                        QTimer::singleShot(1500, action, &QAction::trigger);
                }
            }
            return;
        }
        GridModel& grid = composer.questionGrid();
        const int last = grid.rowCount() - 1;
        if (mode == u"paper"_s) {
            // Every question of the sample course on paper A, written as .docx,
            // HTML and PDF into the folder named in HELAN_PAPER_FOLDER.
            for (int r = 1; r <= last; ++r)
                if (!grid.checked(r, PaperComposer::BlockedColumn))
                    grid.setChecked(r, PaperComposer::PaperAColumn, true);
            composer.recomputePaperState();
            const QString out = QString::fromLocal8Bit(qgetenv("HELAN_PAPER_FOLDER"));
            for (const PaperComposer::Output output :
                 {PaperComposer::Output::Word, PaperComposer::Output::Html, PaperComposer::Output::Pdf}) {
                composer.setOutput(output);
                composer.hooks().generatePaper = [&](PaperComposer& c, const QString& paper) {
                    KeepingOpener opener;
                    PaperGeneration generation(RandomSource::process(), opener, out + u'/');
                    generation.generatePaper(c, paper);
                };
                composer.generatePaper(PaperComposer::Paper::A);
            }
            std::printf("%s\n", qPrintable(composer.lastPaperFolder()));
            QApplication::exit(0);
            return;
        }
        for (const int row : {1, last - 6, last - 4, last - 1})
            tick(grid, row, PaperComposer::PaperAColumn);
        for (const int row : {1, last - 5, last - 4, last - 2})
            tick(grid, row, PaperComposer::PaperBColumn);
        grid.setCursor(1, PaperComposer::KnowledgeColumn);
    });
    QTimer::singleShot(seconds * 1000, &app, [] { QApplication::exit(0); });
    return app.exec();
}
