#pragma once
// The Benefit Policy Wizard: the editor of a benefit's accrual policy, one
// band of months of service per page, then the whole chain as a table.
#include "storage/AppState.h"

#include <QDialog>

#include <memory>
#include <string>

class QHeaderView;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QWidget;

namespace hv {

class THourvaneDataMod;
class TPolicyListClass;
class TQVComboBox;
class TQVGrid;

// Examples of policies, opened by "&Examples" and F1.
inline constexpr int kPolicyWizardHelpContext = 130;

class TfrmPolicy : public QDialog {
    Q_OBJECT
public:
    TfrmPolicy(THourvaneDataMod& dm, AppState& state, std::string settingsFileName, QWidget* owner = nullptr);
    ~TfrmPolicy() override;

    const TPolicyListClass& policy() const { return *m_list; }
    int page() const { return m_page; }
    int band() const { return m_band; }

    // The event handlers under their names.
    void cboBenefitsClick();
    void cmdNextClick();
    void cmdBackClick();

public slots:
    // Cancel: nothing is saved; the rules are let go.
    void reject() override;

protected:
    bool event(QEvent* event) override;

private:
    void buildPages();
    void showPage(int page);
    void showBand();
    void fillTable();
    void finish();
    void releaseRules();
    void saveWidths();

    THourvaneDataMod& m_dm;
    AppState& m_state;
    std::string m_settingsFileName;
    std::unique_ptr<TPolicyListClass> m_list;
    int m_page = 0;
    int m_band = 0;
    bool m_shown = false;
    bool m_closed = false;

    QStackedWidget* pgWizard = nullptr;
    TQVComboBox* cboBenefits = nullptr;
    QWidget* pnlAtLeast = nullptr;
    QLineEdit* txtStart = nullptr;
    QRadioButton* optStartYears = nullptr;
    QRadioButton* optStartMonths = nullptr;
    QLineEdit* txtEnd = nullptr;
    QRadioButton* optEndYears = nullptr;
    QRadioButton* optEndMonths = nullptr;
    QLineEdit* txtHours = nullptr;
    QRadioButton* optHoursYear = nullptr;
    QRadioButton* optHoursPeriod = nullptr;
    QLineEdit* txtCarryOver = nullptr;
    TQVGrid* grdPolicy = nullptr;
    QHeaderView* hdrPolicy = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdExamples = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdNext = nullptr;
};

} // namespace hv
