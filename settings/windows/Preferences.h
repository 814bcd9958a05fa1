#pragma once
// The Preferences window: how hours are rounded and shown, how punch times
// are typed (with the keys that type A and P), where the first week starts,
// the user-defined benefit year and the overtime threshold. It edits a copy
// of the global settings; the main window takes the confirmed values over.
#include "storage/AppState.h"
#include "storage/HVGlobal.h"

#include <QDialog>

#include <array>
#include <string>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QToolButton;

namespace hv {

class THourvaneDataMod;
class DatePicker;
class TQVDateEdit;

inline constexpr int kPreferencesHelpContext = 150;

class TfrmPreferences : public QDialog {
    Q_OBJECT
public:
    enum Page { HoursDisplay = 0, PunchTimes, StartDate, BenefitYear, Overtime, Shift };

    // mayEdit false (the shared settings are locked by another copy): the
    // values can be viewed but Save stays disabled.
    TfrmPreferences(THourvaneDataMod& dm, AppState& state, const GlobalSettings& current, bool mayEdit,
                    DatePicker& datePicker, QWidget* owner = nullptr);
    ~TfrmPreferences() override;

    // The edited values; complete once the window closed confirmed.
    const GlobalSettings& values() const { return m_values; }
    int page() const { return m_page; }
    void showPage(int page);

    // The event handlers under their names. cmdSaveClick is true when the
    // window closed confirmed.
    bool cmdSaveClick();
    void cboStartMonthChange();
    void spdStartDateClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildHoursPage();
    QWidget* buildPunchPage();
    QWidget* buildStartDatePage();
    QWidget* buildBenefitYearPage();
    QWidget* buildOvertimePage();
    QWidget* buildShiftPage();
    void fillFromSettings();
    void showSamples();
    void showKeys();
    void timeTypeChanged();
    void overtimeBasisChanged(bool perDay);
    void showBenefitYear();
    void showWeekStart();
    double typedStartDate() const;
    void collectValues();

    THourvaneDataMod& m_dm;
    AppState& m_state;
    GlobalSettings m_current;
    GlobalSettings m_values;
    DatePicker& m_datePicker;
    int m_page = 0;
    bool m_filling = false;
    bool m_perDay = false;
    bool m_darkIcons = false;
    // The captured keys: [0] AM, [1] PM.
    std::array<int, 2> m_key{};
    std::array<KeyModifier, 2> m_modifier{};

    std::array<QToolButton*, 5> m_iconButtons{};
    QLabel* lblHeadingIcon = nullptr;
    QLabel* lblHeading = nullptr;
    QStackedWidget* pgPreferences = nullptr;
    std::array<QRadioButton*, 6> optRound{};
    QRadioButton* optWhole = nullptr;
    QRadioButton* optTenths = nullptr;
    QRadioButton* optHundredths = nullptr;
    QLabel* lblDisplayValue = nullptr;
    QRadioButton* opt12Hour = nullptr;
    QRadioButton* opt24Hour = nullptr;
    QLabel* lblTimeSample = nullptr;
    QLineEdit* txtAMKey = nullptr;
    QLineEdit* txtPMKey = nullptr;
    TQVDateEdit* txtStartDate = nullptr;
    QToolButton* spdStartDate = nullptr;
    QLabel* lblWeekStart = nullptr;
    QComboBox* cboStartMonth = nullptr;
    QComboBox* cboStartDay = nullptr;
    QLabel* lblYearFrom = nullptr;
    QLabel* lblYearTo = nullptr;
    QLineEdit* txtOvertime = nullptr;
    QRadioButton* optPerWeek = nullptr;
    QRadioButton* optPerDay = nullptr;
    QLineEdit* txtShift2 = nullptr;
    QLineEdit* txtShift3 = nullptr;
    QRadioButton* optPerHour = nullptr;
    QRadioButton* optPerShift = nullptr;
    QCheckBox* chkShiftOT = nullptr;
    QCheckBox* chkShiftOff = nullptr;
    QCheckBox* chkShiftMultiple = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;
};

} // namespace hv
