#include "widgets/TQVTimeEdit.h"

#include "ports/MessageService.h"
#include "storage/HVGlobal.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>

namespace hv {

int VirtualKeyOf(const QKeyEvent& event)
{
    const int key = event.key();
    const bool keypad = event.modifiers() & Qt::KeypadModifier;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return (keypad ? 96 : 48) + (key - Qt::Key_0);
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 65 + (key - Qt::Key_A);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    if (keypad) {
        switch (key) {
        case Qt::Key_Asterisk: return 106;
        case Qt::Key_Plus: return 107;
        case Qt::Key_Minus: return 109;
        case Qt::Key_Period:
        case Qt::Key_Comma: return 110; // the keypad's decimal key, whatever it prints
        case Qt::Key_Slash: return 111;
        default: break;
        }
    }
    switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    // Named keys a shortcut may be captured with (Preferences).
    case Qt::Key_Clear: return 12;
    case Qt::Key_Pause: return 19;
    case Qt::Key_Select: return 41;
    case Qt::Key_Help: return 47;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    default: return 0;
    }
}

KeyModifier HeldModifierOf(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers held =
        event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (held == Qt::ShiftModifier)
        return KeyModifier::Shift;
    if (held == Qt::ControlModifier)
        return KeyModifier::Ctrl;
    if (held == Qt::AltModifier)
        return KeyModifier::Alt;
    return KeyModifier::None;
}

namespace {

// Keys whose text is a command, not a character for the box.
bool isCommandKey(int key)
{
    switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape: return true;
    default: return false;
    }
}

} // namespace

TQVTimeEdit::TQVTimeEdit(QWidget* parent) : QLineEdit(parent)
{
    // Drops would insert text past the mask.
    setAcceptDrops(false);
    // Safety net for callers that reach QLineEdit::setText through a base pointer.
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_applying)
            return;
        const QString masked = maskedText(text);
        if (masked != text)
            applyText(masked);
    });
    SetTimeType(m_type);
}

void TQVTimeEdit::SetTimeType(TimeType type)
{
    // The window applies the time format on every activation; only a change of
    // mode blanks the box, so typed punches survive a message box or a switch
    // to another program.
    const bool changed = type != m_type || m_mask.empty();
    m_type = type;
    const TimeBoxLayout layout = TimeBoxLayoutFor(type);

    // The mask body is the part before the first ';': "!" and ">"/"<" are
    // flags, "\" takes the next character literally, the rest are positions.
    m_mask.clear();
    const std::string body = layout.editMask.substr(0, layout.editMask.find(';'));
    int letterCase = 0;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        MaskPosition pos;
        pos.letterCase = letterCase;
        switch (c) {
        case '!': continue;
        case '>': letterCase = 1; continue;
        case '<': letterCase = -1; continue;
        case '0': pos.slot = Slot::Digit; pos.required = true; break;
        case '9': pos.slot = Slot::Digit; break;
        case 'L': pos.slot = Slot::Letter; pos.required = true; break;
        case 'l': pos.slot = Slot::Letter; break;
        case 'A': pos.slot = Slot::AlphaNum; pos.required = true; break;
        case 'a': pos.slot = Slot::AlphaNum; break;
        case 'C': pos.slot = Slot::Any; pos.required = true; break;
        case 'c': pos.slot = Slot::Any; break;
        case '\\':
            if (i + 1 < body.size())
                ++i;
            pos.literal = QChar::fromLatin1(body[i]);
            break;
        default: pos.literal = QChar::fromLatin1(c); break;
        }
        m_mask.push_back(pos);
    }

    if (changed) {
        m_applying = true;
        setMaxLength(layout.maxLength);
        m_applying = false;
        SetText(layout.blankText);
    }
}

std::string TQVTimeEdit::Text() const { return text().toStdString(); }

void TQVTimeEdit::SetText(const std::string& text)
{
    applyText(maskedText(QString::fromStdString(text)));
    setModified(false);
    setCursorPosition(0); // typing starts at the first position, not past the mask

}

void TQVTimeEdit::setText(const QString& text) { SetText(text.toStdString()); }

QString TQVTimeEdit::maskedText(const QString& text) const
{
    QString out;
    for (int i = 0; i < int(m_mask.size()); ++i) {
        if (!editable(i)) {
            out += m_mask[i].literal;
            continue;
        }
        QChar ch = i < text.size() ? text[i] : QChar(' ');
        out += fits(i, ch) ? ch : QChar(' ');
    }
    return out;
}

bool TQVTimeEdit::editable(int position) const
{
    return position >= 0 && position < int(m_mask.size()) &&
           m_mask[position].slot != Slot::Literal;
}

