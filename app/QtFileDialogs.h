#pragma once
// The system's file dialogs behind the file dialog service, modal over the
// program's active window.
#include "ports/FileDialogService.h"

namespace hv {

class QtFileDialogs : public FileDialogService {
public:
    std::string chooseSaveFile(const FileDialogRequest& request) override;
    std::string chooseOpenFile(const FileDialogRequest& request) override;
};

} // namespace hv
