#include "exchange/windows/WizardParts.h"

#include "ports/CursorService.h"
#include "ports/HelpService.h"
#include "ports/MessageService.h"
#include "storage/Prefer.h"
#include "widgets/WindowUtil.h"

#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>

namespace hv::wizard {

Buttons BuildFrame(QDialog& dialog, QStackedWidget* pages, int helpContext)
{
    Buttons b;
    b.help = new QPushButton("&Help", &dialog);
    b.help->setObjectName("btnHelp");
    b.back = new QPushButton("< &Back", &dialog);
    b.back->setObjectName("btnBack");
    b.next = new QPushButton("&Next", &dialog);
    b.next->setObjectName("btnNext");
    b.cancel = new QPushButton("Cancel", &dialog);
    b.cancel->setObjectName("btnCancel");
    for (QPushButton* button : {b.help, b.back, b.next, b.cancel})
        button->setAutoDefault(false);
    b.next->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(b.help);
    buttons->addStretch();
    buttons->addWidget(b.back);
    buttons->addWidget(b.next);
    buttons->addSpacing(12);
    buttons->addWidget(b.cancel);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(pages);
    layout->addLayout(buttons);

    QObject::connect(b.cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto showHelp = [helpContext] { helpService().showTopic(helpContext); };
    QObject::connect(b.help, &QPushButton::clicked, &dialog, showHelp);
    auto* help = new QShortcut(QKeySequence::HelpContents, &dialog);
    QObject::connect(help, &QShortcut::activated, &dialog, showHelp);
    return b;
}

QLabel* PageText(const char* text, QWidget* parent)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setWordWrap(true);
    return label;
}

QRadioButton* Radio(const char* name, const char* caption, QWidget* parent)
{
    auto* button = new QRadioButton(QString::fromUtf8(caption), parent);
    button->setObjectName(name);
    return button;
}

void BarProgress::setMaximum(int max) { m_bar->setMaximum(std::max(1, max)); }

void BarProgress::setPosition(int pos)
{
    m_bar->setValue(pos);
    m_bar->repaint();
}

void BarProgress::step() { setPosition(m_bar->value() + 1); }

std::string Preference(THourvaneDataMod& dm, const std::string& settingsFile, const std::string& key)
{
    TPreferenceRecClass pref(dm, key, PreferStorage::SettingsFile);
    pref.setFileName(settingsFile);
    return pref.Load() ? pref.value() : std::string();
}

void StorePreference(THourvaneDataMod& dm, const std::string& settingsFile, const std::string& key,
                     const std::string& value, const std::string& identity)
{
    TPreferenceRecClass pref(dm, key, PreferStorage::SettingsFile);
    pref.setFileName(settingsFile);
    pref.SetValue(value);
    pref.Save(identity);
}

} // namespace hv::wizard

