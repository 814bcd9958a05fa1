#pragma once
// The report preview window ("Report Preview"): the pages of a page file at
// a zoom with inch rulers, page by page, printable and savable as PDF.
#include "reportengine/ReportPages.h"
#include "reportengine/ReportPrinter.h"
#include "reports/ReportWindows.h"
#include "reports/windows/ReportWindowServices.h"

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QScrollArea;
class QToolButton;

namespace hv {

class FileDialogService;
namespace report {
class InchRuler;
class PagePreview;
} // namespace report

class TQVPreviewForm : public QDialog {
    Q_OBJECT
public:
    TQVPreviewForm(report::PageSet pages, report::ReportPrinter* printer, report::ReportSettings& settings,
                   const PreviewOptions& options, FileDialogService& fileDialogs, PrinterSetupDialog printerSetup,
                   QWidget* owner = nullptr);
    ~TQVPreviewForm() override;

    int currentPage() const { return m_page; }
    int pageCount() const { return int(m_pages.size()); }
    double zoom() const;

    // Zoom in percent, 10 to 500.
    void setZoom(double percent);
    // A page past either end goes to the nearest page.
    void showPage(int page);

    // The handlers under their names.
    void spdZoomInClick();
    void spdZoomOutClick();
    void spdZoomWidthClick();
    void spdZoomPageClick();
    void spdFirstClick();
    void spdPriorClick();
    void spdNextClick();
    void spdLastClick();
    void spdPrintClick();
    void spdSavePdfClick();
    void txtZoomExit();
    void txtPageExit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void refresh();
    void placeRulers();
    // Scrolls for a navigation key; false when the key is not one of them.
    bool scrollKey(QKeyEvent* event);

    report::PageSet m_pages;
    report::ReportPrinter* m_printer;
    report::ReportSettings& m_settings;
    PreviewOptions m_options;
    FileDialogService& m_fileDialogs;
    PrinterSetupDialog m_printerSetup;
    int m_page = 1;

    QToolButton* spdZoomIn = nullptr;
    QToolButton* spdZoomOut = nullptr;
    QToolButton* spdZoomWidth = nullptr;
    QToolButton* spdZoomPage = nullptr;
    QToolButton* spdFirst = nullptr;
    QToolButton* spdPrior = nullptr;
    QToolButton* spdNext = nullptr;
    QToolButton* spdLast = nullptr;
    QToolButton* spdPrint = nullptr;
    QToolButton* spdSavePdf = nullptr;
    QToolButton* spdDone = nullptr;
    QLineEdit* txtZoom = nullptr;
    QLineEdit* txtPage = nullptr;
    QLabel* lblPages = nullptr;
    QScrollArea* scrPreview = nullptr;
    report::PagePreview* pnlPage = nullptr;
    report::InchRuler* rulHorizontal = nullptr;
    report::InchRuler* rulVertical = nullptr;
};

// Reads the page file and shows it modally; a file that cannot be read is
// told to the user and opens no window. False then.
bool ShowReportPreview(const std::string& pageFile, report::ReportPrinter* printer, report::ReportSettings& settings,
                       const PreviewOptions& options, FileDialogService& fileDialogs, PrinterSetupDialog printerSetup,
                       QWidget* owner);

} // namespace hv
