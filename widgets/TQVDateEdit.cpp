#include "widgets/TQVDateEdit.h"

#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "ports/MessageService.h"

#include <QFocusEvent>

#include <cmath>

namespace hv {

TQVDateEdit::TQVDateEdit(QWidget* parent) : QLineEdit(parent) {}

std::string TQVDateEdit::dateText(double date) const
{
    if (date <= 0)
        return {};
    return FormatDateTime(m_format.empty() ? DateFormat() : m_format, date);
}

void TQVDateEdit::setDate(double date)
{
    m_date = date > 0 ? std::floor(date) : 0;
    setText(QString::fromStdString(dateText(m_date)));
    setModified(false);
}

void TQVDateEdit::setDisplayFormat(const std::string& format)
{
    m_format = format;
    setText(QString::fromStdString(dateText(m_date)));
}

bool TQVDateEdit::takeTypedDate()
{
    const std::string typed = text().trimmed().toStdString();
    double date = 0;
    if (!typed.empty() && !TryStrToDate(typed, date)) {
        m_checking = true;
        setFocus(Qt::OtherFocusReason);
        ShowMessageBox("Please enter a valid date, for example " + dateText(clock().today()) + ".",
                       MsgKind::Information, MsgButtons::Ok);
        setFocus(Qt::OtherFocusReason);
        selectAll();
        m_checking = false;
        return false;
    }
    setDate(date);
    return true;
}

void TQVDateEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    m_focused = true;
}

void TQVDateEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Switching to another program, a menu or the message box is not leaving the box.
    const Qt::FocusReason reason = event->reason();
    if (!m_focused || m_checking || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
        reason == Qt::MenuBarFocusReason || !isVisible() || !window()->isVisible())
        return;
    m_focused = false;
    if (takeTypedDate())
        emit exitBox();
}

} // namespace hv
