#include "widgets/RecordWindow.h"

#include "ports/CursorService.h"
#include "ports/HelpService.h"
#include "ports/MessageService.h"
#include "storage/SQLRec.h"
#include "widgets/TQVComboBox.h"
#include "widgets/WindowParts.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

namespace hv {

RecordButtons BuildRecordButtons(QWidget* window, const char* closeCaption)
{
    RecordButtons b;
    b.save = named(new QPushButton("&Save", window), "cmdSave");
    b.del = named(new QPushButton("&Delete", window), "cmdDelete");
    b.close = named(new QPushButton(closeCaption, window), "cmdClose");
    for (QPushButton* button : {b.save, b.del, b.close})
        button->setAutoDefault(false);
    b.save->setEnabled(false);
    b.del->setEnabled(false);
    b.row = new QHBoxLayout;
    b.row->addStretch();
    b.row->addWidget(b.save);
    b.row->addWidget(b.del);
    b.row->addWidget(b.close);
    return b;
}

void AddHelpKey(QWidget* window, std::function<int()> topic)
{
    auto* help = new QShortcut(QKeySequence::HelpContents, window);
    QObject::connect(help, &QShortcut::activated, window, [topic] { helpService().showTopic(topic()); });
}

TRecordWindow::TRecordWindow(AppState& state, Texts texts, int helpContext, QWidget* owner) :
    QDialog(owner), m_state(state), m_helpContext(helpContext), m_texts(texts)
{
}

void TRecordWindow::setPicker(TQVComboBox* picker, QWidget* firstField)
{
    m_picker = picker;
    m_firstField = firstField;
    connect(picker, &TQVComboBox::itemClicked, this, [this](int) { choose(); });
    connect(picker, &TQVComboBox::dropDown, this, [this] { pickerDropDown(); });
}

QHBoxLayout* TRecordWindow::buildButtons(const char* closeCaption)
{
    const RecordButtons b = BuildRecordButtons(this, closeCaption);
    cmdSave = b.save;
    cmdDelete = b.del;
    cmdClose = b.close;
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSaveClick(); });
    connect(cmdDelete, &QPushButton::clicked, this, &TRecordWindow::cmdDeleteClick);
    connect(cmdClose, &QPushButton::clicked, this, &TRecordWindow::reject);
    AddHelpKey(this, [this] { return m_helpContext; });
    return b.row;
}

// --- choosing ---

void TRecordWindow::choose()
{
    if (m_picker->currentIndex() < 0)
        return;
    const std::int32_t chosen = m_picker->SelectedID();
    if (m_asksBeforeLeaving && !settleChanges()) {
        reselectShown();
        return;
    }
    showChosen(chosen);
}

void TRecordWindow::showChosen(std::int32_t id)
{
    {
        WaitCursor wait;
        Reset();
        if (id != 0) {
            m_picker->SelectID(id);
            if (loadRecord(id)) {
                m_shownID = id;
                const LoadingScope loading(m_loading);
                if (m_locksWhenShown)
                    m_record->Lock(m_state.lockIdentity); // refused: the record says it can only be viewed
                showRecord();
                cmdDelete->setEnabled(!m_record->lockRefused());
            } else {
                tell(m_texts.deletedElsewhere, MsgKind::Warning);
                Reset();
                refillPicker();
                m_picker->setCurrentIndex(0);
            }
        }
    }
    focusFirstField();
}

void TRecordWindow::Reset()
{
    // Let go of the row first: a cleared record could not release it later,
    // and every other copy would be refused until this one took it again.
    releaseLock();
    const LoadingScope loading(m_loading);
    m_picker->setCurrentIndex(0);
    clearRecord();
    m_shownID = 0;
    cmdSave->setEnabled(false);
    cmdDelete->setEnabled(false);
}

void TRecordWindow::reselectShown()
{
    if (m_picker->SelectID(m_shownID) < 0)
        m_picker->setCurrentIndex(-1);
}

void TRecordWindow::refillKeepingText()
{
    const std::string shown = m_picker->currentText().toStdString();
    refillPicker();
    m_picker->SelectText(shown);
}

void TRecordWindow::focusFirstField()
{
    if (m_firstField)
        m_firstField->setFocus(Qt::OtherFocusReason);
}

// --- the lock ---

bool TRecordWindow::holdsLock() const { return m_record->heldBy(m_state.lockIdentity); }

void TRecordWindow::releaseLock() { m_record->releaseIfHeld(m_state.lockIdentity); }

void TRecordWindow::fieldChanged()
{
    if (m_loading || m_closed || readOnly())
        return;
    ShowLockState(cmdSave, cmdDelete, m_record->Lock(m_state.lockIdentity), m_record->lockRefused());
}

void TRecordWindow::valueStored()
{
    if (m_loading || m_closed || readOnly())
        return;
    ShowLockState(cmdSave, cmdDelete, holdsLock(), m_record->lockRefused());
}

// --- saving, deleting, closing ---

bool TRecordWindow::hasUnsavedChanges() const { return m_record->modified() && cmdSave->isEnabled(); }

bool TRecordWindow::settleChanges()
{
    if (!takeTypedText())
        return false;
    return !hasUnsavedChanges() || settleUnsavedChanges(m_texts.modifiedQuestion, [this] { return saveRecord(); });
}

bool TRecordWindow::cmdSaveClick()
{
    if (!takeTypedText() || !saveRecord())
        return false;
    releaseLock();
    refillPicker();
    Reset();
    focusFirstField();
    return true;
}

void TRecordWindow::cmdDeleteClick()
{
    if (!confirmDelete())
        return;
    {
        WaitCursor wait;
        if (!holdsLock() && !m_record->Lock(m_state.lockIdentity)) {
            cmdDelete->setEnabled(false);
            return;
        }
        if (m_record->Delete(m_state.lockIdentity)) {
            refillPicker();
            Reset();
        }
    }
    focusFirstField();
}

void TRecordWindow::reject()
{
    if (!settleChanges())
        return;
    finishClosing();
    QDialog::reject();
}

void TRecordWindow::finishClosing()
{
    if (m_closed)
        return;
    m_closed = true;
    closing();
    releaseLock();
}

} // namespace hv
