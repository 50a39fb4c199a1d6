// Shows the bank editor on the sample mathematics course for screenshots:
//   editor_screenshot editor|dialog|help|menu [seconds] [max]
// "editor": the window after 自动 row heights; "dialog": the text dialog open on a
// long stem; "help": the help window beside the editor; "menu": the menu 试题
// open. Quits after the seconds.
// "max" shows the window maximised, as on a laptop screen.
#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>

#include "QuietPrompter.h"
#include "SampleFolder.h"
#include "editor/BankEditor.h"
#include "editor/BankEditorHelpWindow.h"
#include "editor/BankEditorWindow.h"
#include "model/CourseBank.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

int wrappedLines(int width, const QString& text) {
    QFont font = QApplication::font();
    font.setPixelSize(BankEditor::kTextFontHeight - 4);
    const QFontMetrics metrics(font);
    const QRect box =
        metrics.boundingRect(QRect(0, 0, std::max(width - 6, 1), 100000), Qt::TextWordWrap, text);
    return std::max(1, box.height() / std::max(metrics.lineSpacing(), 1));
}

int longestStemRow(const GridModel& grid) {
    int best = 1;
    for (int r = 1; r < grid.rowCount(); ++r) {
        if (grid.text(r, BankEditor::StemText1Column).size() >
            grid.text(best, BankEditor::StemText1Column).size())
            best = r;
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : u"editor"_s;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 4;

    QTemporaryDir dir;
    QString error;
    if (!SampleFolder::write(dir.path(), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QDir::setCurrent(dir.path());
    RecordStore store;
    const QString course = SampleFolder::mathCourse();
    if (!store.open(CourseBank::fileName(course), course, SampleFolder::mathPassword()))
        return 1;
    QuietPrompter prompter;
    BankEditor editor(store, prompter, course, wrappedLines);
    BankEditorWindow window(editor);
    window.move(10, 10);
    window.resize(1260, 740);
    if (argc > 3 && QByteArray(argv[3]) == "max")
        window.showMaximized();
    else
        window.show();

    BankEditorHelpWindow help;
    QTimer::singleShot(300, &app, [&] {
        editor.autoRowHeightClicked();
        GridModel& grid = editor.grid();
        // The dialog opens on the longest stem; otherwise the first group's title.
        const int row = mode == u"dialog"_s ? longestStemRow(grid) : 1;
        if (qEnvironmentVariableIsSet("EDITOR_SCREENSHOT_DUMP")) {
            for (int r = 1; r < grid.rowCount(); ++r)
                std::fprintf(stderr, "%d %s|%s|%s h=%d\n", r, qPrintable(grid.text(r, 1)),
                             qPrintable(grid.text(r, 2)), qPrintable(grid.text(r, 3).left(10)),
                             grid.rowHeight(r));
        }
        Q_EMIT grid.events().leftButtonDown(0, 0, Qt::NoModifier);
        grid.setCursor(row, BankEditor::StemText1Column);
        Q_EMIT grid.events().leftButtonUp(0, 0, Qt::NoModifier);
        if (mode == u"dialog"_s) {
            Q_EMIT grid.events().doubleClick(0, 0, Qt::NoModifier);
        } else if (mode == u"help"_s) {
            help.move(520, 120);
            help.show();
        } else if (mode == u"menu"_s) {
            for (QMenu* menu : window.findChildren<QMenu*>()) {
                if (menu->title().startsWith(u"试题"_s))
                    menu->popup(window.mapToGlobal(QPoint(60, 40)));
            }
        }
    });
    QTimer::singleShot(seconds * 1000, &app, [] { QApplication::exit(0); });
    return app.exec();
}
