// Keyboard entry of a week: the caret moves on by itself from box to box and
// day to day, arrows move between days, a left box hands its text to the day
// record, and typed time off asks for its reason from the pop-up menu.
#include "timekeeping/windows/Main.h"

#include "ports/MessageService.h"
#include "storage/HVGlobal.h"
#include "timekeeping/TimeValues.h"
#include "timekeeping/WorkUtil.h"
#include "widgets/TQVNumberEdit.h"
#include "widgets/TQVTimeEdit.h"

#include <QMenu>
#include <QPushButton>

namespace hv {

namespace {

constexpr int kKeyUp = 38;
constexpr int kKeyDown = 40;

bool completesEntry(int virtualKey)
{
    return (virtualKey >= 48 && virtualKey <= 57) || (virtualKey >= 65 && virtualKey <= 90) ||
           (virtualKey >= 96 && virtualKey <= 122);
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

TQVTimeEdit* TfrmMain::timeBox(int day, int column) const
{
    switch (column) {
    case 1: return msk1In[day];
    case 2: return msk1Out[day];
    case 3: return msk2In[day];
    default: return msk2Out[day];
    }
}

void TfrmMain::connectBoxes()
{
    for (int n = 0; n < 7; ++n) {
        for (auto* box : {msk1In[n], msk1Out[n], msk2In[n], msk2Out[n]}) {
            connect(box, &TQVTimeEdit::enterBox, this, [this, box] { mskInOutEnter(box); });
            connect(box, &TQVTimeEdit::keyUp, this, [this, box](int key) { mskKeyUp(box, key); });
            connect(box, &TQVTimeEdit::boxChanged, this, [this, box] { mskInOutChange(box); });
            connect(box, &TQVTimeEdit::boxClicked, this, [this, box] { mskInOutClick(box); });
            connect(box, &TQVTimeEdit::exitBox, this, [this, box](bool valid) { mskInOutExit(box, valid); });
        }
        connect(txtNonWork[n], &TQVNumberEdit::exitBox, this, [this, n] { txtNonWorkExit(n); });
        // Typed time off is a change: Alt+S saves it without leaving the box.
        connect(txtNonWork[n], &QLineEdit::textEdited, cmdSave, [this] { cmdSave->setEnabled(true); });
    }
}

void TfrmMain::mskInOutEnter(TQVTimeEdit*)
{
    // The box forgets its pending A/P letter itself on entering.
}

void TfrmMain::mskKeyUp(TQVTimeEdit* box, int virtualKey)
{
    const int day = box->tag() / 10;
    const int column = box->tag() % 10;
    if (virtualKey == kKeyDown || virtualKey == kKeyUp) {
        const int step = virtualKey == kKeyDown ? 1 : 6;
        for (int d = (day + step) % 7; d != day; d = (d + step) % 7)
            if (timeBox(d, column)->isEnabled()) {
                timeBox(d, column)->setFocus();
                return;
            }
        return;
    }
    // Only a character typed into the last position moves on: overtyping the
    // first digits of a stored punch, or Ctrl+A in a full box, stays.
    if (!completesEntry(virtualKey) || !box->typedToEnd() || int(trimmed(box->Text()).size()) != box->maxLength())
        return;
    if (column < 4) {
        timeBox(day, column + 1)->setFocus();
        return;
    }
    if (day == 6) {
        // The last box of the week.
        if (cmdSave->isEnabled())
            cmdSave->setFocus();
        else
            cmdTimeOff->setFocus();
        return;
    }
    for (int d = (day + 1) % 7; d != day; d = (d + 1) % 7)
        if (msk1In[d]->isEnabled()) {
            msk1In[d]->setFocus();
            return;
        }
}

void TfrmMain::mskInOutChange(TQVTimeEdit* box)
{
    const std::string text = box->Text();
    if (box->timeType() == TimeType::te24Hour && text == BlankPunchDisplay(TimeType::te24Hour)) {
        box->MarkUnchanged(); // a cleared box is not an incomplete entry
    } else if (text == TimeBoxLayoutFor(TimeType::te12Hour).blankText) {
        box->SetText(BlankPunchDisplay(TimeType::te12Hour));
        box->MarkUnchanged();
    }
}

void TfrmMain::mskInOutClick(TQVTimeEdit* box)
{
    const std::string text = box->Text();
    if (text == BlankPunchDisplay(TimeType::te24Hour) || text == TimeBoxLayoutFor(TimeType::te12Hour).blankText ||
        text == BlankPunchDisplay(TimeType::te12Hour))
        box->selectAll();
}

void TfrmMain::mskInOutExit(TQVTimeEdit* box, bool valid)
{
    if (valid)
        storePunch(box);
}

bool TfrmMain::storePunch(TQVTimeEdit* box)
{
    if (!m_week)
        return true;
    const std::string name = box->objectName().toStdString(); // msk1In3, msk2Out6
    const int day = name.back() - '0';
    const int pair = name[3] - '0';
    const bool isIn = name[4] == 'I';
    const std::string text = box->Text();
    THoursWorkedRecClass& record = m_week->Day(day);
    const bool parsed = isIn ? record.SetInText(pair, text) : record.SetOutText(pair, text);
    if (!parsed) {
        ShowMessageBox(PunchParseMessage(text, globalSettings().timeFormat), MsgKind::Information);
        box->setFocus();
        return false;
    }
    if (m_week->IsModified())
        cmdSave->setEnabled(true);
    return true;
}

bool TfrmMain::takeTypedEntry()
{
    // A shortcut, the closing question or a switch of employee runs while the
    // caret is still in a box, whose text has not reached the week yet: what
    // the box shows is what gets saved.
    QWidget* focused = focusWidget();
    for (int n = 0; n < 7; ++n) {
        for (TQVTimeEdit* box : {msk1In[n], msk1Out[n], msk2In[n], msk2Out[n]})
            if (box == focused)
                return box->checkTyped() && storePunch(box);
        TQVNumberEdit* timeOff = txtNonWork[n];
        if (timeOff == focused) {
            if (!timeOff->takeTyped())
                return false;
            if (timeOff->value() == 0)
                timeOff->setTag(0);
            else
                cmdSave->setEnabled(true);
            return true;
        }
    }
    return true;
}

void TfrmMain::txtNonWorkExit(int day)
{
    BuildReasonMenu();
    TQVNumberEdit* box = txtNonWork[day];
    if (box->value() == 0) {
        box->setTag(0);
        return;
    }
    popUpReasons(day);
    cmdSave->setEnabled(true);
}

void TfrmMain::popUpReasons(int day)
{
    m_menuDay = day;
    TQVNumberEdit* box = txtNonWork[day];
    PopupMenu->popup(box->mapToGlobal(QPoint(box->width() + 2, 0)));
}

void TfrmMain::reasonChosen(std::int32_t reasonID)
{
    if (m_menuDay >= 0 && m_menuDay < 7)
        txtNonWork[m_menuDay]->setTag(reasonID);
}

} // namespace hv
