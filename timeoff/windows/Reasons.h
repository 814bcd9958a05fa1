#pragma once
// The Time Off Reasons window: creates, edits and deletes the reasons that
// classify time off, with their flags and, for benefits, the basis of the
// benefit year and of the balance check.
#include "storage/AppState.h"

#include <QDialog>

#include <memory>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace hv {

class THourvaneDataMod;
class TReasonRecClass;
class TQVComboBox;

// The window's page and its delete question.
inline constexpr int kReasonsHelpContext = 110;

class TfrmReasons : public QDialog {
    Q_OBJECT
public:
    TfrmReasons(THourvaneDataMod& dm, AppState& state, QWidget* owner = nullptr);
    ~TfrmReasons() override;

    const TReasonRecClass& reason() const { return *m_reason; }

    // The event handlers under their names.
    void cboReasonsClick();
    // True when the reason was saved.
    bool cmdSaveClick();
    void cmdDeleteClick();

public slots:
    // Closing by any way (Close button, Escape, the title bar) asks first.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refillReasons();
    void resetForm();
    void releaseLock();
    bool holdsLock() const;
    void textTyped();
    void valueStored();
    void storeTexts();
    void policyClicked(bool on);
    void showBasisButtons(const std::string& accrual, const std::string& validate);
    void clearBasisButtons();

    THourvaneDataMod& m_dm;
    AppState& m_state;
    std::unique_ptr<TReasonRecClass> m_reason;
    bool m_loading = false;
    bool m_closed = false;

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
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdClose = nullptr;
};

} // namespace hv
