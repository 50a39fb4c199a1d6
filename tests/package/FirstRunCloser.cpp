// Preloaded into the packaged program by the package test: once a modal window
// is up, writes its caption to standard error and closes it, as a teacher would
// who closes the first-run dialog without answering.

#include <cstdio>

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace {

void closeTheFirstModalWindow()
{
    auto* poll = new QTimer(QCoreApplication::instance());
    QObject::connect(poll, &QTimer::timeout, poll, [poll] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        poll->stop();
        std::fprintf(stderr, "[window] %s\n", modal->windowTitle().toUtf8().constData());
        std::fflush(stderr);
        modal->close();
    });
    poll->start(100);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(closeTheFirstModalWindow)
