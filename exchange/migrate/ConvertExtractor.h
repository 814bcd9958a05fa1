#pragma once
// The previous version's extractor "CONVERT.EXE": where it is, where it
// writes, starting it and noticing that it has ended. The program is not
// ours; the migration only starts it without arguments in its own folder and
// waits for its files.
#include <QProcess>

#include <string>

namespace hv {

// "ConvertDir" of section "Conversion": the extractor's folder, by default the
// program folder, without a trailing separator.
std::string ConvertFolder(const std::string& settingsFileName, const std::string& programFolder);
// "ExtractDir" of section "Conversion", read each time; empty when not set.
std::string ExtractFolder(const std::string& settingsFileName);
// The previous version's settings file "HOURVANE.INI" in the settings folder;
// empty when there is none.
std::string OldSettingsFile();
// Removes the nine files an earlier run may have left in the extraction
// folder, so that none is taken for new; nothing when the folder is not set.
void RemoveOldExtractFiles(const std::string& extractFolder);

class ConvertExtractor {
public:
    virtual ~ConvertExtractor() = default;
    // "Convert.exe" in the folder, matched without regard to case; empty when missing.
    virtual std::string find(const std::string& folder) const;
    // Starts the program in the folder; false with the system's reason.
    virtual bool start(const std::string& program, const std::string& folder, std::string& reason) = 0;
    // True once a started program has ended.
    virtual bool ended() = 0;
};

class ProcessExtractor : public ConvertExtractor {
public:
    ProcessExtractor();
    ~ProcessExtractor() override;
    bool start(const std::string& program, const std::string& folder, std::string& reason) override;
    bool ended() override;

private:
    QProcess m_process;
    bool m_started = false;
};

} // namespace hv
