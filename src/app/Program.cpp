#include "app/Program.h"

#include <functional>
#include <optional>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <QApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>
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
#include "editor/MoodleTransfer.h"
#include "editor/NewGroupNameDialog.h"
#include "editor/PaperImport.h"
#include "editor/PaperImportWindow.h"
#include "editor/PictureCodec.h"
#include "editor/PicturePreviewWindow.h"
#include "editor/QtPictureClipboard.h"
#include "editor/QtProgramLauncher.h"
#include "editor/TypeEditor.h"
#include "editor/TypeEditorWindow.h"
#include "store/RecordStore.h"
#include "ui/BusyCursor.h"
#include "ui/QtPrompter.h"
#include "ui/TextMeasure.h"

using namespace Qt::StringLiterals;

namespace helan {

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

// Qt's own texts (file and folder dialogs, standard buttons) in Chinese, as the
// rest of the program speaks, whatever the system's language. Without the
// translation package they stay in English; nothing else changes.
void loadQtTranslations(QApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(u"qtbase_zh_CN"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

// A window on a large bank leaves its grid's memory free but held by the
// process; it goes back to the system when the window closes.
void releaseFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

// The bank editor on the course whose bank is open and current, with every
// window it opens plugged in; runs modally over parent.
void runBankEditor(RecordStore& store, Prompter& prompter, AppState& state, PictureClipboard& clipboard,
                   ProgramLauncher& launcher, QWidget* parent, const QString& course,
                   const std::function<void()>& endProgram)
{
    std::optional<BusyCursor> opening(std::in_place);
    BankEditor editor(store, prompter, course, &countWrappedLines);
    BankEditorWindow editorWindow(editor, parent);
    opening.reset();
    using Plug = BankEditor::Plug;
    // The type library is gone (its message has been shown): the program ends.
    if (editor.typeLibraryLost()) {
        endProgram();
        return;
    }
    editor.setPlug(Plug::ProgramMustEnd, endProgram);
    editor.setPlug(Plug::DifficultyHelp, [&] {
        DifficultyNoteLogic note(store, prompter, state);
        DifficultyNoteDialog dialog(note, &editorWindow);
        dialog.exec();
    });

    EditorSearch search(editor, prompter);
    QObject::connect(&search, &EditorSearch::buttonsChanged, &editorWindow,
                     &BankEditorWindow::setSearchButtonsEnabled);
    editor.setPlug(Plug::SearchTextChanged, [&] { search.setText(editorWindow.searchText()); });
    editor.setPlug(Plug::SearchFromStart, [&] { search.searchFromStart(); });
    editor.setPlug(Plug::SearchFromCurrent, [&] { search.searchFromCurrent(); });
    editor.setPlug(Plug::SearchNext, [&] { search.searchNext(); });

    EditorPictures pictures(editor, store, prompter, clipboard);
    editor.setPlug(Plug::PreviewPicture, [&] {
        if (!pictures.preparePreview())
            return;
        PicturePreviewWindow preview(pictures.previewPicture(), pictures.previewCaption(), &editorWindow);
        preview.exec();
    });
    editor.setPlug(Plug::DeletePicture, [&] { pictures.deletePicture(); });
    editor.setPlug(Plug::CopyPicture, [&] { pictures.copyPictureToClipboard(); });
    editor.setPlug(Plug::AddPictureFromFile, [&] { pictures.addPictureFromFile(); });
    editor.setPlug(Plug::PastePicture, [&] {
        ClipboardPictureImport import(clipboard, launcher, prompter);
        ClipboardPictureWindow window(
            import, [&](const QByteArray& picture) { pictures.storePicture(picture); }, &editorWindow);
        window.exec();
    });

    CourseTransfer transfer(editor, store, prompter, [&] {
        NewGroupNameDialog dialog(editor.grid(), prompter, &editorWindow);
        dialog.exec();
        return dialog.chosenGroupName();
    });
    transfer.setProgressHook([] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    editor.setPlug(Plug::Export, [&] { transfer.exportCourse(); });
    editor.setPlug(Plug::Import, [&] { transfer.importCourse(); });
    editor.setPlug(Plug::MoodleExport, [&] { MoodleExport(store, prompter, course).run(course); });
    editor.setPlug(Plug::MoodleImport, [&] { MoodleImport(prompter, transfer).run(); });
    editor.setPlug(Plug::ImportPaper, [&] {
        PaperImport paper(store, prompter, course);
        if (!paper.chooseAndRead())
            return;
        PaperImportWindow preview(paper, [&] { return paper.importTicked(transfer); }, &editorWindow);
        preview.exec();
        store.setCurrent(course);
    });

    editor.setPlug(Plug::TypeEditor, [&] {
        TypeEditor types(store, prompter, course, [&] { editor.loadEditorGrid(); });
        TypeEditorWindow typeWindow(types, &editorWindow);
        typeWindow.exec();
        // Types added or deleted there are offered, or no longer, at once.
        editor.loadTypeList();
        store.setCurrent(course);
    });
    editorWindow.exec();
}

} // namespace

struct Program::Parts {
    explicit Parts(const QString& marker) : instance(marker) {}

    QtPrompter prompter;
    SingleInstance instance;
    AppState state;
    RecordStore store;
    QtPictureClipboard clipboard;
    QtProgramLauncher launcher;
    std::unique_ptr<MainWindow> window;
};

Program::Program(QApplication& app)
    : m_app(app), m_parts(std::make_unique<Parts>(QFileInfo(QCoreApplication::applicationFilePath()).fileName()))
{
    QApplication::setStyle(QStyleFactory::create(u"Fusion"_s));
    chooseInterfaceFont(app);
    loadQtTranslations(app);
    // Installed from its package, the windows carry the program's icon and the
    // desktop ties them to its menu entry; run from the build, nothing changes.
    QGuiApplication::setDesktopFileName(u"helan"_s);
    QApplication::setWindowIcon(QIcon::fromTheme(u"helan"_s));
    // Phone photos and scans above Qt's default reader limit are shown and printed.
    PictureCodec::allowLargePictures();

    // The marker is taken before anything else so that a second copy leaves the
    // first one's tables alone.
    Parts& p = *m_parts;
    if (!p.instance.acquire())
        return;
    p.window = std::make_unique<MainWindow>(p.store, p.prompter, p.state);
    // The windows opened on a course: its bank is open and current when they run.
    p.window->setBankEditorOpener([&p](QWidget* parent, const QString& course) {
        runBankEditor(p.store, p.prompter, p.state, p.clipboard, p.launcher, parent, course,
                      [&p] { p.window->endProgram(); });
        releaseFreedMemory();
    });
    p.window->setPaperComposerOpener([&p](QWidget* parent, const QString& course) {
        PaperComposerWindow::run(p.store, p.prompter, course, parent);
        releaseFreedMemory();
    });
}

Program::~Program()
{
    // The windows go before the tables they show.
    m_parts->window.reset();
}

MainWindow* Program::mainWindow() const
{
    return m_parts->window.get();
}

int Program::exec()
{
    Parts& p = *m_parts;
    if (!p.window) {
        p.prompter.message(p.instance.refusalText(), {}, Prompter::Icon::Warning);
        return 1;
    }
    MainWindow& window = *p.window;
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
    const int code = m_app.exec();
    return ended ? 0 : code;
}

} // namespace helan
