#pragma once
// Answers file dialogs from a script (empty, as a cancel, when none is left)
// and records every request, so a test can drive a whole flow.
#include "ports/FileDialogService.h"

#include <deque>
#include <string>
#include <vector>

namespace hv::test {

class ScriptedFileDialogs : public FileDialogService {
public:
    void answer(const std::string& path) { m_answers.push_back(path); }
    std::string chooseSaveFile(const FileDialogRequest& request) override { return next(request, true); }
    std::string chooseOpenFile(const FileDialogRequest& request) override { return next(request, false); }

    struct Asked {
        FileDialogRequest request;
        bool save;
    };
    const std::vector<Asked>& asked() const { return m_asked; }

private:
    std::string next(const FileDialogRequest& request, bool save)
    {
        m_asked.push_back({request, save});
        if (m_answers.empty())
            return {};
        std::string path = m_answers.front();
        m_answers.pop_front();
        return path;
    }

    std::deque<std::string> m_answers;
    std::vector<Asked> m_asked;
};

} // namespace hv::test
