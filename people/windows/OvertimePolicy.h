#pragma once
// The Overtime Policies window: maintains the overtime policies, or shows one
// of them read-only for the employee window.
#include "storage/AppState.h"
#include "widgets/WindowUtil.h"

#include <QDialog>

#include <cstdint>
#include <memory>

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace hv {

class THourvaneDataMod;
class TOTPolicyRecClass;
class TQVComboBox;
class TQVNumberEdit;

inline constexpr int kOvertimePolicyHelpContext = 510;

class TfrmOvertimePolicy : public QDialog {
    Q_OBJECT
public:
    // scale decides whether the screen has 96 pixels per inch and scales the
    // rate fields' shift when it has not.
    TfrmOvertimePolicy(THourvaneDataMod& dm, AppState& state, QWidget* owner = nullptr,
                       ScaleFunction scale = &ScaleToScreen);
    ~TfrmOvertimePolicy() override;

    // Shows the policy read-only (0 or less: the default policy) instead of
    // editing; set before the window is shown.
    void setViewPolicy(std::int32_t policyID) { m_viewPolicyID = policyID; }
    bool viewMode() const { return m_viewPolicyID != -1; }
    const TOTPolicyRecClass& policy() const { return *m_policy; }
    // How far the rate fields moved right (0 at 96 pixels per inch).
    int rateShift() const { return m_rateShift; }

    // The event handlers under their names.
    void cboPoliciesClick();
    void chkOver2Click();
    bool cmdSaveClick();
    void cmdDeleteClick();

public slots:
    void reject() override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refillPolicies();
    void showPolicy();
    void showSecondLine(bool on);
    void enterViewMode();
    bool ValidateAndSave();
    // Lets go of the shown policy's lock, then shows a new one.
    void Reset();
    void releaseLock();
    bool holdsLock() const;
    void fieldChanged();
    void valueStored();
    void storeField(QObject* field);

    THourvaneDataMod& m_dm;
    AppState& m_state;
    std::unique_ptr<TOTPolicyRecClass> m_policy;
    std::int32_t m_viewPolicyID = -1;
    int m_rateShift = 0;
    bool m_loading = false;
    bool m_closed = false;
    bool m_activated = false;

    TQVComboBox* cboPolicies = nullptr;
    QLineEdit* txtPolicy = nullptr;
    QRadioButton* btnWeekly = nullptr;
    QRadioButton* btnDaily = nullptr;
    QCheckBox* chkOver1 = nullptr;
    TQVNumberEdit* txtHours1 = nullptr;
    TQVNumberEdit* txtRate1 = nullptr;
    QCheckBox* chkOver2 = nullptr;
    TQVNumberEdit* txtHours2 = nullptr;
    TQVNumberEdit* txtRate2 = nullptr;
    QLabel* lblOver2 = nullptr;
    QLabel* lblPay2 = nullptr;
    QLabel* lblWage2 = nullptr;
    QCheckBox* chkActive = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdClose = nullptr;
};

} // namespace hv
