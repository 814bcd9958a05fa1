#pragma once
// What the Data Import and Data Export Wizards share: the frame of pages
// with Help, Back, Next and Cancel below, a wrapped page text, a named radio
// button, a page's progress bar as the runs drive it, and the wizard's own
// settings (its "skip the welcome page" choice).
#include "storage/DataModule.h"

#include <string>

class QDialog;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QWidget;

namespace hv::wizard {

struct Buttons {
    QPushButton* help = nullptr;
    QPushButton* back = nullptr;
    QPushButton* next = nullptr;
    QPushButton* cancel = nullptr;
};

// Lays the pages out above the four buttons (Next the default). Help and F1
// open the help topic; Cancel rejects the dialog. Next and Back are the
// wizard's to connect.
Buttons BuildFrame(QDialog& dialog, QStackedWidget* pages, int helpContext);

QLabel* PageText(const char* text, QWidget* parent);
QRadioButton* Radio(const char* name, const char* caption, QWidget* parent);

// The page's progress bar, painted at every step so a long run shows where it is.
class BarProgress : public ProgressDisplay {
public:
    explicit BarProgress(QProgressBar* bar) : m_bar(bar) {}
    void setMaximum(int max) override;
    void setPosition(int pos) override;
    void step() override;
    void setMainLabel(const std::string&, bool) override {}
    void setArrowVisible(bool) override {}
    void setSecondLabelVisible(bool) override {}
    void showAndPaint() override {}
    void release() override {}

private:
    QProgressBar* m_bar;
};

// A setting of the wizard kept in the settings file.
std::string Preference(THourvaneDataMod& dm, const std::string& settingsFile, const std::string& key);
void StorePreference(THourvaneDataMod& dm, const std::string& settingsFile, const std::string& key,
                     const std::string& value, const std::string& identity);

} // namespace hv::wizard
