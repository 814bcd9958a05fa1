// Hourvane Standard: the time card program. Everything happens in RunHourvane.
#include "app/Startup.h"
#include "platform/Shell.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Hourvane");
    hv::RunOptions options;
    options.programFolder = hv::ProgramFilesFolder(QApplication::applicationDirPath().toStdString());
    return hv::RunHourvane(argc, argv, options);
}
