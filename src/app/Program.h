#pragma once

#include <memory>

class QApplication;

namespace helan {

class MainWindow;

// The whole program as it runs in its data folder (the working directory): the
// single-instance marker, the main window with every window it opens plugged
// in, and the start-up once the main window is on the screen.
class Program {
public:
    explicit Program(QApplication& app);
    ~Program();

    // Runs the program to its end; its exit code.
    int exec();
    // The main window; null when another copy is running.
    MainWindow* mainWindow() const;

private:
    struct Parts;
    QApplication& m_app;
    std::unique_ptr<Parts> m_parts;
};

} // namespace helan
