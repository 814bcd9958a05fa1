#pragma once
// The Data Export Wizard: six pages that choose the kind of data, its items,
// the period, the format and file, and run the export.
#include "exchange/ExportFields.h"
#include "exchange/ExportWriters.h"
#include "exchange/windows/WizardParts.h"

#include <optional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QRadioButton;
class QToolButton;

namespace hv {

class DatePicker;
class FileDialogService;
class TQVDateEdit;

inline constexpr int kExportHelpContext = 1420;

class TfrmExport : public TDataWizard {
    Q_OBJECT
public:
    TfrmExport(THourvaneDataMod& dm, AppState& state, FileDialogService& fileDialogs, DatePicker& datePicker,
               std::string settingsFileName, QWidget* owner = nullptr);
    ~TfrmExport() override;

    // The event handlers under their names.
    void btnNextClick() override;
    void btnBackClick() override;
    void btnBrowseClick() override;
    void lstExportTypeClick();
    void spdDateClick(TQVDateEdit* field);

protected:
    std::string summaryText() const override;
    void pageShown(int page) override;

private:
    QWidget* buildTypePage();
    QWidget* buildItemsPage();
    QWidget* buildDatesPage();
    QWidget* buildFormatPage();
    std::optional<ExportFormat> chosenFormat() const;
    void runExport();

    FileDialogService& m_fileDialogs;
    DatePicker& m_datePicker;

    std::optional<ExportKind> m_kind;
    std::vector<TDBFFieldType> m_fields;
    double m_periodStart = 0; // zero until the dates page is passed
    double m_periodEnd = 0;

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
};

} // namespace hv
