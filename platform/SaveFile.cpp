#include "platform/SaveFile.h"

#include <QSaveFile>

namespace hv {

bool CommitSaveFile(QSaveFile& file, std::string& error)
{
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        error = file.errorString().toStdString();
        file.cancelWriting();
        file.commit(); // with writing cancelled this removes the temporary file
        return false;
    }
    if (!file.commit()) {
        error = file.errorString().toStdString();
        return false;
    }
    return true;
}

} // namespace hv
