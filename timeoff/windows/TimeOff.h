#pragma once
// The Employee Time Off window: lists and edits the time off entries of one
// employee in one week, opened modally from the main time card window.
#include "storage/AppState.h"

#include <QDialog>

#include <cstdint>
#include <memory>
#include <string>

class QHeaderView;
class QLabel;
class QPushButton;
class QTableWidget;

namespace hv {

class THourvaneDataMod;
class TEmployeeRecClass;
class TTimeOffListClass;
class TTimeOffRecClass;
class TQVComboBox;
class TQVNumberEdit;

inline constexpr int kTimeOffHelpContext = 1130;

class TfrmTimeOff : public QDialog {
    Q_OBJECT
public:
    // Opens on the week ending on weekEnd with the employee employeeID
    // selected (none when 0 or not employed that week); without a week
    // (weekEnd 0) nothing can be chosen.
    TfrmTimeOff(THourvaneDataMod& dm, AppState& state, std::int32_t employeeID, double weekEnd,
                std::string settingsFileName, QWidget* owner = nullptr);
    ~TfrmTimeOff() override;

    double weekEnd() const { return m_weekEnd; }
    // The entry being edited, for the caller and tests.
    const TTimeOffRecClass& entry() const { return *m_entry; }

    // The event handlers under their names.
    void FormActivate();
    void cboEmployeesClick();
    void cboTimeOffDateClick();
    void cboReasonsClick();
    void txtHoursChange();
    void txtHoursExit();
    void grdTimeOffDblClick(int row);
    // False when the entry was not saved (refused, declined or failed).
    bool cmdSaveClick();
    void cmdDeleteClick();

public slots:
    // Closing by any way (Close button, Escape, the title bar) asks first.
    void reject() override;

protected:
    bool event(QEvent* event) override;

private:
    void buildControls();
    void refillEmployees();
    void refillReasons();
    // Employee, days, week list and grid of the selected employee.
    void loadEmployeeWeek();
    void fillDateList();
    void fillGrid();
    void showWeekday();
    // First day, no hours, no reason.
    void resetForm();
    // After a save or delete: the form reset and the week read again, the
    // entry new for the selected employee and day.
    void reloadAfterChange();
    void primeEntry();
    void afterEdit();
    bool oldWeekAllowed(const std::string& refusal);
    double selectedDate() const;
    void releaseLocks();
    void finishClosing();
    std::string dateText(double date) const;

    THourvaneDataMod& m_dm;
    AppState& m_state;
    std::string m_settingsFileName;
    double m_weekEnd = 0;

    std::unique_ptr<TEmployeeRecClass> m_employee;
    std::unique_ptr<TTimeOffListClass> m_list;
    std::unique_ptr<TTimeOffRecClass> m_entry;
    bool m_loading = false;
    bool m_activated = false;
    bool m_closed = false;
    // Set once this window has taken row locks that closing must release.
    bool m_heldLocks = false;

    // Controls, under their component names.
    TQVComboBox* cboEmployees = nullptr;
    TQVComboBox* cboTimeOffDate = nullptr;
    QLabel* lblDOW = nullptr;
    TQVNumberEdit* txtHours = nullptr;
    TQVComboBox* cboReasons = nullptr;
    QHeaderView* hdrTimeOff = nullptr;
    QTableWidget* grdTimeOff = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdClose = nullptr;
};

} // namespace hv
