#include "reports/windows/ReportStatusWindow.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace hv {

TfrmReportStatus::TfrmReportStatus(const std::string& caption, QWidget* owner) : QDialog(owner)
{
    setObjectName("frmReportStatus");
    setWindowTitle(QString::fromStdString(caption));
    lblStatus = new QLabel(this);
    lblStatus->setObjectName("lblStatus");
    lblStatus->setMinimumWidth(220);
    lblStatus->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblStatus);
    layout->setSizeConstraint(QLayout::SetFixedSize); // as large as its contents: nothing to maximise
    show();
}

void TfrmReportStatus::setText(const std::string& text)
{
    lblStatus->setText(QString::fromStdString(text));
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

std::string TfrmReportStatus::text() const { return lblStatus->text().toStdString(); }

} // namespace hv
