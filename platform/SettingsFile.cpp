#include "platform/SettingsFile.h"
#include "platform/SaveFile.h"

#include <cstdlib>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QString>

// Byte strings in, byte strings out: the file is UTF-8 and nothing needs
// converting. Debian's header keeps the template bodies behind SI_IMPLEMENTATION;
// this is the one file that uses the parser, so it instantiates them here.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

namespace hv {

namespace {

QString toQ(const std::string& s)
{
    return QString::fromStdString(s);
}

// Loads the file into the parser; a missing file gives an empty one.
// False when the file is there but cannot be read.
bool load(const std::string& path, CSimpleIniA& ini)
{
    QFile file(toQ(path));
    if (!file.exists())
        return true;
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    return ini.LoadData(data.constData(), std::size_t(data.size())) >= 0;
}

void configure(CSimpleIniA& ini)
{
    ini.SetUnicode(true);
    ini.SetMultiKey(false);
    ini.SetMultiLine(false);
    ini.SetQuotes(false);
    ini.SetSpaces(false); // "key=value", as other programs write these files
}

} // namespace

std::string settingsFolder()
{
    const char* overridden = std::getenv("HOURVANE_CONFIG_DIR");
    if (overridden && *overridden)
        return overridden;
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString();
}

SettingsFile::SettingsFile(std::string fileName)
{
    if (fileName.find('/') != std::string::npos) {
        m_path = std::move(fileName);
        return;
    }
    std::string folder = settingsFolder();
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    m_path = folder + fileName;
}

std::string SettingsFile::read(const std::string& section, const std::string& key,
                               const std::string& defaultValue) const
{
    CSimpleIniA ini;
    configure(ini);
    if (!load(m_path, ini))
        return defaultValue;
    const char* value = ini.GetValue(section.c_str(), key.c_str(), nullptr);
    return value ? std::string(value) : defaultValue;
}

bool SettingsFile::write(const std::string& section, const std::string& key,
                         const std::string& value)
{
    if (value.find_first_of("\r\n") != std::string::npos)
        return false;
    CSimpleIniA ini;
    configure(ini);
    // A file that exists but cannot be read is left alone rather than
    // replaced by one holding only this value.
    if (!load(m_path, ini))
        return false;
    if (ini.SetValue(section.c_str(), key.c_str(), value.c_str()) < 0)
        return false;
    std::string text;
    if (ini.Save(text) < 0)
        return false;

    const QFileInfo info(toQ(m_path));
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    QSaveFile file(info.absoluteFilePath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(text.data(), qint64(text.size())) != qint64(text.size())) {
        file.cancelWriting();
        return false;
    }
    std::string error;
    return CommitSaveFile(file, error);
}

} // namespace hv
