#pragma once
// The tip of the day reader: the lines of the tip file, the tip on display
// and the two settings that carry over to the next start ("NextTip" and
// "ShowTips" in the settings file).
#include <string>
#include <vector>

namespace hv {

inline constexpr const char* kTipFileName = "HOURVANE.TIP";
inline constexpr const char* kTipsFailedText = "Failed to load tip file";

class TTipOfDayClass {
public:
    TTipOfDayClass(std::string tipFile, std::string settingsFileName);
    // Moves on once more and stores that tip as the next one to show, and the
    // show flag; so the next start begins after the tip on display now.
    ~TTipOfDayClass();
    TTipOfDayClass(const TTipOfDayClass&) = delete;
    TTipOfDayClass& operator=(const TTipOfDayClass&) = delete;

    // False when no file is named or it cannot be read, or it holds no line.
    bool Load();

    const std::string& CurrentTip() const;
    const std::string& StepNext();
    const std::string& StepPrevious();

    bool showTips() const { return m_showTips; }
    void setShowTips(bool show) { m_showTips = show; }
    int currentIndex() const { return m_current; }
    int lastIndex() const { return m_last; }

private:
    std::string m_tipFile;
    std::string m_settingsFileName;
    std::vector<std::string> m_tips;
    int m_last = -1;
    int m_current = 0;
    bool m_showTips = true;
};

} // namespace hv