bool TQVTimeEdit::fits(int position, QChar& ch) const
{
    if (!editable(position))
        return false;
    const MaskPosition& pos = m_mask[position];
    const char c = ch.toLatin1();
    bool ok = false;
    switch (pos.slot) {
    case Slot::Digit: ok = c >= '0' && c <= '9'; break;
    case Slot::Letter: ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); break;
    case Slot::AlphaNum:
        ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        break;
    case Slot::Any: ok = c >= ' ' && c < 127; break;
    case Slot::Literal: break;
    }
    if (ok && pos.letterCase > 0)
        ch = ch.toUpper();
    else if (ok && pos.letterCase < 0)
        ch = ch.toLower();
    return ok;
}

int TQVTimeEdit::nextEditable(int from) const
{
    int p = std::max(from, 0);
    while (p < int(m_mask.size()) && !editable(p))
        ++p;
    return p;
}

int TQVTimeEdit::previousEditable(int before) const
{
    int p = std::min(before, int(m_mask.size())) - 1;
    while (p >= 0 && !editable(p))
        --p;
    return p;
}

int TQVTimeEdit::firstMissing() const
{
    const QString current = text();
    for (int i = 0; i < int(m_mask.size()); ++i)
        if (editable(i) && m_mask[i].required && (i >= current.size() || current[i] == ' '))
            return i;
    return -1;
}

void TQVTimeEdit::applyText(const QString& text)
{
    m_applying = true;
    QLineEdit::setText(text);
    m_applying = false;
}

void TQVTimeEdit::applyEdit(const QString& text, int caret)
{
    const bool changed = text != QLineEdit::text();
    if (changed) {
        applyText(text);
        setModified(true);
    }
    deselect();
    setCursorPosition(caret);
    if (changed)
        emit boxChanged();
}

int TQVTimeEdit::typeCharacter(QChar ch)
{
    QString current = text();
    int start = hasSelectedText() ? selectionStart() : cursorPosition();
    if (hasSelectedText()) {
        const int end = selectionStart() + int(selectedText().size());
        for (int i = start; i < end && i < current.size(); ++i)
            if (editable(i))
                current[i] = ' ';
    }
    const int p = nextEditable(start);
    if (p >= int(m_mask.size()) || !fits(p, ch))
        return -1; // a character that does not fit its position is dropped
    current[p] = ch;
    applyEdit(current, nextEditable(p + 1));
    return p;
}

bool TQVTimeEdit::isLastEditable(int position) const
{
    return editable(position) && nextEditable(position + 1) >= int(m_mask.size());
}

void TQVTimeEdit::blankRange(int from, int to, int caret)
{
    QString current = text();
    for (int i = std::max(from, 0); i < to && i < current.size(); ++i)
        if (editable(i))
            current[i] = ' ';
    applyEdit(current, caret);
}

void TQVTimeEdit::pasteMasked()
{
    if (isReadOnly())
        return;
    const QString pasted = QApplication::clipboard()->text().trimmed();
    if (pasted.isEmpty())
        return;
    QString current = text();
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    if (hasSelectedText()) {
        const int end = start + int(selectedText().size());
        for (int i = start; i < end && i < current.size(); ++i)
            if (editable(i))
                current[i] = ' ';
    }
    // The whole text must fit from the first position on, or nothing is taken.
    int p = start;
    for (QChar ch : pasted) {
        if (p < int(m_mask.size()) && !editable(p) && ch == m_mask[p].literal) {
            ++p;
            continue;
        }
        p = nextEditable(p);
        if (p >= int(m_mask.size()) || !fits(p, ch))
            return;
        current[p] = ch;
        ++p;
    }
    applyEdit(current, nextEditable(p));
}

void TQVTimeEdit::cutMasked()
{
    if (!hasSelectedText())
        return;
    QApplication::clipboard()->setText(selectedText());
    if (isReadOnly())
        return;
    const int start = selectionStart();
    blankRange(start, start + int(selectedText().size()), start);
}

