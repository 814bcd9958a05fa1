#pragma once
// The Departments window: name, short code, active flag and manager of each
// department, one at a time.
#include "widgets/RecordWindow.h"

#include <memory>

class QCheckBox;
class QLineEdit;

namespace hv {

class THourvaneDataMod;
class TDeptRecClass;
class TQVComboBox;

inline constexpr int kDepartmentsHelpContext = 210;

class TfrmDepts : public TRecordWindow {
    Q_OBJECT
public:
    TfrmDepts(THourvaneDataMod& dm, AppState& state, QWidget* owner = nullptr);
    ~TfrmDepts() override;

    const TDeptRecClass& department() const { return *m_dept; }

    // The event handlers under their names (Save and Delete: TRecordWindow).
    void cboDeptsClick() { choose(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

    void refillPicker() override;
    bool loadRecord(std::int32_t id) override;
    void showRecord() override;
    void clearRecord() override;
    // Validate and save; a failed save of a stored department shows a new one.
    bool saveRecord() override;
    bool confirmDelete() override;
    bool takeTypedText() override;

private:
    void refillManagers();
    void storeTexts();

    THourvaneDataMod& m_dm;
    std::unique_ptr<TDeptRecClass> m_dept;

    TQVComboBox* cboDepts = nullptr;
    QLineEdit* txtDeptName = nullptr;
    QLineEdit* txtDeptCode = nullptr;
    QCheckBox* chkActive = nullptr;
    TQVComboBox* cboManagers = nullptr;
};

} // namespace hv
