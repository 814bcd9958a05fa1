#pragma once
// Answers the manager password window from a script (false when none is
// left) and counts its openings; installs itself for its lifetime.
#include "widgets/PasswordDialogs.h"

#include <deque>

namespace hv::test {

class ScriptedPasswordDialogs : public PasswordDialogs {
public:
    ScriptedPasswordDialogs() { setPasswordDialogs(this); }
    ~ScriptedPasswordDialogs() override { setPasswordDialogs(nullptr); }
    void answer(bool granted) { answers.push_back(granted); }
    bool run(PasswordMode mode, THourvaneDataMod&, QWidget*) override
    {
        ++runs;
        ++(mode == PasswordMode::Access ? accessRuns : changeRuns);
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::deque<bool> answers;
    int runs = 0;
    int accessRuns = 0;
    int changeRuns = 0;
};

} // namespace hv::test
