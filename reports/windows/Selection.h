#pragma once
// The report selection window: which employees or departments a report
// covers, its period and its options, then Preview or Print through the
// report host. One window for six reports, laid out per report name.
#include "ports/PickList.h"

#include <QDialog>
#include <QListWidget>

#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QToolButton;
class QWidget;

namespace hv {

class DatePicker;
class ReportWindowService;
class THourvaneDataMod;
class TQVComboBox;
class TQVDateEdit;
struct AppState;
namespace report {
class ReportPrinter;
}

// A sorted, multi-selection list box whose entries carry a TIDRecClass.
// Drops are taken only from its partner list.
class PickListBox : public QListWidget, public PickList {
    Q_OBJECT
public:
    explicit PickListBox(QWidget* parent = nullptr);
    void setPartner(PickListBox* partner) { m_partner = partner; }

    PickListKind kind() const override { return PickListKind::ListBox; }
    void clear() override { QListWidget::clear(); }
    void add(const std::string& text, std::int32_t id) override;
    int count() const override { return QListWidget::count(); }
    std::string text(int index) const override;
    std::int32_t id(int index) const override;
    const TIDRecClass* object(int index) const override;

signals:
    // Entries were dropped here from the partner.
    void droppedFromPartner();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void startDrag(Qt::DropActions actions) override;

private:
    PickListBox* m_partner = nullptr;
};

struct ReportKind {
    const char* name;
    const char* caption;
    int helpContext;
};
// The six reports the window serves, by report name; null for others.
const ReportKind* FindReportKind(const std::string& reportName);

class TfrmSelection : public QDialog {
    Q_OBJECT
public:
    TfrmSelection(THourvaneDataMod& dm, AppState& state, DatePicker& datePicker, ReportWindowService& windows,
                  report::ReportPrinter& printer, QWidget* owner = nullptr);

    void Configure(const std::string& reportName);
    const std::string& ReportName() const { return m_reportName; }
    int HelpContext() const { return m_helpContext; }

    void IncludeBtnClick();
    void IncAllBtnClick();
    void ExcludeBtnClick();
    void ExAllBtnClick();
    void cmdPreviewClick();
    void cmdPrintClick();

private:
    void employeesMode();
    void departmentsMode();
    void cboEmpTypeChange();
    void refreshButtons();
    void moveSelected(PickListBox* from, PickListBox* to);
    void moveAll(PickListBox* from, PickListBox* to);
    void wageBoxClicked(QCheckBox* box, bool checked);
    void pickDate(TQVDateEdit* field);
    // Both buttons: the period checks, the selection list, the run.
    void run(bool preview);
    bool checkPeriod(double& start, double& end);
    bool activeChosen() const;
    void helpRequested();

    THourvaneDataMod& m_dm;
    AppState& m_state;
    DatePicker& m_datePicker;
    ReportWindowService& m_windows;
    report::ReportPrinter& m_printer;
    std::string m_reportName;
    int m_helpContext = 0;

    QLabel* lblSource = nullptr;
    QLabel* lblDestination = nullptr;
    PickListBox* lstSource = nullptr;
    PickListBox* lstDestination = nullptr;
    QPushButton* IncludeBtn = nullptr;
    QPushButton* IncAllBtn = nullptr;
    QPushButton* ExcludeBtn = nullptr;
    QPushButton* ExAllBtn = nullptr;
    QGroupBox* grpSelectFrom = nullptr;
    QRadioButton* btnEmps = nullptr;
    QRadioButton* btnDepts = nullptr;
    QLabel* lblEmpType = nullptr;
    QComboBox* cboEmpType = nullptr;
    QCheckBox* chkNewPage = nullptr;
    QWidget* pnlDates = nullptr;
    TQVDateEdit* txtStartDate = nullptr;
    TQVDateEdit* txtEndDate = nullptr;
    QToolButton* btnStartDate = nullptr;
    QToolButton* btnEndDate = nullptr;
    QGroupBox* grpReport = nullptr;
    QRadioButton* optDetail = nullptr;
    QRadioButton* optSummary = nullptr;
    QCheckBox* chkGrossWages = nullptr;
    QCheckBox* chkShiftLine = nullptr;
    QGroupBox* grpPunchTime = nullptr;
    QRadioButton* opt12Hour = nullptr;
    QRadioButton* opt24Hour = nullptr;
    QCheckBox* chkSignature = nullptr;
    QCheckBox* chkDeptEmp = nullptr;
    QLabel* lblDeptEmps = nullptr;
    QComboBox* cboDeptEmps = nullptr;
    QGroupBox* grpEmpInfo = nullptr;
    QCheckBox* chkBasic = nullptr;
    QCheckBox* chkComments = nullptr;
    QCheckBox* chkBalances = nullptr;
    QCheckBox* chkWages = nullptr;
    QPushButton* cmdPreview = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdClose = nullptr;
};

} // namespace hv
