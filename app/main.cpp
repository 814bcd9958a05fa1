// Hourvane: opens (creating it when new) the database in its data folder and
// reports what it found; a second copy in the session wakes the first and ends.
// The time card window takes over this entry point.
#include "app/CommandLine.h"
#include "app/SingleInstance.h"
#include "storage/AppState.h"
#include "storage/DataModule.h"
#include "storage/MessageService.h"

#include <QCoreApplication>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

// Until the windows exist, messages go to the terminal.
class ConsoleMessages : public hv::MessageService {
public:
    hv::MsgResult show(const std::string& text, hv::MsgKind, hv::MsgButtons buttons, int) override
    {
        std::string shown = text;
        for (char& c : shown)
            if (c == '\r')
                c = '\n';
        std::cerr << "Hourvane Standard: " << shown << "\n";
        return buttons == hv::MsgButtons::Ok      ? hv::MsgResult::Ok
             : buttons == hv::MsgButtons::Abort ? hv::MsgResult::Abort
                                                : hv::MsgResult::Yes;
    }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Hourvane");

    std::vector<std::string> arguments;
    for (const QString& argument : QCoreApplication::arguments().mid(1))
        arguments.push_back(argument.toStdString());
    hv::SingleInstance instance;
    if (hv::BeginProcess(arguments, instance, hv::appState()) == hv::StartMode::WokeOtherCopy)
        return 0;

    ConsoleMessages messages;
    hv::setMessageService(&messages);
    std::string programFolder = QCoreApplication::applicationDirPath().toStdString() + "/";
    hv::appState().programFolder = programFolder;
    try {
        hv::THourvaneDataMod dm(hv::DataModuleOptions{programFolder, "Hourvane3.ini", nullptr});
        if (dm.terminateRequested())
            return 1;
        int open = 0;
        for (auto* t : dm.tables())
            open += t->active() ? 1 : 0;
        std::cout << "Data folder: " << dm.dataFolder() << "\n"
                  << "Tables: " << open << " of " << dm.tables().size() << " open\n";
    } catch (const std::exception& e) {
        std::cerr << "Hourvane Standard: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
