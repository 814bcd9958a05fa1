#pragma once
// The Data Import Wizard: six pages that choose the kind of data, the file and
// its format, map the file's columns onto the import fields, choose between
// adding and replacing, and run the import.
#include "exchange/ImportFields.h"
#include "exchange/ImportSource.h"
#include "exchange/windows/WizardParts.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QHeaderView;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace hv {

class FileDialogService;

inline constexpr int kImportHelpContext = 1410;

class TfrmImport : public TDataWizard {
    Q_OBJECT
public:
    // programFolder holds the field definition files.
    TfrmImport(THourvaneDataMod& dm, AppState& state, FileDialogService& fileDialogs, std::string settingsFileName,
               QWidget* owner = nullptr);
    ~TfrmImport() override;

    // Whether a finished import stored anything (the caller refreshes then).
    bool imported() const { return m_imported; }

    // The event handlers under their names.
    void btnNextClick() override;
    void btnBackClick() override;
    void btnBrowseClick() override;
    void btnPrevRecordClick();
    void btnNextRecordClick();
    void grdFieldsClick(int row);
    void cboImportFieldsChoose(int index);

protected:
    bool event(QEvent* event) override;
    std::string summaryText() const override;
    void closing() override;

private:
    QWidget* buildTypePage();
    QWidget* buildFilePage();
    QWidget* buildFieldPage();
    QWidget* buildActionPage();
    void chooseType(ImportType type);
    void formatChanged();
    std::optional<ImportFormat> chosenFormat() const;
    bool openDataFile();
    void closeDataFile();
    // Reads records up to the index; false when the file has no such record.
    bool readUpTo(int index);
    void showRecord();
    void setRowField(int row, int position);
    void runImport();

    FileDialogService& m_fileDialogs;

    std::optional<ImportType> m_type;
    std::vector<TImportFieldType> m_fields;
    std::unique_ptr<ImportSource> m_source;
    std::vector<ImportRecord> m_records; // read so far, so Prev Record reads nothing
    bool m_endOfFile = false;
    int m_recordIndex = 0;
    bool m_fileChanged = true;   // the next opening starts at the first record
    std::vector<int> m_rowField; // per grid row: import field position, -1 none
    int m_chooseRow = -1;
    bool m_imported = false;
    bool m_activated = false;

    QRadioButton* rdoHourvane = nullptr;
    QRadioButton* rdoTimeOff = nullptr;
    QRadioButton* rdoEmployee = nullptr;
    QRadioButton* rdoComma = nullptr;
    QRadioButton* rdoTab = nullptr;
    QRadioButton* rdoXBase = nullptr;
    QHeaderView* hdrFields = nullptr;
    QTableWidget* grdFields = nullptr;
    QComboBox* cboImportFields = nullptr;
    QPushButton* btnPrevRecord = nullptr;
    QPushButton* btnNextRecord = nullptr;
    QRadioButton* rdoUpdate = nullptr;
    QRadioButton* rdoReplace = nullptr;
};

} // namespace hv
