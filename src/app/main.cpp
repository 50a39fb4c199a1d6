#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QStyleFactory>

#include "app/AppState.h"
#include "app/MainWindow.h"
#include "app/SingleInstance.h"
#include "store/RecordStore.h"
#include "ui/QtPrompter.h"

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
    QApplication::setApplicationDisplayName(u"禾岚"_s);
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
    helan::MainWindow window(store, prompter, state);
    // BankEditor and PaperComposer plug in here:
    //   window.setBankEditorOpener([&](QWidget* parent, const QString& course) { … });
    //   window.setPaperComposerOpener([&](QWidget* parent, const QString& course) { … });
    window.resize(440, 300);
    window.show();
    if (!window.start())
        return 0;
    return app.exec();
}
