#include "settings/windows/Preferences.h"

#include "platform/Format.h"
#include "platform/RegionalSettings.h"
#include "ports/CursorService.h"
#include "ports/HelpService.h"
#include "ports/MessageService.h"
#include "settings/PreferenceRules.h"
#include "widgets/PickDate.h"
#include "widgets/TQVDateEdit.h"
#include "widgets/TQVTimeEdit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace hv {
namespace {

const char* const kPageCaptions[] = {"Hours Display", "Punch In/Out Times", "Start Date", "User Benefit Year",
                                     "Overtime"};
const char* const kPageButtons[] = {"btnHoursDisplay", "btnPunchTimes", "btnStartDate", "btnBenefitYear",
                                    "btnOvertime"};
// Standard pictures of the style, one per page.
const QStyle::StandardPixmap kPageIcons[] = {QStyle::SP_FileDialogDetailedView, QStyle::SP_BrowserReload,
                                             QStyle::SP_FileDialogContentsView, QStyle::SP_DirHomeIcon,
                                             QStyle::SP_ArrowUp};
const char* const kHourFormats[] = {"#0", "#0.0", "#0.00"};
// The actual value the hours sample shows.
constexpr double kSampleHours = 8.69;
// 17:12, the time sample.
constexpr double kSampleTime = (17 * 60 + 12) / 1440.0;

QRadioButton* radio(const char* name, const char* caption, QButtonGroup* group, QWidget* parent)
{
    auto* b = new QRadioButton(caption, parent);
    b->setObjectName(name);
    group->addButton(b);
    return b;
}

QLineEdit* numberBox(const char* name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    const QString separator = QRegularExpression::escape(QString::fromStdString(regional().decimalSeparator));
    box->setValidator(new QRegularExpressionValidator(QRegularExpression("\\d{0,4}(" + separator + "\\d{0,2})?"), box));
    box->setMaximumWidth(80);
    return box;
}

float numberOf(const QLineEdit* box) { return float(StrToFloatDef(box->text().toStdString(), 0)); }

QString twoDecimals(float value) { return QString::fromStdString(FormatText("%4.2f", double(value))); }

} // namespace

TfrmPreferences::TfrmPreferences(THourvaneDataMod& dm, AppState& state, const GlobalSettings& current, bool mayEdit,
                                 DatePicker& datePicker, QWidget* owner) :
    QDialog(owner), m_dm(dm), m_state(state), m_current(current), m_values(current), m_datePicker(datePicker)
{
    setObjectName("frmPreferences");
    setWindowTitle("Preferences");

    auto* icons = new QWidget(this);
    auto* iconLayout = new QVBoxLayout(icons);
    auto* iconGroup = new QButtonGroup(this);
    for (int i = 0; i < 5; ++i) {
        auto* b = new QToolButton(icons);
        b->setObjectName(kPageButtons[i]);
        b->setText(kPageCaptions[i]);
        b->setIcon(style()->standardIcon(kPageIcons[i]));
        b->setIconSize(QSize(32, 32));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setMinimumWidth(110);
        iconGroup->addButton(b);
        iconLayout->addWidget(b);
        connect(b, &QToolButton::clicked, this, [this, i] { showPage(i); });
        m_iconButtons[std::size_t(i)] = b;
    }
    iconLayout->addStretch();
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("scrIcons");
    scroll->setWidget(icons);
    scroll->setWidgetResizable(true);
    scroll->setFixedWidth(140);
    // Where the inactive caption would not stand out from the buttons, the
    // box turns dark grey so that the pictures do.
    if (palette().color(QPalette::Inactive, QPalette::Window) == palette().color(QPalette::Button)) {
        QPalette dark = scroll->palette();
        dark.setColor(QPalette::Window, QColor(128, 128, 128));
        scroll->setPalette(dark);
        icons->setAutoFillBackground(true);
        icons->setPalette(dark);
        m_darkIcons = true;
    }

    lblHeadingIcon = new QLabel(this);
    lblHeadingIcon->setObjectName("lblHeadingIcon");
    lblHeading = new QLabel(this);
    lblHeading->setObjectName("lblHeading");
    QFont headingFont = lblHeading->font();
    headingFont.setBold(true);
    lblHeading->setFont(headingFont);
    if (m_darkIcons) {
        QPalette active = lblHeading->palette();
        active.setColor(QPalette::WindowText, palette().color(QPalette::Active, QPalette::Highlight));
        lblHeading->setPalette(active);
    }
    auto* heading = new QHBoxLayout;
    heading->addWidget(lblHeadingIcon);
    heading->addWidget(lblHeading, 1);

    pgPreferences = new QStackedWidget(this);
    pgPreferences->setObjectName("pgPreferences");
    pgPreferences->addWidget(buildHoursPage());
    pgPreferences->addWidget(buildPunchPage());
    pgPreferences->addWidget(buildStartDatePage());
    pgPreferences->addWidget(buildBenefitYearPage());
    pgPreferences->addWidget(buildOvertimePage());
    pgPreferences->addWidget(buildShiftPage());

    cmdSave = new QPushButton("Save", this);
    cmdSave->setObjectName("cmdSave");
    cmdCancel = new QPushButton("Cancel", this);
    cmdCancel->setObjectName("cmdCancel");
    cmdSave->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);
    cmdSave->setEnabled(mayEdit);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);

    auto* right = new QVBoxLayout;
    right->addLayout(heading);
    right->addWidget(pgPreferences, 1);
    auto* body = new QHBoxLayout;
    body->addWidget(scroll);
    body->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize); // as large as its contents: nothing to maximise

    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSaveClick(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [] { helpService().showTopic(kPreferencesHelpContext); });

    fillFromSettings();
    showPage(HoursDisplay);
}

