#pragma once
// Choosing a file to write or to read. Windows and commands get the service
// through their constructor or their command context, never by calling a
// system dialog themselves: the program installs the system's dialogs, tests a
// scripted one that answers and records every request.
#include <string>

namespace hv {

struct FileDialogRequest {
    std::string title;
    // Qt's form: "Zip Files (*.zip);;All Files (*)".
    std::string filter;
    // Added to a chosen name that has no extension ("zip", without the dot).
    std::string defaultExtension;
    // The folder and name the dialog opens on; may be empty.
    std::string proposedName;
};

class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // The chosen path, or empty when the user cancelled.
    virtual std::string chooseSaveFile(const FileDialogRequest& request) = 0;
    virtual std::string chooseOpenFile(const FileDialogRequest& request) = 0;
};

} // namespace hv
