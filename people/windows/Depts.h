#pragma once
// The Departments window: name, short code, active flag and manager of each
// department, one at a time.
#include "storage/AppState.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace hv {

class THourvaneDataMod;
class TDeptRecClass;
class TQVComboBox;

inline constexpr int kDepartmentsHelpContext = 210;

class TfrmDepts : public QDialog {
    Q_OBJECT
public:
    TfrmDepts(THourvaneDataMod& dm, AppState& state, QWidget* owner = nullptr);
    ~TfrmDepts() override;

    const TDeptRecClass& department() const { return *m_dept; }

    // The event handlers under their names.
    void cboDeptsClick();
    bool cmdSaveClick();
    void cmdDeleteClick();

public slots:
    // Closing by any way (Close button, Escape, the title bar) asks first.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refillDepartments();
    void refillManagers();
    bool ValidateAndSave();
    // Lets go of the shown department's lock, then shows a new one.
    void Reset();
    void releaseLock();
    bool holdsLock() const;
    void textChanged();
    void valueStored();
    void storeTexts();

    THourvaneDataMod& m_dm;
    AppState& m_state;
    std::unique_ptr<TDeptRecClass> m_dept;
    bool m_loading = false;
    bool m_closed = false;

    TQVComboBox* cboDepts = nullptr;
    QLineEdit* txtDeptName = nullptr;
    QLineEdit* txtDeptCode = nullptr;
    QCheckBox* chkActive = nullptr;
    TQVComboBox* cboManagers = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdClose = nullptr;
};

} // namespace hv