TfrmPreferences::~TfrmPreferences() = default;

QWidget* TfrmPreferences::buildHoursPage()
{
    auto* page = new QWidget(this);
    auto* rounding = new QGroupBox("Adjust hours to the nearest", page);
    auto* roundGroup = new QButtonGroup(page);
    auto* roundLayout = new QVBoxLayout(rounding);
    const char* captions[] = {"Minute", "5 Minutes", "Tenth Hour", "10 Minutes", "Quarter Hour", "Half Hour"};
    for (int i = 0; i < 6; ++i) {
        const std::string name = "optRound" + std::to_string(i);
        optRound[std::size_t(i)] = radio(name.c_str(), captions[i], roundGroup, rounding);
        roundLayout->addWidget(optRound[std::size_t(i)]);
    }
    auto* display = new QGroupBox("Display hours in", page);
    auto* formatGroup = new QButtonGroup(page);
    optWhole = radio("optWhole", "Whole", formatGroup, display);
    optTenths = radio("optTenths", "Tenths", formatGroup, display);
    optHundredths = radio("optHundredths", "Hundredths", formatGroup, display);
    auto* sample = new QGridLayout;
    sample->addWidget(new QLabel("Actual", display), 0, 0);
    auto* actual = new QLabel(QString::fromStdString(FormatFloat("#0.00", kSampleHours)), display);
    actual->setObjectName("lblActualValue");
    sample->addWidget(actual, 0, 1);
    sample->addWidget(new QLabel("Display", display), 1, 0);
    lblDisplayValue = new QLabel(display);
    lblDisplayValue->setObjectName("lblDisplayValue");
    sample->addWidget(lblDisplayValue, 1, 1);
    auto* displayLayout = new QVBoxLayout(display);
    for (QRadioButton* b : {optWhole, optTenths, optHundredths})
        displayLayout->addWidget(b);
    displayLayout->addLayout(sample);
    for (QRadioButton* b : {optWhole, optTenths, optHundredths})
        connect(b, &QRadioButton::toggled, this, [this] { showSamples(); });
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(rounding);
    layout->addWidget(display);
    return page;
}

