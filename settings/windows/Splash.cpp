#include "settings/windows/Splash.h"

#include "ports/CursorService.h"
#include "widgets/WindowParts.h"
#include "widgets/WindowUtil.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace hv {
TfrmSplash::TfrmSplash(VersionLookup version, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_version(std::move(version))
{
    WaitCursor wait;
    setObjectName("frmSplash");
    auto field = [this](const char* name) {
        return QString::fromStdString(m_version ? m_version(name) : std::string());
    };

    auto* pnlSplash = new QFrame(this);
    pnlSplash->setObjectName("pnlSplash");
    pnlSplash->setFrameShape(QFrame::Panel);
    pnlSplash->setFrameShadow(QFrame::Raised);

    auto* icons = new QHBoxLayout;
    const QPixmap icon = ProgramIconPixmap();
    for (int i = 1; i <= 3; ++i) {
        auto* image = new QLabel(pnlSplash);
        image->setObjectName(QString("imgIcon%1").arg(i));
        image->setPixmap(icon);
        icons->addWidget(image);
    }
    icons->addStretch();

    QLabel* lblProductName = plainLabel(pnlSplash, "lblProductName", field("ProductName"));
    QFont big = lblProductName->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 2);
    lblProductName->setFont(big);
    lblVersion = plainLabel(pnlSplash, "lblVersion", QString());
    QLabel* lblCopyright = plainLabel(pnlSplash, "lblCopyright", field("LegalCopyright"));
    QLabel* lblWarning1 = plainLabel(pnlSplash, "lblWarning1",
                                "Warning: This computer program is protected by copyright law and international treaties.");
    QLabel* lblWarning2 = plainLabel(pnlSplash, "lblWarning2",
                                "Unauthorized reproduction or distribution of this program, or any portion of it, "
                                "may result in severe civil and criminal penalties.");
    lblWarning1->setWordWrap(true);
    lblWarning2->setWordWrap(true);
    QLabel* lblEdition = plainLabel(pnlSplash, "lblEdition", kEditionText);
    QFont bold = lblEdition->font();
    bold.setBold(true);
    lblEdition->setFont(bold);

    auto* panel = new QVBoxLayout(pnlSplash);
    panel->addLayout(icons);
    panel->addWidget(lblProductName);
    panel->addWidget(lblEdition);
    panel->addWidget(lblVersion);
    panel->addWidget(lblCopyright);
    panel->addSpacing(8);
    panel->addWidget(lblWarning1);
    panel->addWidget(lblWarning2);
    pnlSplash->setFixedWidth(420);

    // The panel plus one pixel each side for the black frame.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(pnlSplash);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmSplash::showEvent(QShowEvent* event)
{
    const std::string fileVersion = m_version ? m_version("FileVersion") : std::string();
    lblVersion->setText(QString::fromStdString(VersionText(fileVersion, m_showBuild)));
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = rect();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    QWidget::showEvent(event);
}

void TfrmSplash::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace hv
