#pragma once
// What the windows that edit one record at a time share (Departments,
// Overtime Policies, Time Off Reasons, Employees): the record is chosen in a
// picker whose item 0 stands for a new one; choosing lets go of the lock of
// the record shown (asking about its changes first where the window does),
// loads and shows the chosen one; Save follows the row lock; Save, Delete and
// closing share their steps; the lock goes whenever the record shown changes
// or the window closes. A window fills in its controls and its record
// through the hooks below.
#include "storage/AppState.h"

#include <QDialog>

#include <cstdint>
#include <functional>

class QHBoxLayout;
class QPushButton;

namespace hv {

class TQVComboBox;
class TSQLRecClass;

// Save, Delete and Close, right-aligned in a row; Save and Delete start
// disabled, and none of them is the default button.
struct RecordButtons {
    QPushButton* save = nullptr;
    QPushButton* del = nullptr;
    QPushButton* close = nullptr;
    QHBoxLayout* row = nullptr;
};
RecordButtons BuildRecordButtons(QWidget* window, const char* closeCaption = "Close");
// F1 opens the help topic the window names at that moment.
void AddHelpKey(QWidget* window, std::function<int()> topic);

class TRecordWindow : public QDialog {
    Q_OBJECT
public:
    int helpContext() const { return m_helpContext; }

    // Takes what is typed, saves it (the window's checks first) and, when
    // saved, lets go of the lock and shows a new record; false when nothing
    // was saved.
    bool cmdSaveClick();
    // After the window's confirmation, takes the lock (unless held) and
    // deletes the record shown; a refused lock disables Delete.
    void cmdDeleteClick();

public slots:
    // Closing by any way (Close button, Escape, the title bar) asks first.
    void reject() override;

protected:
    struct Texts {
        const char* deletedElsewhere; // the chosen record's row is gone
        const char* modifiedQuestion; // Yes, No, Cancel about unsaved changes
    };
    TRecordWindow(AppState& state, Texts texts, int helpContext, QWidget* owner);

    // Called by the window's constructor before any flow runs: the record it
    // keeps, the picker it is chosen in and the field focused after a choice,
    // a save and a delete (none when null), and the button row (Save and
    // Delete run the handlers above, Close closes).
    void setRecord(TSQLRecClass& record) { m_record = &record; }
    void setPicker(TQVComboBox* picker, QWidget* firstField);
    QHBoxLayout* buildButtons(const char* closeCaption = "Close");

    // The picker's choice: unless the window asks and the answer keeps the
    // record shown, shows the chosen record.
    void choose();
    // Lets go of the shown record and shows the one with this ID (0: a new
    // one). A row another copy deleted is reported, and the picker refilled.
    void showChosen(std::int32_t id);
    // Lets go of the lock, then shows a new record: picker on item 0, the
    // window's controls and record cleared, Save and Delete disabled.
    void Reset();
    // Takes what is typed, then, when there are unsaved changes, asks the
    // window's question: Yes saves. False when the record must stay (Cancel,
    // or the save failed).
    bool settleChanges();
    // Once: the window's closing steps, then the lock goes.
    void finishClosing();
    // A field was typed into: take the lock, Save only when it was had.
    void fieldChanged();
    // A box or drop-down stored its value: Save only while the lock is ours.
    void valueStored();
    bool holdsLock() const;
    void releaseLock();
    // Selects the shown record in the picker again by its key; none when it
    // is not listed.
    void reselectShown();
    // Refills the picker and selects the entry with the text it showed.
    void refillKeepingText();

    // The hooks.
    virtual void refillPicker() = 0;
    // Reads the record with this ID; false when its row is gone.
    virtual bool loadRecord(std::int32_t id) = 0;
    // Shows the record loaded (the loading flag is set).
    virtual void showRecord() = 0;
    // Empties the controls and the record (the loading flag is set).
    virtual void clearRecord() = 0;
    // The window's checks, then the save; false when nothing was saved.
    virtual bool saveRecord() = 0;
    // The window's question before a delete; false stops it.
    virtual bool confirmDelete() = 0;
    // Stores the text of the field being typed in; false when it was refused.
    virtual bool takeTypedText() { return true; }
    // By default: the record is modified and Save is enabled.
    virtual bool hasUnsavedChanges() const;
    // Nothing is taken from the controls (the window only shows a record).
    virtual bool readOnly() const { return false; }
    // Steps of closing before the lock goes (stored settings).
    virtual void closing() {}
    // The picker is about to drop down.
    virtual void pickerDropDown() { refillKeepingText(); }

    AppState& m_state;
    bool m_loading = false;
    bool m_closed = false;
    // Choosing another record asks about unsaved changes as closing does.
    bool m_asksBeforeLeaving = false;
    // A record shown is locked at once (refused: it can only be viewed);
    // else the first change takes the lock.
    bool m_locksWhenShown = false;
    int m_helpContext = 0;

    QPushButton* cmdSave = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    void focusFirstField();

    Texts m_texts;
    TSQLRecClass* m_record = nullptr;
    TQVComboBox* m_picker = nullptr;
    QWidget* m_firstField = nullptr;
    // The key of the record shown; 0 for a new one.
    std::int32_t m_shownID = 0;
};

} // namespace hv