QWidget* TfrmPreferences::buildPunchPage()
{
    auto* page = new QWidget(this);
    auto* entry = new QGroupBox("Enter times in", page);
    auto* typeGroup = new QButtonGroup(page);
    opt12Hour = radio("opt12Hour", "12 Hour time (AM/PM)", typeGroup, entry);
    opt24Hour = radio("opt24Hour", "24 Hour time", typeGroup, entry);
    lblTimeSample = new QLabel(entry);
    lblTimeSample->setObjectName("lblTimeSample");
    auto* entryLayout = new QGridLayout(entry);
    entryLayout->addWidget(opt12Hour, 0, 0, 1, 2);
    entryLayout->addWidget(opt24Hour, 1, 0, 1, 2);
    entryLayout->addWidget(new QLabel("Sample:", entry), 2, 0);
    entryLayout->addWidget(lblTimeSample, 2, 1);
    auto* keys = new QGroupBox("Shortcut Keys", page);
    txtAMKey = new QLineEdit(keys);
    txtAMKey->setObjectName("txtAMKey");
    txtPMKey = new QLineEdit(keys);
    txtPMKey->setObjectName("txtPMKey");
    auto* keyLayout = new QGridLayout(keys);
    keyLayout->addWidget(new QLabel("Press for AM", keys), 0, 0);
    keyLayout->addWidget(txtAMKey, 0, 1);
    keyLayout->addWidget(new QLabel("Press for PM", keys), 1, 0);
    keyLayout->addWidget(txtPMKey, 1, 1);
    for (QLineEdit* box : {txtAMKey, txtPMKey}) {
        box->installEventFilter(this);
        // Typed characters never show: the box shows the captured key.
        box->setContextMenuPolicy(Qt::NoContextMenu);
    }
    connect(opt12Hour, &QRadioButton::toggled, this, [this] { timeTypeChanged(); });
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(entry);
    layout->addWidget(keys);
    layout->addStretch();
    return page;
}

QWidget* TfrmPreferences::buildStartDatePage()
{
    auto* page = new QWidget(this);
    txtStartDate = new TQVDateEdit(page);
    txtStartDate->setObjectName("txtStartDate");
    txtStartDate->setDisplayFormat(m_state.displayDateFormat);
    txtStartDate->setMaximumWidth(120);
    spdStartDate = new QToolButton(page);
    spdStartDate->setObjectName("spdStartDate");
    spdStartDate->setText("...");
    lblWeekStart = new QLabel(page);
    lblWeekStart->setObjectName("lblWeekStart");
    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel("Your first Hourvane week starts on", page), 0, 0, 1, 3);
    layout->addWidget(txtStartDate, 1, 0);
    layout->addWidget(spdStartDate, 1, 1);
    layout->addWidget(new QLabel("Based on your selection your work week will start on:", page), 2, 0, 1, 3);
    layout->addWidget(lblWeekStart, 3, 0, 1, 3);
    layout->setRowStretch(4, 1);
    layout->setColumnStretch(2, 1);
    connect(txtStartDate, &TQVDateEdit::exitBox, this, [this] { showWeekStart(); });
    connect(spdStartDate, &QToolButton::clicked, this, &TfrmPreferences::spdStartDateClick);
    return page;
}

QWidget* TfrmPreferences::buildBenefitYearPage()
{
    auto* page = new QWidget(this);
    cboStartMonth = new QComboBox(page);
    cboStartMonth->setObjectName("cboStartMonth");
    for (const std::string& month : regional().longMonthNames)
        cboStartMonth->addItem(QString::fromStdString(month));
    cboStartDay = new QComboBox(page);
    cboStartDay->setObjectName("cboStartDay");
    lblYearFrom = new QLabel(page);
    lblYearFrom->setObjectName("lblYearFrom");
    lblYearTo = new QLabel(page);
    lblYearTo->setObjectName("lblYearTo");
    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel("Start Month", page), 0, 0);
    layout->addWidget(cboStartMonth, 0, 1);
    layout->addWidget(new QLabel("Start Day", page), 1, 0);
    layout->addWidget(cboStartDay, 1, 1);
    layout->addWidget(new QLabel("Your special benefit year runs from", page), 2, 0, 1, 2);
    layout->addWidget(lblYearFrom, 3, 0);
    layout->addWidget(new QLabel("To", page), 3, 1);
    layout->addWidget(lblYearTo, 3, 2);
    layout->setRowStretch(4, 1);
    connect(cboStartMonth, &QComboBox::currentIndexChanged, this, [this] { cboStartMonthChange(); });
    connect(cboStartDay, &QComboBox::currentIndexChanged, this, [this] { showBenefitYear(); });
    return page;
}

