#include "backup/windows/Progress.h"

#include "ports/MessageService.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QScreen>

namespace hv {
namespace {

QPixmap arrowPixmap()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    arrow.moveTo(2, 6);
    arrow.lineTo(8, 6);
    arrow.lineTo(8, 2);
    arrow.lineTo(14, 8);
    arrow.lineTo(8, 14);
    arrow.lineTo(8, 10);
    arrow.lineTo(2, 10);
    arrow.closeSubpath();
    p.fillPath(arrow, QColor(0, 0, 128));
    return pixmap;
}

} // namespace

class TfrmProgress::MessageGuard : public MessageService {
public:
    explicit MessageGuard(TfrmProgress& window) : m_window(window), m_previous(messageService())
    {
        setMessageService(this);
    }
    ~MessageGuard() override
    {
        if (messageService() == this)
            setMessageService(m_previous);
    }
    MsgResult show(const std::string& text, MsgKind kind, MsgButtons buttons, int helpContext) override
    {
        m_window.closeForMessage();
        return m_previous ? m_previous->show(text, kind, buttons, helpContext)
                          : (buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Yes);
    }

private:
    TfrmProgress& m_window;
    MessageService* m_previous;
};

TfrmProgress::TfrmProgress(QWidget* owner) :
    QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName("frmProgress");
    setWindowTitle("Please wait...");
    setModal(false);

    imgArrow = new QLabel(this);
    imgArrow->setObjectName("imgArrow");
    imgArrow->setPixmap(arrowPixmap());
    imgArrow->setFixedSize(16, 16);
    lblLocked = new QLabel(this);
    lblLocked->setObjectName("lblLocked");
    lblLocked->setTextFormat(Qt::PlainText);
    lblDeleted = new QLabel(this);
    lblDeleted->setObjectName("lblDeleted");
    lblDeleted->setTextFormat(Qt::PlainText);
    pbProgress = new QProgressBar(this);
    pbProgress->setObjectName("pbProgress");
    pbProgress->setTextVisible(false);

    m_grid = new QGridLayout(this);
    m_grid->setColumnMinimumWidth(0, 20);
    m_grid->addWidget(imgArrow, 0, 0);
    m_grid->addWidget(lblLocked, 0, 1);
    m_grid->addWidget(lblDeleted, 1, 1);
    m_grid->addWidget(pbProgress, 2, 0, 1, 2);
    m_grid->setColumnStretch(1, 1);
    m_grid->setColumnMinimumWidth(1, 300);
    m_grid->setSizeConstraint(QLayout::SetFixedSize); // as large as its contents: nothing to maximise
}

TfrmProgress::~TfrmProgress() = default;

void TfrmProgress::setMaximum(int max) { pbProgress->setMaximum(max); }

void TfrmProgress::setPosition(int pos) { pbProgress->setValue(pos); }

void TfrmProgress::step()
{
    pbProgress->setValue(pbProgress->value() + 1);
    paintNow();
}

void TfrmProgress::setMainLabel(const std::string& text, bool bold)
{
    lblLocked->setText(QString::fromStdString(text));
    QFont font = lblLocked->font();
    font.setBold(bold);
    lblLocked->setFont(font);
}

void TfrmProgress::setArrowVisible(bool visible) { imgArrow->setVisible(visible); }

void TfrmProgress::setSecondLabelVisible(bool visible) { lblDeleted->setVisible(visible); }

void TfrmProgress::showAndPaint()
{
    adjustSize();
    const QRect area =
        parentWidget() ? parentWidget()->frameGeometry() : (screen() ? screen()->availableGeometry() : QRect());
    if (area.isValid())
        move(area.center() - rect().center());
    showOnTop();
    paintNow();
}

void TfrmProgress::showOnTop()
{
    if (!m_guard)
        m_guard = std::make_unique<MessageGuard>(*this);
    show();
    raise();
}

void TfrmProgress::closeForMessage() { hide(); }

void TfrmProgress::release()
{
    hide();
    m_guard.reset();
}

void TfrmProgress::start(ProgressMode mode)
{
    const bool backup = mode == ProgressMode::Backup;
    setMainLabel(backup ? "Backing Up Database Files..." : "Testing Backup File for errors...", false);
    lblDeleted->setText(backup ? "Testing Backup File for errors..." : "Restoring Database Files...");
    lblDeleted->setVisible(false);
    imgArrow->setVisible(true);
    pointArrowAt(0);
    pbProgress->setMaximum(kProgressMaximum);
    pbProgress->setValue(0);
    showAndPaint();
}

void TfrmProgress::secondPhase()
{
    lblDeleted->setVisible(true);
    pointArrowAt(1);
    paintNow();
}

void TfrmProgress::setBarPosition(int position)
{
    pbProgress->setValue(position);
    paintNow();
}

void TfrmProgress::finish() { release(); }

void TfrmProgress::pointArrowAt(int line)
{
    m_grid->removeWidget(imgArrow);
    m_grid->addWidget(imgArrow, line, 0);
}

void TfrmProgress::paintNow()
{
    if (!isVisible())
        return;
    repaint();
    // The work runs on this thread: let the window show what it says now.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace hv
