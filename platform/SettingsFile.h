#pragma once
// The per-machine settings file: plain section/key/value text. Values come
// back exactly as written (commas and quotes included). Every read goes to the
// file again, because another window or another copy may have changed it.
// An unreadable file reads as missing and an unwritable one drops the write;
// neither shows a message.
#include <string>

namespace hv {

// The folder bare settings file names resolve into: HOURVANE_CONFIG_DIR when
// it is set, else the application's configuration folder.
std::string settingsFolder();

class SettingsFile {
public:
    // A name without a folder ("Hourvane3.ini") lives in settingsFolder();
    // a name with one is used as it is.
    explicit SettingsFile(std::string fileName);

    // Section and key names are matched without regard to case.
    std::string read(const std::string& section, const std::string& key,
                     const std::string& defaultValue) const;
    // Replaces the file atomically; false when it could not be written, or
    // when the value holds a line break, which the file format cannot keep.
    bool write(const std::string& section, const std::string& key, const std::string& value);

    std::string path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace hv
