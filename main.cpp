#include "ui/application.h"
#include "ui/form1.h"

#include <QApplication>
#include <QFile>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ui::configureApplication();
    ui::Form1 window(QFile::encodeName(QCoreApplication::applicationDirPath()));
    window.show();
    return QApplication::exec();
}
