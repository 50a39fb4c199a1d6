#include <QApplication>

#include "app/Program.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    helan::Program program(app);
    return program.exec();
}
