#include "widgets/PickDate.h"

#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "platform/RegionalSettings.h"
#include "ports/CursorService.h"
#include "ports/HelpService.h"
#include "widgets/TQVCalendar.h"
#include "widgets/TQVDateEdit.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace hv {
namespace {

// The year box: the arrows step the year, the text cannot be typed into.
class YearUpDown : public QSpinBox {
public:
    explicit YearUpDown(QWidget* parent) : QSpinBox(parent)
    {
        setRange(1900, 2100);
        setWrapping(false);
        setGroupSeparatorShown(false);
        lineEdit()->setReadOnly(true);
        lineEdit()->setObjectName("txtYear");
    }
    QLineEdit* edit() const { return lineEdit(); }
};

} // namespace

TfrmPickDate::TfrmPickDate(const std::string& dateText, QWidget* owner, ScaleFunction scale) :
    QDialog(owner), m_scale(std::move(scale))
{
    setObjectName("frmPickDate");
    setWindowTitle("Select a Date");

    PrevMonthBtn = new QToolButton(this);
    PrevMonthBtn->setObjectName("PrevMonthBtn");
    PrevMonthBtn->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
    NextMonthBtn = new QToolButton(this);
    NextMonthBtn->setObjectName("NextMonthBtn");
    NextMonthBtn->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    cboMonth = new QComboBox(this);
    cboMonth->setObjectName("cboMonth");
    for (const std::string& name : regional().longMonthNames)
        cboMonth->addItem(QString::fromStdString(name));
    auto* year = new YearUpDown(this);
    year->setObjectName("UpDown");
    UpDown = year;
    txtYear = year->edit();
    Calendar1 = new TQVCalendar(this);
    Calendar1->setObjectName("Calendar1");
    Calendar1->SetStartOfWeek(0);
    Calendar1->setMinimumSize(210, 150);
    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");

    auto* selectors = new QHBoxLayout;
    selectors->addWidget(PrevMonthBtn);
    selectors->addWidget(cboMonth, 1);
    selectors->addWidget(UpDown);
    selectors->addWidget(NextMonthBtn);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(selectors);
    m_calendarBox = new QVBoxLayout;
    m_calendarBox->setContentsMargins(0, 0, 0, 0);
    m_calendarBox->addWidget(Calendar1);
    layout->addLayout(m_calendarBox);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    double date = 0;
    if (!TryStrToDate(dateText, date))
        date = clock().today();
    Calendar1->SetCalendarDate(date);
    Calendar1Change();

    connect(Calendar1, &TQVCalendar::OnChange, this, &TfrmPickDate::Calendar1Change);
    connect(Calendar1, &TQVCalendar::OnDblClick, this, &QDialog::accept);
    connect(PrevMonthBtn, &QToolButton::clicked, this, &TfrmPickDate::PrevMonthBtnClick);
    connect(NextMonthBtn, &QToolButton::clicked, this, &TfrmPickDate::NextMonthBtnClick);
    connect(cboMonth, &QComboBox::activated, this,
            [this](int index) { Calendar1->SetElement(TQVCalendar::Element::Month, index + 1); });
    connect(UpDown, &QSpinBox::valueChanged, this,
            [this](int value) { Calendar1->SetElement(TQVCalendar::Element::Year, value); });
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [] { helpService().showTopic(kPickDateHelpContext); });
}

double TfrmPickDate::date() const { return Calendar1->CalendarDate(); }

void TfrmPickDate::Calendar1Change()
{
    const QSignalBlocker month(cboMonth);
    const QSignalBlocker year(UpDown);
    cboMonth->setCurrentIndex(Calendar1->Month() - 1);
    UpDown->setValue(Calendar1->Year());
}

void TfrmPickDate::PrevMonthBtnClick() { Calendar1->MoveMonth(-1); }

void TfrmPickDate::NextMonthBtnClick() { Calendar1->MoveMonth(1); }

bool TfrmPickDate::event(QEvent* e)
{
    if (e->type() == QEvent::Show && !m_activated) {
        m_activated = true;
        // Away from 96 pixels per inch the calendar sits a little inside its
        // place, so that its frame does not touch the selectors.
        if (m_scale && m_scale(96) != 96)
            m_calendarBox->setContentsMargins(2, 1, 2, 2);
        RestoreCursor();
    }
    return QDialog::event(e);
}

bool PickDate(std::string& dateText, const std::string& displayFormat, QWidget* owner)
{
    bool chosen = false;
    {
        TfrmPickDate dialog(dateText, owner);
        if (dialog.exec() == QDialog::Accepted) {
            dateText = FormatDateTime(displayFormat.empty() ? DateFormat() : displayFormat, dialog.date());
            chosen = true;
        }
    }
    RestoreCursor();
    return chosen;
}

bool PickDateInto(DatePicker& picker, TQVDateEdit& box, const std::string& displayFormat, QWidget* owner)
{
    std::string text = box.text().toStdString();
    if (!picker.pickDate(text, displayFormat, owner))
        return false;
    double date = 0;
    if (TryStrToDate(text, date))
        box.setDate(date);
    else
        box.setText(QString::fromStdString(text));
    return true;
}

} // namespace hv
