#pragma once
// The Employees window: one employee at a time with its basic and personal
// data, comments, custom data, wage history, opening benefit balances and
// overtime policy history, all saved together in one transaction.
#include "widgets/RecordWindow.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QGroupBox;
class QHeaderView;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QStackedWidget;
class QTextEdit;
class QToolButton;

namespace hv {

class THourvaneDataMod;
class TEmployeeRecClass;
class TEmployeeEditor;
class EmployeeHistory;
class TEmpFieldListClass;
class TEmpOtherValueListClass;
class TEmpOTPolicyListClass;
class TAccrualListClass;
class TWageListClass;
class TQVComboBox;
class TQVDateEdit;
class TQVGrid;
class TQVNumberEdit;
class DatePicker;

inline constexpr int kEmployeesHelpContext = 410;
inline constexpr int kBasicDataHelpContext = 420;
inline constexpr int kPersonalDataHelpContext = 430;
inline constexpr int kCommentsHelpContext = 450;
inline constexpr int kAccrualsHelpContext = 470;
inline constexpr int kWagesHelpContext = 480;

class TfrmEmp : public TRecordWindow {
    Q_OBJECT
public:
    // The sections of the window; the last two have no navigation button.
    enum Section { BasicData, PersonalData, Comments, Wages, Accruals, CustomData, Overtime, SectionCount };

    TfrmEmp(THourvaneDataMod& dm, AppState& state, DatePicker& datePicker, std::string settingsFileName,
            QWidget* owner = nullptr);
    ~TfrmEmp() override;

    Section shownSection() const { return m_section; }
    const TEmployeeRecClass& employee() const { return *m_employee; }

    // The event handlers under their names (Save and Delete: TRecordWindow).
    void cboEmpsClick() { choose(); }
    void cboEmpsDropDown();
    void cboEmpTypeChange();
    void cboDeptsClick();
    void cboDeptsDropDown();
    // The navigation bar's click; false when the section was not shown.
    bool ShowSection(Section section);
    void spdDateClick(TQVDateEdit* field);

    void cmdAddWageClick();
    void grdWagesDblClick(int row);
    void cmdDeleteWageClick();
    void cmdAccrualAddClick();
    void cboBenefitsClick();
    void grdAccrualsDblClick(int row);
    void cmdAccrualDeleteClick();
    void cmdOvertimeAddClick();
    void cboOvertimeClick();
    void grdOvertimeDblClick(int row);
    void cmdOvertimeDeleteClick();
    void spdViewPolicyClick();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    void refillPicker() override;
    bool loadRecord(std::int32_t id) override;
    void showRecord() override;
    void clearRecord() override;
    bool saveRecord() override;
    bool confirmDelete() override;
    // Takes the typed text of the field that has the focus; false when the
    // field refused it (an unreadable date).
    bool takeTypedText() override;
    bool hasUnsavedChanges() const override;
    void closing() override;
    void pickerDropDown() override { cboEmpsDropDown(); }

private:
    // Building the window (EmpLayout.cpp).
    void buildControls();
    QWidget* buildBasicData();
    QWidget* buildPersonalData();
    QWidget* buildComments();
    QWidget* buildWages();
    QWidget* buildAccruals();
    QWidget* buildOvertime();
    QWidget* buildCustomData();
    void buildNavigationBar();
    void showSectionHeader(Section section);
    void layoutNavigationBar();
    void connectFields();
    QLineEdit* textField(const char* name, int maxLength, QWidget* parent);
    TQVDateEdit* dateField(const char* name, QToolButton*& button, const char* buttonName, QWidget* parent);

    // The employee (Emp.cpp).
    void refillDepartments(std::int32_t keptID);
    void storeField(QObject* field);
    void showManagerBox();
    void startDateLeft();
    std::string dateText(double date) const;

    // The history sections (EmpHistory.cpp).
    void fillWageGrid();
    void fillAccrualGrid();
    void fillOvertimeGrid();
    void resetWageInputs(bool hourToo);
    void resetAccrualInputs();
    void resetOvertimeInputs();
    void resetHistories();
    void setHistoryAddEnabled(bool enabled);
    // The list position a grid row stands for; -1 for an empty row.
    int entryOfRow(const TQVGrid* grid, int indexColumn, int row) const;
    int filledRows(const TQVGrid* grid) const;
    // "Use the Start Date?" for a history date before the employee's start:
    // false when the user declined (focus on the field).
    bool settleEarlyDate(TQVDateEdit* field, const std::string& question);
    void pickAccrualRow(int row);
    void pickOvertimeRow(int row);
    void refillPolicies(std::int32_t keptID);

    THourvaneDataMod& m_dm;
    DatePicker& m_datePicker;
    std::string m_settingsFileName;

