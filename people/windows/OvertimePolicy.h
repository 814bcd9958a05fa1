#pragma once
// The Overtime Policies window: maintains the overtime policies, or shows one
// of them read-only for the employee window.
#include "widgets/RecordWindow.h"
#include "widgets/WindowUtil.h"

#include <cstdint>
#include <memory>

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace hv {

class THourvaneDataMod;
class TOTPolicyRecClass;
class TQVComboBox;
class TQVNumberEdit;

inline constexpr int kOvertimePolicyHelpContext = 510;

class TfrmOvertimePolicy : public TRecordWindow {
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

    // The event handlers under their names (Save and Delete: TRecordWindow).
    void cboPoliciesClick() { choose(); }
    void chkOver2Click();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    void refillPicker() override;
    bool loadRecord(std::int32_t id) override;
    void showRecord() override;
    void clearRecord() override;
    // Validate and save; a failed save of a stored policy shows a new one.
    bool saveRecord() override;
    bool confirmDelete() override;
    bool takeTypedText() override;
    bool readOnly() const override { return viewMode(); }

private:
    void showSecondLine(bool on);
    void enterViewMode();
    void storeField(QObject* field);

    THourvaneDataMod& m_dm;
    std::unique_ptr<TOTPolicyRecClass> m_policy;
    std::int32_t m_viewPolicyID = -1;
    int m_rateShift = 0;
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
};

} // namespace hv
