#pragma once
// The "Tip of the Day" window: one tip at a time, stepping both ways, and the
// choice whether tips open at start-up. Closing it stores where to go on.
#include "settings/TDayTips.h"

#include <QDialog>

#include <memory>
#include <string>

class QCheckBox;
class QLabel;
class QPushButton;

namespace hv {

class TfrmTips : public QDialog {
    Q_OBJECT
public:
    // tipFile: the program folder + "HOURVANE.TIP".
    TfrmTips(std::string tipFile, std::string settingsFileName, QWidget* owner = nullptr);
    ~TfrmTips() override;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormActivate();
    void showTip(const std::string& tip);

    std::string m_tipFile;
    std::string m_settingsFileName;
    std::unique_ptr<TTipOfDayClass> m_tips;
    bool m_loaded = false;

    QLabel* lblHeading = nullptr;
    QLabel* lblTip = nullptr;
    QCheckBox* chkShowTips = nullptr;
    QPushButton* cmdPrevious = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdEditTips = nullptr;
};

} // namespace hv
