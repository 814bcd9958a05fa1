#pragma once
// The report setup window ("Report Setup"): pages, copies, collation and
// duplex before a generated report is printed (print range use), or where a
// report goes, printer, preview or a PDF file (destination use).
#include "reportengine/ReportPrinter.h"
#include "reports/windows/ReportWindowServices.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace hv {

class FileDialogService;

enum class SetupUse { PrintRange, Destination };

class TQVSetupForm : public QDialog {
    Q_OBJECT
public:
    // printer is null when no printer is installed; pageCount matters to
    // the print range use only. OK writes into settings.
    TQVSetupForm(SetupUse use, report::ReportSettings& settings, int pageCount, report::ReportPrinter* printer,
                 FileDialogService& fileDialogs, PrinterSetupDialog printerSetup, QWidget* owner = nullptr);

    // The handlers under their names.
    void cmdSetupClick();
    void cmdBrowseClick();
    void cmdOKClick();
    void rangeChanged();
    void destinationChanged();

private:
    void buildControls();
    void showPrinter();
    bool hasPrinter() const;
    // False (with a message shown) when the print range cannot be taken.
    bool takeRange();
    bool takeFileName();

    SetupUse m_use;
    report::ReportSettings& m_settings;
    int m_pageCount;
    report::ReportPrinter* m_printer;
    FileDialogService& m_fileDialogs;
    PrinterSetupDialog m_printerSetup;
    // The file the save dialog has already asked about replacing.
    std::string m_confirmedFile;

    QGroupBox* grpPrinter = nullptr;
    QLabel* lblPrinter = nullptr;
    QPushButton* cmdSetup = nullptr;
    QGroupBox* grpOptions = nullptr;
    QLineEdit* txtCopies = nullptr;
    QCheckBox* chkCollate = nullptr;
    QCheckBox* chkDuplex = nullptr;
    QGroupBox* grpRange = nullptr;
    QRadioButton* btnAll = nullptr;
    QRadioButton* btnSelection = nullptr;
    QLineEdit* txtSelection = nullptr;
    QRadioButton* btnPages = nullptr;
    QLineEdit* txtFrom = nullptr;
    QLineEdit* txtTo = nullptr;
    QGroupBox* grpDestination = nullptr;
    QRadioButton* btnPrinter = nullptr;
    QRadioButton* btnPreview = nullptr;
    QRadioButton* btnFile = nullptr;
    QLineEdit* txtFileName = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};

} // namespace hv