void TQVTimeEdit::keyPressEvent(QKeyEvent* event)
{
    m_typedToEnd = false;
    const PunchKeys& settings = m_settings ? *m_settings : globalSettings();
    if (m_type == TimeType::te12Hour) {
        if (char letter = ApKeyLetter(Text(), maxLength(), VirtualKeyOf(*event),
                                      HeldModifierOf(*event), settings))
            m_pending = letter;
    }

    const QString keyText = event->text();
    const bool character = !keyText.isEmpty() && !isCommandKey(event->key());

    // The character after a matching A/P key becomes the letter, whatever it
    // was (the key's own character, e.g. the keypad's "+", counts).
    if (m_pending && character) {
        const QChar letter = QChar::fromLatin1(m_pending);
        m_pending = 0;
        if (!isReadOnly())
            m_typedToEnd = isLastEditable(typeCharacter(letter));
        event->accept();
        return;
    }

    if (event->matches(QKeySequence::Paste)) {
        pasteMasked();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        cutMasked();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo) ||
        event->matches(QKeySequence::DeleteEndOfWord) ||
        event->matches(QKeySequence::DeleteStartOfWord) ||
        event->matches(QKeySequence::DeleteEndOfLine) ||
        event->matches(QKeySequence::DeleteCompleteLine) || event->key() == Qt::Key_Insert) {
        event->accept(); // line editing that would shift the positions
        return;
    }

    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        if (!isReadOnly()) {
            if (hasSelectedText()) {
                const int start = selectionStart();
                blankRange(start, start + int(selectedText().size()), start);
            } else if (event->key() == Qt::Key_Backspace) {
                const int p = previousEditable(cursorPosition());
                if (p >= 0)
                    blankRange(p, p + 1, p);
            } else {
                const int p = nextEditable(cursorPosition());
                if (p < int(m_mask.size()))
                    blankRange(p, p + 1, cursorPosition());
            }
        }
        event->accept();
        return;
    }

    if (character && keyText[0].isPrint()) {
        const bool command = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
        if (!command && !isReadOnly()) {
            m_typedToEnd = isLastEditable(typeCharacter(keyText[0]));
        }
        event->accept();
        return;
    }

    // Navigation, Tab, Return and the function keys behave as in any line.
    QLineEdit::keyPressEvent(event);
}

void TQVTimeEdit::inputMethodEvent(QInputMethodEvent* event)
{
    // Composed text arrives here instead of as key presses.
    if (!isReadOnly())
        for (QChar ch : event->commitString())
            typeCharacter(ch);
    event->accept();
}

void TQVTimeEdit::contextMenuEvent(QContextMenuEvent* event)
{
    // The standard menu's Paste, Undo and Delete would shift the positions.
    QMenu menu(this);
    const bool selection = hasSelectedText();
    const bool editableBox = !isReadOnly();
    menu.addAction(tr("Cu&t"), this, [this] { cutMasked(); })->setEnabled(selection && editableBox);
    menu.addAction(tr("&Copy"), this, [this] { copy(); })->setEnabled(selection);
    menu.addAction(tr("&Paste"), this, [this] { pasteMasked(); })
        ->setEnabled(editableBox && !QApplication::clipboard()->text().isEmpty());
    menu.addAction(tr("Delete"), this, [this] {
            const int start = selectionStart();
            blankRange(start, start + int(selectedText().size()), start);
        })->setEnabled(selection && editableBox);
    menu.addSeparator();
    menu.addAction(tr("Select All"), this, [this] { selectAll(); });
    menu.exec(event->globalPos());
}

void TQVTimeEdit::keyReleaseEvent(QKeyEvent* event)
{
    QLineEdit::keyReleaseEvent(event);
    // Auto-repeat sends release and press pairs; only the real release counts.
    if (!event->isAutoRepeat())
        emit keyUp(VirtualKeyOf(*event));
}

void TQVTimeEdit::mouseReleaseEvent(QMouseEvent* event)
{
    QLineEdit::mouseReleaseEvent(event);
    emit boxClicked();
}

void TQVTimeEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    m_focused = true;
    m_pending = 0;
    if (m_checking)
        return;
    // Focus set by the window (the first entry of a week) selects the whole
    // text as Tab does, so that typing fills the box from its first position.
    if (event->reason() == Qt::OtherFocusReason)
        selectAll();
    emit enterBox();
}

void TQVTimeEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (!m_focused)
        return;
    // Switching to another program, a menu or the message box below is not
    // leaving the box; neither is closing the window.
    const Qt::FocusReason reason = event->reason();
    if (m_checking || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
        reason == Qt::MenuBarFocusReason || !isVisible() || !window()->isVisible())
        return;
    m_focused = false;
    emit exitBox(checkTyped());
}

bool TQVTimeEdit::checkTyped()
{
    m_valid = true;
    const int wrong = isModified() ? firstMissing() : -1;
    if (wrong >= 0) {
        m_checking = true;
        setFocus(Qt::OtherFocusReason);
        m_valid = false;
        setCursorPosition(wrong);
        QApplication::beep();
        ShowMessageBox(PunchMaskMessage(Text(), m_timeFormat), MsgKind::Information,
                       MsgButtons::Ok);
        setFocus(Qt::OtherFocusReason);
        setCursorPosition(wrong);
        m_checking = false;
    }
    return m_valid;
}

} // namespace hv
