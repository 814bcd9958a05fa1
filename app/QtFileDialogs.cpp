#include "app/QtFileDialogs.h"

#include <QApplication>
#include <QFileDialog>

namespace hv {
namespace {

std::string run(const FileDialogRequest& request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(QApplication::activeWindow(), QString::fromStdString(request.title),
                       QString::fromStdString(request.proposedName), QString::fromStdString(request.filter));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.defaultExtension.empty())
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front().toStdString();
}

} // namespace

std::string QtFileDialogs::chooseSaveFile(const FileDialogRequest& request)
{
    return run(request, QFileDialog::AcceptSave);
}

std::string QtFileDialogs::chooseOpenFile(const FileDialogRequest& request)
{
    return run(request, QFileDialog::AcceptOpen);
}

} // namespace hv
