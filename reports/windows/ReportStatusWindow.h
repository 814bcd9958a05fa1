#pragma once
// The status window ("Report Status") that tells which page is being
// produced or printed while a long report runs.
#include "reports/ReportWindows.h"

#include <QDialog>

class QLabel;

namespace hv {

class TfrmReportStatus : public QDialog, public ReportStatus {
    Q_OBJECT
public:
    explicit TfrmReportStatus(const std::string& caption, QWidget* owner = nullptr);

    // Shows the text at once, even while the run keeps the event loop busy.
    void setText(const std::string& text) override;
    std::string text() const;

private:
    QLabel* lblStatus = nullptr;
};

} // namespace hv
