#include "exchange/windows/WizardParts.h"

#include "ports/HelpService.h"
#include "storage/Prefer.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>

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