namespace hv {
namespace {

// The folder the Browse dialogs of both wizards start in.
const char* const kFolderKey = "ExportPath";

} // namespace

TDataWizard::TDataWizard(THourvaneDataMod& dm, AppState& state, std::string settingsFileName, Names names,
                         QWidget* owner) :
    QDialog(owner), m_dm(dm), m_state(state), m_settingsFileName(std::move(settingsFileName)), m_names(names)
{
    nbkPages = new QStackedWidget(this);
    nbkPages->setObjectName("nbkPages");
}

void TDataWizard::addWelcomePage(const char* title, const char* text)
{
    auto* page = new QWidget(this);
    chkSkipPage = new QCheckBox("Skip this page next time.", page);
    chkSkipPage->setObjectName("chkSkipPage");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(wizard::PageText(title, page));
    layout->addWidget(wizard::PageText(text, page));
    layout->addStretch();
    layout->addWidget(chkSkipPage);
    addPage(page);
}

void TDataWizard::addPage(QWidget* page) { nbkPages->addWidget(page); }

void TDataWizard::addSummaryPage(const char* intro)
{
    auto* page = new QWidget(this);
    lblSummary = new QLabel(page);
    lblSummary->setObjectName("lblSummary");
    lblSummary->setTextFormat(Qt::PlainText);
    lblSummary->setMinimumWidth(360);
    m_progress = new QProgressBar(page);
    m_progress->setObjectName(m_names.progressName);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(wizard::PageText(intro, page));
    layout->addWidget(lblSummary);
    layout->addStretch();
    layout->addWidget(m_progress);
    addPage(page);
}

void TDataWizard::finishFrame()
{
    const wizard::Buttons buttons = wizard::BuildFrame(*this, nbkPages, m_names.helpContext);
    btnHelp = buttons.help;
    btnBack = buttons.back;
    btnNext = buttons.next;
    btnCancel = buttons.cancel;
    connect(btnNext, &QPushButton::clicked, this, [this] { btnNextClick(); });
    connect(btnBack, &QPushButton::clicked, this, [this] { btnBackClick(); });
    const bool skipWelcome = wizard::Preference(m_dm, m_settingsFileName, m_names.skipKey) == "1";
    chkSkipPage->setChecked(skipWelcome);
    showPage(skipWelcome ? 1 : 0);
}

void TDataWizard::addFileRow(QVBoxLayout* layout, QWidget* page, const char* caption)
{
    txtFileName = new QLineEdit(page);
    txtFileName->setObjectName("txtFileName");
    btnBrowse = new QPushButton("B&rowse...", page);
    btnBrowse->setObjectName("btnBrowse");
    btnBrowse->setAutoDefault(false);
    auto* file = new QHBoxLayout;
    file->addWidget(txtFileName, 1);
    file->addWidget(btnBrowse);
    layout->addSpacing(12);
    auto* fileLabel = new QLabel(caption, page);
    fileLabel->setBuddy(txtFileName);
    layout->addWidget(fileLabel);
    layout->addLayout(file);
    layout->addStretch();
    connect(btnBrowse, &QPushButton::clicked, this, [this] { btnBrowseClick(); });
}

std::string TDataWizard::proposedFileName(bool table) const
{
    const std::string folder = wizard::Preference(m_dm, m_settingsFileName, kFolderKey);
    const std::string current = txtFileName->text().toStdString();
    const std::string name = current.empty() ? (table ? "*.dbf" : "*.txt") : current;
    return std::filesystem::path(name).has_parent_path() || folder.empty()
               ? name
               : (std::filesystem::path(folder) / name).string();
}

void TDataWizard::rememberFolder(const std::string& chosenFile)
{
    wizard::StorePreference(m_dm, m_settingsFileName, kFolderKey,
                            std::filesystem::path(chosenFile).parent_path().string(), m_state.lockIdentity);
}

std::string TDataWizard::shownPath(const std::string& path) const
{
    const int width = std::max(100, lblSummary->width() > 0 ? lblSummary->width() : 360);
    return ShortenPath(path, lblSummary->fontMetrics(), width);
}

int TDataWizard::page() const { return nbkPages->currentIndex(); }

void TDataWizard::showPage(int page)
{
    const bool summary = page == nbkPages->count() - 1;
    nbkPages->setCurrentIndex(page);
    btnBack->setEnabled(page != 0);
    btnNext->setText(summary ? m_names.runCaption : "&Next");
    pageShown(page);
    if (summary)
        lblSummary->setText(QString::fromStdString(summaryText()));
}

void TDataWizard::holdButtons(bool held)
{
    btnNext->setEnabled(!held);
    btnBack->setEnabled(!held);
    if (held)
        ShowWaitCursor();
    else
        RestoreCursor();
}

void TDataWizard::askForAnother(const std::string& question)
{
    if (ask(question) == MsgResult::Yes) {
        m_progress->setValue(0);
        showPage(1);
        return;
    }
    accept();
}

void TDataWizard::done(int result)
{
    if (!m_closed) {
        m_closed = true;
        closing();
        wizard::StorePreference(m_dm, m_settingsFileName, m_names.skipKey, chkSkipPage->isChecked() ? "1" : "0",
                                m_state.lockIdentity);
    }
    if (isVisible())
        QDialog::done(result);
    else
        setResult(result);
}

} // namespace hv
