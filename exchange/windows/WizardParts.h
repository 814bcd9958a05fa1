#pragma once
// What the Data Import and Data Export Wizards share: the frame of pages
// with Help, Back, Next and Cancel below, the welcome page whose "skip"
// choice is kept in the settings file, the data file's row and its remembered
// folder, the summary page with its progress bar, the run with the buttons
// held, the question about another file, and the wizard's own settings.
#include "storage/AppState.h"
#include "storage/DataModule.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QVBoxLayout;
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

namespace hv {

// The pages run from the welcome page (0) through the kind of data (1) to the
// summary page, the last, whose Next runs the wizard.
class TDataWizard : public QDialog {
    Q_OBJECT
public:
    int page() const;

    // The event handlers every data wizard has.
    virtual void btnNextClick() = 0;
    virtual void btnBackClick() = 0;
    virtual void btnBrowseClick() = 0;

public slots:
    // Keeps the "skip the welcome page" choice, also when the window is
    // destroyed without being shown.
    void done(int result) override;

protected:
    struct Names {
        const char* skipKey; // the setting of the "skip" choice
        int helpContext;
        const char* runCaption;   // Next's caption on the summary page
        const char* progressName; // the summary page's progress bar
    };
    TDataWizard(THourvaneDataMod& dm, AppState& state, std::string settingsFileName, Names names, QWidget* owner);

    // The pages, in their order: the welcome page, the window's own, the
    // summary page; then the frame, which opens on the welcome page or, when
    // it is skipped, on the kind of data.
    void addWelcomePage(const char* title, const char* text);
    void addPage(QWidget* page);
    void addSummaryPage(const char* intro);
    void finishFrame();

    // The data file's caption, box and Browse button, below the page's choices.
    void addFileRow(QVBoxLayout* layout, QWidget* page, const char* caption);
    // The file the Browse dialog proposes: the box's name, or "*.dbf" or
    // "*.txt", in the folder last chosen when the name has none.
    std::string proposedFileName(bool table) const;
    void rememberFolder(const std::string& chosenFile);
    // The path shortened to the summary's width.
    std::string shownPath(const std::string& path) const;

    void showPage(int page);
    // What the summary page says.
    virtual std::string summaryText() const = 0;
    // A page was shown (showPage has set the frame).
    virtual void pageShown(int) {}
    // Closing steps of the window before the "skip" choice is kept.
    virtual void closing() {}

    // Runs the wizard's work with the busy cursor while Next and Back are held.
    template <class Run>
    auto runHeld(Run&& run)
    {
        holdButtons(true);
        auto result = run();
        holdButtons(false);
        return result;
    }
    // After a completed run: Yes starts again on the kind of data, No closes.
    void askForAnother(const std::string& question);

    THourvaneDataMod& m_dm;
    AppState& m_state;
    std::string m_settingsFileName;

    QStackedWidget* nbkPages = nullptr;
    QPushButton* btnHelp = nullptr;
    QPushButton* btnBack = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnCancel = nullptr;
    QCheckBox* chkSkipPage = nullptr;
    QLineEdit* txtFileName = nullptr;
    QPushButton* btnBrowse = nullptr;
    QLabel* lblSummary = nullptr;
    QProgressBar* m_progress = nullptr;

private:
    void holdButtons(bool held);

    Names m_names;
    bool m_closed = false;
};

} // namespace hv
