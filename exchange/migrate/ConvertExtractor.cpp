#include "exchange/migrate/ConvertExtractor.h"

#include "exchange/migrate/ConvertData.h"
#include "platform/SettingsFile.h"

#include <QFile>

namespace hv {
namespace {

std::string withoutTrailingSeparator(std::string folder)
{
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
        folder.pop_back();
    return folder;
}

} // namespace

std::string ConvertFolder(const std::string& settingsFileName, const std::string& programFolder)
{
    const std::string folder = SettingsFile(settingsFileName).read("Conversion", "ConvertDir", "");
    return withoutTrailingSeparator(folder.empty() ? programFolder : folder);
}

std::string ExtractFolder(const std::string& settingsFileName)
{
    return SettingsFile(settingsFileName).read("Conversion", "ExtractDir", "");
}

std::string OldSettingsFile() { return FindFileNoCase(settingsFolder(), "HOURVANE.INI"); }

void RemoveOldExtractFiles(const std::string& extractFolder)
{
    if (extractFolder.empty())
        return;
    for (const std::string& name : AllExtractFileNames())
        for (std::string path = FindFileNoCase(extractFolder, name); !path.empty();
             path = FindFileNoCase(extractFolder, name))
            if (!QFile::remove(QString::fromStdString(path)))
                break;
}

std::string ConvertExtractor::find(const std::string& folder) const { return FindFileNoCase(folder, "Convert.exe"); }

ProcessExtractor::ProcessExtractor()
{
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
}

ProcessExtractor::~ProcessExtractor()
{
    // The window cannot close while the extractor runs unless the user gave
    // up waiting; a program that hangs is not left behind.
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

bool ProcessExtractor::start(const std::string& program, const std::string& folder, std::string& reason)
{
    // An extractor that wrote its last file may take a moment to end.
    if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(5000)) {
        reason = "The extraction started before is still running.";
        return false;
    }
    m_started = false;
    m_process.setProgram(QString::fromStdString(program));
    m_process.setArguments({});
    m_process.setWorkingDirectory(QString::fromStdString(folder));
    m_process.start();
    if (!m_process.waitForStarted(10000)) {
        reason = m_process.errorString().toStdString();
        return false;
    }
    m_started = true;
    return true;
}

bool ProcessExtractor::ended() { return m_started && m_process.state() == QProcess::NotRunning; }

} // namespace hv
