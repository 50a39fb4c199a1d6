#include <QApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QStyleFactory>
#include <QTimer>
#include <QWindow>

#include "app/AppState.h"
#include "app/DifficultyNoteDialog.h"
#include "app/DifficultyNoteLogic.h"
#include "app/MainWindow.h"
#include "app/SingleInstance.h"
#include "compose/PaperComposerWindow.h"
#include "editor/BankEditor.h"
#include "editor/BankEditorWindow.h"
#include "editor/ClipboardPictureImport.h"
#include "editor/ClipboardPictureWindow.h"
#include "editor/CourseTransfer.h"
#include "editor/EditorPictures.h"
#include "editor/EditorSearch.h"
#include "editor/NewGroupNameDialog.h"
#include "editor/PicturePreviewWindow.h"
#include "editor/QtPictureClipboard.h"
#include "editor/QtProgramLauncher.h"
#include "editor/TypeEditor.h"
#include "editor/TypeEditorWindow.h"
#include "store/RecordStore.h"
#include "ui/QtPrompter.h"
#include "ui/TextMeasure.h"

using namespace Qt::StringLiterals;

namespace {

// A CJK face for the user interface where the system default lacks one.
void chooseInterfaceFont(QApplication& app)
{
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : {u"Microsoft YaHei"_s, u"Noto Sans CJK SC"_s, u"Source Han Sans SC"_s,
                                  u"WenQuanYi Micro Hei"_s}) {
        if (installed.contains(family)) {
            QFont font(family);
            font.setPointSize(10);
            app.setFont(font);
            return;
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(u"Fusion"_s));
    chooseInterfaceFont(app);

    helan::QtPrompter prompter;

    // The marker is taken before anything else so that a second copy leaves the
    // first one's tables alone.
    helan::SingleInstance instance(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    if (!instance.acquire()) {
        prompter.message(instance.refusalText(), {}, helan::Prompter::Icon::Warning);
        return 1;
    }

    helan::AppState state;
    helan::RecordStore store;
    helan::QtPictureClipboard clipboard;
    helan::QtProgramLauncher launcher;
    helan::MainWindow window(store, prompter, state);
    // The windows opened on a course: its bank is open and current when they run.
    window.setBankEditorOpener([&](QWidget* parent, const QString& course) {
        helan::BankEditor editor(store, prompter, course, &helan::countWrappedLines);
        helan::BankEditorWindow editorWindow(editor, parent);
        editor.setPlug(helan::BankEditor::Plug::DifficultyHelp, [&] {
            helan::DifficultyNoteLogic note(store, prompter, state);
            helan::DifficultyNoteDialog dialog(note, &editorWindow);
            dialog.exec();
        });
        using Plug = helan::BankEditor::Plug;

        helan::EditorSearch search(editor, prompter);
        QObject::connect(&search, &helan::EditorSearch::buttonsChanged, &editorWindow,
                         &helan::BankEditorWindow::setSearchButtonsEnabled);
        editor.setPlug(Plug::SearchTextChanged, [&] { search.setText(editorWindow.searchText()); });
        editor.setPlug(Plug::SearchFromStart, [&] { search.searchFromStart(); });
        editor.setPlug(Plug::SearchFromCurrent, [&] { search.searchFromCurrent(); });
        editor.setPlug(Plug::SearchNext, [&] { search.searchNext(); });

        helan::EditorPictures pictures(editor, store, prompter, clipboard);
        editor.setPlug(Plug::PreviewPicture, [&] {
            if (!pictures.preparePreview())
                return;
            helan::PicturePreviewWindow preview(pictures.previewPicture(), pictures.previewCaption(),
                                                &editorWindow);
            preview.exec();
        });
        editor.setPlug(Plug::DeletePicture, [&] { pictures.deletePicture(); });
        editor.setPlug(Plug::CopyPicture, [&] { pictures.copyPictureToClipboard(); });
        editor.setPlug(Plug::AddPictureFromFile, [&] { pictures.addPictureFromFile(); });
        editor.setPlug(Plug::PastePicture, [&] {
            helan::ClipboardPictureImport import(clipboard, launcher, prompter);
            helan::ClipboardPictureWindow window(
                import, [&](const QByteArray& picture) { pictures.storePicture(picture); }, &editorWindow);
            window.exec();
        });

        helan::CourseTransfer transfer(editor, store, prompter, [&] {
            helan::NewGroupNameDialog dialog(editor.grid(), prompter, &editorWindow);
            dialog.exec();
            return dialog.chosenGroupName();
        });
        transfer.setProgressHook([] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
        editor.setPlug(Plug::Export, [&] { transfer.exportCourse(); });
        editor.setPlug(Plug::Import, [&] { transfer.importCourse(); });

        editor.setPlug(Plug::TypeEditor, [&] {
            helan::TypeEditor types(store, prompter, course, [&] { editor.loadEditorGrid(); });
            helan::TypeEditorWindow typeWindow(types, &editorWindow);
            typeWindow.exec();
            store.setCurrent(course);
        });
        editorWindow.exec();
    });
    window.setPaperComposerOpener([&](QWidget* parent, const QString& course) {
        helan::PaperComposerWindow::run(store, prompter, course, parent);
    });
    window.resize(440, 280);
    window.show();
    // The rest of start-up runs once the window is on the screen, so that the
    // first-run dialog opens centred over it rather than where the window was
    // before the window manager placed it. A window never exposed (started
    // minimised) goes on after two seconds.
    bool ended = false;
    QTimer poll;
    poll.setInterval(10);
    QDeadlineTimer patience(2000);
    QObject::connect(&poll, &QTimer::timeout, &window, [&] {
        if (!(window.windowHandle() && window.windowHandle()->isExposed()) && !patience.hasExpired())
            return;
        poll.stop();
        ended = !window.start();
    });
    poll.start();
    const int code = app.exec();
    return ended ? 0 : code;
}
