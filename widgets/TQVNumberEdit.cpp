#include "widgets/TQVNumberEdit.h"

#include "platform/Format.h"
#include "platform/RegionalSettings.h"
#include "ports/MessageService.h"

#include <QFocusEvent>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace hv {

TQVNumberEdit::TQVNumberEdit(QWidget* parent) : QLineEdit(parent)
{
    m_validator = new QRegularExpressionValidator(this);
    setValidator(m_validator);
    updateValidator();
    showValue();
}

void TQVNumberEdit::updateValidator()
{
    // Digits with at most one decimal separator and two decimals.
    const QString separator =
        QRegularExpression::escape(QString::fromStdString(regional().decimalSeparator));
    m_validator->setRegularExpression(
        QRegularExpression(QStringLiteral("\\d*(%1\\d{0,2})?").arg(separator)));
}

double TQVNumberEdit::value() const { return m_value; }

void TQVNumberEdit::setValue(double value)
{
    m_value = value;
    showValue();
}

void TQVNumberEdit::setDisplayPattern(const std::string& pattern)
{
    // Applied on every activation of the window: only a new pattern redraws,
    // so a number being typed is not overwritten.
    if (pattern == m_pattern)
        return;
    m_pattern = pattern;
    showValue();
}

void TQVNumberEdit::setBlankForZero(bool blank)
{
    if (blank == m_blankForZero)
        return;
    m_blankForZero = blank;
    showValue();
}

void TQVNumberEdit::showValue()
{
    if (m_blankForZero && m_value == 0)
        setText(QString());
    else
        setText(QString::fromStdString(FormatFloat(m_pattern, m_value)));
}

void TQVNumberEdit::setGreyed(bool greyed)
{
    if (greyed && !m_greyed) {
        m_normalPalette = palette();
        QPalette grey = m_normalPalette;
        grey.setColor(QPalette::Base, m_normalPalette.color(QPalette::Window));
        setPalette(grey);
    } else if (!greyed && m_greyed) {
        setPalette(m_normalPalette);
    }
    m_greyed = greyed;
    setEnabled(!greyed);
}

bool TQVNumberEdit::takeTypedValue()
{
    // Only what the user typed is read back; a shown value keeps its full precision.
    if (isReadOnly() || !isModified())
        return true;
    const std::string typed = text().trimmed().toStdString();
    double typedValue = 0;
    const bool parsed = typed.empty() || TryStrToFloat(typed, typedValue);
    if (!parsed || typedValue < 0 || (m_maximum > 0 && typedValue > m_maximum)) {
        m_checking = true;
        setFocus(Qt::OtherFocusReason);
        ShowMessageBox("Please enter a number between 0 and " + FormatFloat("#0.00", m_maximum) + ".",
                       MsgKind::Information, MsgButtons::Ok);
        setFocus(Qt::OtherFocusReason);
        selectAll();
        m_checking = false;
        return false;
    }
    m_value = typedValue;
    showValue();
    return true;
}

void TQVNumberEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    m_focused = true;
    updateValidator();
}

void TQVNumberEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Switching to another program, a menu or the message box is not leaving the box.
    const Qt::FocusReason reason = event->reason();
    if (!m_focused || m_checking || reason == Qt::ActiveWindowFocusReason ||
        reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason || !isVisible() ||
        !window()->isVisible())
        return;
    m_focused = false;
    if (takeTypedValue())
        emit exitBox();
}

} // namespace hv