    std::unique_ptr<TEmployeeRecClass> m_employee;
    std::unique_ptr<TEmpFieldListClass> m_fields;
    std::unique_ptr<TEmpOtherValueListClass> m_values;
    std::unique_ptr<TEmpOTPolicyListClass> m_assignments;
    std::unique_ptr<TAccrualListClass> m_accruals;
    std::unique_ptr<TWageListClass> m_wages;
    // The save over all of them.
    std::unique_ptr<EmployeeHistory> m_assignmentHistory;
    std::unique_ptr<EmployeeHistory> m_accrualHistory;
    std::unique_ptr<EmployeeHistory> m_wageHistory;
    std::unique_ptr<TEmployeeEditor> m_editor;
    bool m_shown = false;
    // The filter index the list was last filled with.
    int m_filterIndex = 1;
    Section m_section = BasicData;
    // The entries the sections' Update buttons work on; -1 when adding.
    int m_wageEntry = -1;
    int m_accrualEntry = -1;
    int m_overtimeEntry = -1;

    // Controls, under their component names.
    TQVComboBox* cboEmpType = nullptr;
    TQVComboBox* cboEmps = nullptr;
    QScrollArea* scrNavigation = nullptr;
    QWidget* m_navigationPage = nullptr;
    std::array<QToolButton*, SectionCount> m_navButtons{};
    std::array<QLabel*, SectionCount> m_navLabels{};
    QWidget* pnlHeader = nullptr;
    QLabel* lblSelection = nullptr;
    QLabel* imgLabel = nullptr;
    QStackedWidget* m_sections = nullptr;
    std::array<QWidget*, SectionCount> m_panels{};

    QLineEdit* txtFirstName = nullptr;
    QLineEdit* txtLastName = nullptr;
    QLineEdit* txtEmpCode = nullptr;
    TQVDateEdit* txtStartDate = nullptr;
    TQVDateEdit* txtEndDate = nullptr;
    QToolButton* spdStartDate = nullptr;
    QToolButton* spdEndDate = nullptr;
    TQVComboBox* cboDepts = nullptr;
    QCheckBox* chkManager = nullptr;
    QLineEdit* txtPosition = nullptr;
    QCheckBox* chkBenefits = nullptr;
    QCheckBox* chkActive = nullptr;
    TQVGrid* grdBalances = nullptr;
    QHeaderView* hdrBalances = nullptr;

    QLineEdit* txtStreet1 = nullptr;
    QLineEdit* txtStreet2 = nullptr;
    QLineEdit* txtCity = nullptr;
    QLineEdit* txtState = nullptr;
    QLineEdit* txtZip = nullptr;
    QLineEdit* txtHomePhone = nullptr;
    QLineEdit* txtContact = nullptr;
    QLineEdit* txtDayPhone = nullptr;
    QLineEdit* txtNightPhone = nullptr;
    QLineEdit* txtRelationship = nullptr;

    QTextEdit* txtComments = nullptr;

    std::vector<QLineEdit*> m_otherFields;
    QLabel* lblNoCustomData = nullptr;

    TQVNumberEdit* txtWage = nullptr;
    TQVDateEdit* txtWageStartDate = nullptr;
    QToolButton* spdWageStartDate = nullptr;
    QRadioButton* btnHour = nullptr;
    QRadioButton* btnWeek = nullptr;
    QRadioButton* btnMonth = nullptr;
    QRadioButton* btnYear = nullptr;
    QCheckBox* chkExempt = nullptr;
    TQVGrid* grdWages = nullptr;
    QHeaderView* hdrWages = nullptr;
    QPushButton* cmdAddWage = nullptr;
    QPushButton* cmdDeleteWage = nullptr;

    TQVComboBox* cboBenefits = nullptr;
    TQVNumberEdit* txtAccruedHours = nullptr;
    TQVDateEdit* txtAsOfDate = nullptr;
    QToolButton* spdAsOfDate = nullptr;
    TQVGrid* grdAccruals = nullptr;
    QHeaderView* hdrAccruals = nullptr;
    QPushButton* cmdAccrualAdd = nullptr;
    QPushButton* cmdAccrualDelete = nullptr;

    TQVComboBox* cboOvertime = nullptr;
    TQVDateEdit* txtOTStartDate = nullptr;
    QToolButton* spdOTStartDate = nullptr;
    QPushButton* spdViewPolicy = nullptr;
    TQVGrid* grdOvertime = nullptr;
    QHeaderView* hdrOvertime = nullptr;
    QPushButton* cmdOvertimeAdd = nullptr;
    QPushButton* cmdOvertimeDelete = nullptr;
};

} // namespace hv
