#pragma once
// The Time Off Reasons window: creates, edits and deletes the reasons that
// classify time off, with their flags and, for benefits, the basis of the
// benefit year and of the balance check.
#include "widgets/RecordWindow.h"

#include <memory>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace hv {

class THourvaneDataMod;
class TReasonRecClass;
class TQVComboBox;

// The window's page and its delete question.
inline constexpr int kReasonsHelpContext = 110;

class TfrmReasons : public TRecordWindow {
    Q_OBJECT
public:
    TfrmReasons(THourvaneDataMod& dm, AppState& state, QWidget* owner = nullptr);
    ~TfrmReasons() override;

    const TReasonRecClass& reason() const { return *m_reason; }

    // The event handlers under their names (Save and Delete: TRecordWindow).
    void cboReasonsClick() { choose(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

    void refillPicker() override;
    bool loadRecord(std::int32_t id) override;
    void showRecord() override;
    void clearRecord() override;
    bool saveRecord() override;
    // Deleting needs the database to itself, then the user's Yes.
    bool confirmDelete() override;
    bool takeTypedText() override;

private:
    void storeTexts();
    void policyClicked(bool on);
    void showBasisButtons(const std::string& accrual, const std::string& validate);
    void clearBasisButtons();

    THourvaneDataMod& m_dm;
    std::unique_ptr<TReasonRecClass> m_reason;

    TQVComboBox* cboReasons = nullptr;
    QLineEdit* txtDescription = nullptr;
    QLineEdit* txtCode = nullptr;
    QCheckBox* chkActive = nullptr;
    QCheckBox* chkPaid = nullptr;
    QCheckBox* chkOvertime = nullptr;
    QCheckBox* chkPolicy = nullptr;
    QGroupBox* grpAccrualBasis = nullptr;
    QGroupBox* grpValidateBasis = nullptr;
    QButtonGroup* m_accrualGroup = nullptr;
    QButtonGroup* m_validateGroup = nullptr;
    QRadioButton* btnCalendar = nullptr;
    QRadioButton* btnAnniversary = nullptr;
    QRadioButton* btnUser = nullptr;
    QRadioButton* btnEarnedtoDate = nullptr;
    QRadioButton* btnYearEnd = nullptr;
};

} // namespace hv
