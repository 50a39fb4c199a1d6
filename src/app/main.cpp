#include <QApplication>
#include <QMainWindow>

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(u"禾岚 1.0"_s);
    window.resize(480, 320);
    window.show();
    return app.exec();
}
