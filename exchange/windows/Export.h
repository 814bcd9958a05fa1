#pragma once
// The Data Export Wizard: six pages that choose the kind of data, its items,
// the period, the format and file, and run the export.
#include "exchange/ExportFields.h"
#include "exchange/ExportWriters.h"
#include "storage/AppState.h"

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QToolButton;

namespace hv {

class DatePicker;
class FileDialogService;
class THourvaneDataMod;
class TQVDateEdit;

inline constexpr int kExportHelpContext = 1420;

class TfrmExport : public QDialog {
    Q_OBJECT
public:
    TfrmExport(THourvaneDataMod& dm, AppState& state, FileDialogService& fileDialogs, DatePicker& datePicker,
               std::string settingsFileName, QWidget* owner = nullptr);
    ~TfrmExport() override;

    int page() const;

    // The event handlers under their names.
    void btnNextClick();
    void btnBackClick();
    void btnBrowseClick();
    void lstExportTypeClick();
    void spdDateClick(TQVDateEdit* field);

public slots:
    void done(int result) override;

private:
    void buildControls();
    QWidget* buildWelcomePage();
    QWidget* buildTypePage();
    QWidget* buildItemsPage();
    QWidget* buildDatesPage();
    QWidget* buildFormatPage();
    QWidget* buildSummaryPage();
    void showPage(int page);
    std::optional<ExportFormat> chosenFormat() const;
    std::string summaryText() const;
    void runExport();

    THourvaneDataMod& m_dm;
    AppState& m_state;
    FileDialogService& m_fileDialogs;
    DatePicker& m_datePicker;
    std::string m_settingsFileName;

    std::optional<ExportKind> m_kind;
    std::vector<TDBFFieldType> m_fields;
    double m_periodStart = 0; // zero until the dates page is passed
    double m_periodEnd = 0;
    bool m_closed = false;

    QStackedWidget* nbkPages = nullptr;
    QPushButton* btnHelp = nullptr;
    QPushButton* btnBack = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnCancel = nullptr;
    QCheckBox* chkSkipPage = nullptr;
    QListWidget* lstExportType = nullptr;
    QListWidget* lstItems = nullptr;
    QLabel* lblDates = nullptr;
    TQVDateEdit* txtStartDate = nullptr;
    TQVDateEdit* txtEndDate = nullptr;
    QToolButton* spdStartDate = nullptr;
    QToolButton* spdEndDate = nullptr;
    QRadioButton* rdoFixed = nullptr;
    QRadioButton* rdoComma = nullptr;
    QRadioButton* rdoTab = nullptr;
    QRadioButton* rdoXBase = nullptr;
    QLineEdit* txtFileName = nullptr;
    QPushButton* btnBrowse = nullptr;
    QLabel* lblSummary = nullptr;
    QProgressBar* prgExport = nullptr;
};

} // namespace hv
