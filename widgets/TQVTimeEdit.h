#pragma once
// The masked time-of-day box: fixed positions "hh:mm" (24-hour) or
// "hh:mm L" (12-hour, L the letter A or P), typed in overwrite mode with the
// literals skipped, blanks for positions not typed yet, the check on leaving
// and the A/P keys of the settings.
#include "platform/PunchText.h"

#include <QLineEdit>

#include <string>
#include <vector>

class QKeyEvent;

namespace hv {

// Virtual key code of a key event as the settings store the A/P keys:
// digits 48..57, letters 65..90, keypad digits 96..105, keypad * + , - . /
// 106..111, F1..F24 112..135, up 38, down 40, and the other keys the
// keyboard codes name (Backspace 8, Tab 9, Enter 13, Shift 16, Ctrl 17,
// Alt 18, Escape 27, space 32, PageUp..Down 33..40, Insert 45, Delete 46,
// Clear 12, Pause 19, Select 41, Help 47, Num Lock 144, Scroll Lock 145);
// 0 for keys without one.
int VirtualKeyOf(const QKeyEvent& event);
// The one modifier held (Shift, Alt or Ctrl); None when none or several.
KeyModifier HeldModifierOf(const QKeyEvent& event);

class TQVTimeEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TQVTimeEdit(QWidget* parent = nullptr);

    // Mask, blank text and maximum length of the mode; the box shows its blank
    // text. Setting the mode already in force keeps the text.
    void SetTimeType(TimeType type);
    TimeType timeType() const { return m_type; }
    // The format in force; words the mask message.
    void SetTimeFormat(const std::string& timeFormat) { m_timeFormat = timeFormat; }
    const std::string& timeFormat() const { return m_timeFormat; }
    // Where the A/P keys come from; the global settings unless told otherwise.
    void SetSettings(const PunchKeys* keys) { m_settings = keys; }

    // Set when the text passed the mask check on the last leaving.
    bool valid() const { return m_valid; }
    // Left at the window's disposal: day row × 10 + column.
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    // 'A', 'P' or 0: the letter the next typed character becomes.
    char pendingLetter() const { return m_pending; }

    // The box's text as std::string (positions not typed are blanks).
    std::string Text() const;
    // Sets the text as it is shown and marks the box unchanged. Each character
    // goes to its position; literals stay, characters that do not fit their
    // position become blanks.
    void SetText(const std::string& text);
    // Hides QLineEdit::setText so that the mask holds for every caller.
    void setText(const QString& text);
    // "Unchanged since last set": the check on leaving skips the box.
    void MarkUnchanged() { setModified(false); }
    // The check on leaving, for a save that runs while the caret is still in
    // the box (a shortcut, the closing question): an incomplete entry shows
    // the mask message and keeps the focus here. True when the text may be
    // taken.
    bool checkTyped();
    // The last key pressed typed a character into the last position: the
    // entry was completed by typing, not by a key that only moved the caret or
    // selected the text, nor by overtyping the first digits of a full box.
    bool typedToEnd() const { return m_typedToEnd; }

signals:
    void enterBox();              // focus arrived; the pending letter is already forgotten
    void keyUp(int virtualKey);   // a key went up in the box
    void boxClicked();
    void boxChanged();            // the text changed by typing
    void exitBox(bool valid);     // focus left (after the check on leaving)

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    enum class Slot { Literal, Digit, Letter, AlphaNum, Any };
    struct MaskPosition {
        Slot slot = Slot::Literal;
        bool required = false;
        QChar literal;
        int letterCase = 0; // 1 upper, -1 lower
    };

    // The blank text of the mask with the given characters placed on it.
    QString maskedText(const QString& text) const;
    // Whether the character may stand at the position; turns it to the position's case.
    bool fits(int position, QChar& ch) const;
    bool editable(int position) const;
    int nextEditable(int from) const;     // size() when none
    int previousEditable(int before) const; // -1 when none
    int firstMissing() const;             // -1 when every required position is filled
    // The position the character went to, -1 when it did not fit.
    int typeCharacter(QChar ch);
    bool isLastEditable(int position) const;
    void blankRange(int from, int to, int caret);
    void pasteMasked();
    void cutMasked();
    // Shows text as typed: marks the box modified and reports the change.
    void applyEdit(const QString& text, int caret);
    void applyText(const QString& text);

    std::vector<MaskPosition> m_mask;
    bool m_applying = false;
    bool m_checking = false;
    bool m_focused = false; // a focus-out without a focus-in is not leaving
    TimeType m_type = TimeType::te24Hour;
    std::string m_timeFormat = "hh:nn";
    const PunchKeys* m_settings = nullptr;
    bool m_valid = true;
    bool m_typedToEnd = false;
    int m_tag = 0;
    char m_pending = 0;
};

} // namespace hv