QWidget* TfrmPreferences::buildOvertimePage()
{
    auto* page = new QWidget(this);
    txtOvertime = numberBox("txtOvertime", page);
    auto* basis = new QButtonGroup(page);
    optPerWeek = radio("optPerWeek", "Hours per Week", basis, page);
    optPerDay = radio("optPerDay", "Hours per Day", basis, page);
    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel("Calculate overtime after working", page), 0, 0, 1, 2);
    layout->addWidget(txtOvertime, 1, 0);
    layout->addWidget(optPerWeek, 1, 1);
    layout->addWidget(optPerDay, 2, 1);
    layout->setRowStretch(3, 1);
    connect(optPerDay, &QRadioButton::toggled, this, &TfrmPreferences::overtimeBasisChanged);
    return page;
}

QWidget* TfrmPreferences::buildShiftPage()
{
    // No button leads here in this edition; its values pass through unchanged.
    auto* page = new QWidget(this);
    txtShift2 = numberBox("txtShift2", page);
    txtShift3 = numberBox("txtShift3", page);
    auto* per = new QButtonGroup(page);
    optPerHour = radio("optPerHour", "per Hour", per, page);
    optPerShift = radio("optPerShift", "per Shift", per, page);
    chkShiftOT = new QCheckBox("Apply Differential to Overtime Hours", page);
    chkShiftOT->setObjectName("chkShiftOT");
    chkShiftOff = new QCheckBox("Apply Differential to Paid Time Off Hours", page);
    chkShiftOff->setObjectName("chkShiftOff");
    chkShiftMultiple = new QCheckBox("Apply Wage Adjustment to Differential", page);
    chkShiftMultiple->setObjectName("chkShiftMultiple");
    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel("Pay an additional shift bonus of", page), 0, 0, 1, 3);
    layout->addWidget(new QLabel("2nd Shift pays", page), 1, 0);
    layout->addWidget(txtShift2, 1, 1);
    layout->addWidget(new QLabel("3rd Shift pays", page), 2, 0);
    layout->addWidget(txtShift3, 2, 1);
    layout->addWidget(optPerHour, 1, 2);
    layout->addWidget(optPerShift, 2, 2);
    layout->addWidget(chkShiftOT, 3, 0, 1, 3);
    layout->addWidget(chkShiftOff, 4, 0, 1, 3);
    layout->addWidget(chkShiftMultiple, 5, 0, 1, 3);
    layout->setRowStretch(6, 1);
    return page;
}

void TfrmPreferences::fillFromSettings()
{
    m_filling = true;
    const GlobalSettings& g = m_current;
    optRound[std::size_t(std::clamp(g.minuteRound, 0, 5))]->setChecked(true);
    (g.hourFormat == "#0" ? optWhole : g.hourFormat == "#0.0" ? optTenths : optHundredths)->setChecked(true);
    m_key = {g.amKey, g.pmKey};
    m_modifier = {g.amModifier, g.pmModifier};
    (TimeTypeFor(g.timeFormat) == TimeType::te24Hour ? opt24Hour : opt12Hour)->setChecked(true);
    txtStartDate->setDate(std::floor(g.firstDate));
    cboStartMonth->setCurrentIndex(std::clamp(g.userMonth, 1, 12) - 1);
    cboStartMonthChange();
    cboStartDay->setCurrentIndex(std::clamp(g.userDay, 1, cboStartDay->count()) - 1);
    m_perDay = g.dailyOvertime;
    (g.dailyOvertime ? optPerDay : optPerWeek)->setChecked(true);
    txtOvertime->setText(twoDecimals(g.overtimeHours));
    txtShift2->setText(twoDecimals(g.shift2Premium));
    txtShift3->setText(twoDecimals(g.shift3Premium));
    (g.shiftOvertime ? optPerShift : optPerHour)->setChecked(true);
    chkShiftOT->setChecked(g.includeShiftOT);
    chkShiftOff->setChecked(g.includeShiftOff);
    chkShiftMultiple->setChecked(g.includeShiftMultiple);
    m_filling = false;
    showSamples();
    timeTypeChanged();
    showWeekStart();
    showBenefitYear();
}

