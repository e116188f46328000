#include "app/module1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (!Module1::Main(QCoreApplication::applicationDirPath()))
        return 0;
    return app.exec();
}