void TfrmPreferences::showPage(int page)
{
    m_page = page;
    pgPreferences->setCurrentIndex(page);
    if (page >= 0 && page < 5) {
        m_iconButtons[std::size_t(page)]->setChecked(true);
        lblHeading->setText(QString(" ") + kPageCaptions[page]);
        lblHeadingIcon->setPixmap(style()->standardIcon(kPageIcons[page]).pixmap(16, 16));
    }
}

void TfrmPreferences::showSamples()
{
    const char* format = optWhole->isChecked()    ? kHourFormats[0]
                         : optTenths->isChecked() ? kHourFormats[1]
                                                  : kHourFormats[2];
    lblDisplayValue->setText(QString::fromStdString(FormatFloat(format, kSampleHours)));
}

void TfrmPreferences::showKeys()
{
    const bool twelve = opt12Hour->isChecked();
    txtAMKey->setText(twelve ? QString::fromStdString(ShortcutKeyText(m_key[0], m_modifier[0])) : QString());
    txtPMKey->setText(twelve ? QString::fromStdString(ShortcutKeyText(m_key[1], m_modifier[1])) : QString());
}

void TfrmPreferences::timeTypeChanged()
{
    const bool twelve = opt12Hour->isChecked();
    const std::string format =
        twelve ? (TimeTypeFor(m_current.timeFormat) == TimeType::te12Hour ? m_current.timeFormat : "hh:nn A/P")
               : "hh:nn";
    lblTimeSample->setText(QString::fromStdString(FormatDateTime(format, kSampleTime)));
    // The captured codes stay recorded (and are saved) while the boxes are off.
    txtAMKey->setEnabled(twelve);
    txtPMKey->setEnabled(twelve);
    showKeys();
}

bool TfrmPreferences::eventFilter(QObject* watched, QEvent* event)
{
    const int which = watched == txtAMKey ? 0 : watched == txtPMKey ? 1 : -1;
    if (which < 0)
        return QDialog::eventFilter(watched, event);
    auto* box = static_cast<QLineEdit*>(watched);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Every key is captured, even those that would run a shortcut.
        if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Tab &&
            static_cast<QKeyEvent*>(event)->key() != Qt::Key_Backtab)
            event->accept();
        return false;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            return false;
        if (key->key() == Qt::Key_Backspace && key->modifiers() == Qt::NoModifier) {
            // Backspace clears a filled box and is itself the key of an empty one.
            if (box->text().isEmpty()) {
                m_key[std::size_t(which)] = 8;
            } else {
                m_key[std::size_t(which)] = 0;
            }
            m_modifier[std::size_t(which)] = KeyModifier::None;
            return true;
        }
        m_key[std::size_t(which)] = VirtualKeyOf(*key);
        m_modifier[std::size_t(which)] = HeldModifierOf(*key);
        return true;
    }
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            return false;
        box->setText(
            QString::fromStdString(ShortcutKeyText(m_key[std::size_t(which)], m_modifier[std::size_t(which)])));
        return true;
    }
    case QEvent::InputMethod:
        return true;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

void TfrmPreferences::overtimeBasisChanged(bool perDay)
{
    if (m_filling || perDay == m_perDay)
        return;
    m_perDay = perDay;
    txtOvertime->setText(twoDecimals(SwitchOvertimeBasis(numberOf(txtOvertime), perDay)));
}

void TfrmPreferences::cboStartMonthChange()
{
    const int limit = StartDayLimit(cboStartMonth->currentIndex() + 1);
    const int day = std::clamp(cboStartDay->currentIndex() + 1, 1, limit);
    {
        const QSignalBlocker quiet(cboStartDay);
        cboStartDay->clear();
        for (int d = 1; d <= limit; ++d)
            cboStartDay->addItem(QString::number(d));
        cboStartDay->setCurrentIndex(day - 1);
    }
    showBenefitYear();
}

void TfrmPreferences::showBenefitYear()
{
    if (cboStartDay->currentIndex() < 0)
        return;
    const BenefitYearText text = hv::BenefitYear(cboStartMonth->currentIndex() + 1, cboStartDay->currentIndex() + 1);
    lblYearFrom->setText(QString::fromStdString(text.from));
    lblYearTo->setText(QString::fromStdString(text.to));
}

double TfrmPreferences::typedStartDate() const
{
    double date = 0;
    if (TryStrToDate(txtStartDate->text().toStdString(), date))
        return std::floor(date);
    return std::floor(txtStartDate->date());
}

void TfrmPreferences::showWeekStart()
{
    const double date = typedStartDate();
    lblWeekStart->setText(date > 0 ? QString::fromStdString(FormatDateTime("dddd", date)) : QString());
}

void TfrmPreferences::spdStartDateClick()
{
    std::string text = txtStartDate->text().toStdString();
    if (m_datePicker.pickDate(text, m_state.displayDateFormat, this)) {
        double date = 0;
        if (TryStrToDate(text, date))
            txtStartDate->setDate(date);
        else
            txtStartDate->setText(QString::fromStdString(text));
        showWeekStart();
    }
    txtStartDate->setFocus(Qt::OtherFocusReason);
}

void TfrmPreferences::collectValues()
{
    GlobalSettings& v = m_values;
    for (int i = 0; i < 6; ++i)
        if (optRound[std::size_t(i)]->isChecked())
            v.minuteRound = i;
    v.hourFormat = optWhole->isChecked() ? kHourFormats[0] : optTenths->isChecked() ? kHourFormats[1] : kHourFormats[2];
    if (opt24Hour->isChecked())
        v.timeFormat = "hh:nn";
    else if (TimeTypeFor(m_current.timeFormat) != TimeType::te12Hour)
        v.timeFormat = "hh:nn A/P";
    v.amKey = m_key[0];
    v.amModifier = m_modifier[0];
    v.pmKey = m_key[1];
    v.pmModifier = m_modifier[1];
    v.firstDate = typedStartDate();
    v.firstDayName = FormatDateTime("dddd", v.firstDate);
    v.userMonth = cboStartMonth->currentIndex() + 1;
    v.userDay = cboStartDay->currentIndex() + 1;
    v.dailyOvertime = optPerDay->isChecked();
    v.overtimeHours = numberOf(txtOvertime);
    v.shift2Premium = numberOf(txtShift2);
    v.shift3Premium = numberOf(txtShift3);
    v.shiftOvertime = optPerShift->isChecked();
    v.includeShiftOT = chkShiftOT->isChecked();
    v.includeShiftOff = chkShiftOff->isChecked();
    v.includeShiftMultiple = chkShiftMultiple->isChecked();
}

bool TfrmPreferences::cmdSaveClick()
{
    if (!cmdSave->isEnabled())
        return false;
    const double start = typedStartDate();
    // An empty box would put the first week in 1899.
    if (start <= 0) {
        showPage(StartDate);
        tell(kNoStartDateMessage, MsgKind::Information);
        txtStartDate->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (start != std::floor(m_current.firstDate)) {
        double earliest = start;
        {
            WaitCursor wait;
            earliest = EarliestRecordDate(m_dm, start);
        }
        if (start > earliest) {
            showPage(StartDate);
            if (ask(LaterStartQuestion(earliest, m_state.displayDateFormat)) != MsgResult::Yes) {
                txtStartDate->setFocus(Qt::OtherFocusReason);
                return false;
            }
            txtStartDate->setDate(earliest);
            showWeekStart();
        }
    }
    if (SameShortcut(m_key[0], m_modifier[0], m_key[1], m_modifier[1])) {
        showPage(PunchTimes);
        tell(kSameShortcutMessage, MsgKind::Information);
        txtAMKey->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (!OvertimeHoursAllowed(numberOf(txtOvertime))) {
        showPage(Overtime);
        tell(kOvertimeRangeMessage, MsgKind::Information);
        txtOvertime->setFocus(Qt::OtherFocusReason);
        return false;
    }
    collectValues();
    accept();
    return true;
}

} // namespace hv
