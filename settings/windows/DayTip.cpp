#include "settings/windows/DayTip.h"

#include "widgets/WindowUtil.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace hv {

TfrmTips::TfrmTips(std::string tipFile, std::string settingsFileName, QWidget* owner)
    : QDialog(owner), m_tipFile(std::move(tipFile)), m_settingsFileName(std::move(settingsFileName))
{
    setObjectName("frmTips");
    setWindowTitle("Tip of the Day");

    auto* pnlBackground = new QFrame(this);
    pnlBackground->setObjectName("pnlBackground");
    pnlBackground->setFrameShape(QFrame::StyledPanel);
    pnlBackground->setAutoFillBackground(true);
    pnlBackground->setBackgroundRole(QPalette::Base);

    auto* icons = new QVBoxLayout;
    const QPixmap icon = ProgramIconPixmap();
    for (int i = 1; i <= 3; ++i) {
        auto* image = new QLabel(pnlBackground);
        image->setObjectName(QString("imgIcon%1").arg(i));
        image->setPixmap(icon);
        icons->addWidget(image);
    }
    icons->addStretch();

    lblHeading = new QLabel("Did you know...", pnlBackground);
    lblHeading->setObjectName("lblHeading");
    QFont heading = lblHeading->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.5);
    lblHeading->setFont(heading);
    lblTip = new QLabel(pnlBackground);
    lblTip->setObjectName("lblTip");
    lblTip->setWordWrap(true);
    // Tips are text from a file: never markup.
    lblTip->setTextFormat(Qt::PlainText);
    lblTip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // One width for every tip, so that the window keeps its size from tip to tip.
    lblTip->setFixedWidth(320);
    lblTip->setMinimumHeight(110);

    auto* text = new QVBoxLayout;
    text->addWidget(lblHeading);
    text->addWidget(lblTip, 1);
    auto* panel = new QHBoxLayout(pnlBackground);
    panel->addLayout(icons);
    panel->addLayout(text, 1);

    chkShowTips = new QCheckBox("Show Tips at Startup", this);
    chkShowTips->setObjectName("chkShowTips");
    cmdEditTips = new QPushButton("&Edit Tips...", this);
    cmdEditTips->setObjectName("cmdEditTips");
    cmdEditTips->setVisible(false); // not offered in this edition
    cmdPrevious = new QPushButton("Previous Tip", this);
    cmdPrevious->setObjectName("cmdPrevious");
    cmdNext = new QPushButton("Next Tip", this);
    cmdNext->setObjectName("cmdNext");
    cmdClose = new QPushButton("Close", this);
    cmdClose->setObjectName("cmdClose");
    cmdClose->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkShowTips);
    buttons->addStretch();
    buttons->addWidget(cmdEditTips);
    buttons->addWidget(cmdPrevious);
    buttons->addWidget(cmdNext);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pnlBackground, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize); // as large as its contents: nothing to maximise

    connect(cmdNext, &QPushButton::clicked, this, [this] {
        if (m_tips && m_loaded)
            showTip(m_tips->StepNext());
    });
    connect(cmdPrevious, &QPushButton::clicked, this, [this] {
        if (m_tips && m_loaded)
            showTip(m_tips->StepPrevious());
    });
    connect(chkShowTips, &QCheckBox::toggled, this, [this](bool on) {
        if (m_tips)
            m_tips->setShowTips(on);
    });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
}

TfrmTips::~TfrmTips() = default;

void TfrmTips::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_tips)
        FormActivate();
}

void TfrmTips::FormActivate()
{
    m_tips = std::make_unique<TTipOfDayClass>(m_tipFile, m_settingsFileName);
    m_loaded = m_tips->Load();
    showTip(m_loaded ? m_tips->CurrentTip() : std::string(kTipsFailedText));
    chkShowTips->setChecked(m_tips->showTips());
}

void TfrmTips::showTip(const std::string& tip) { lblTip->setText(QString::fromStdString(tip)); }

void TfrmTips::done(int result)
{
    // The reader stores the next tip and the show flag as it goes.
    m_tips.reset();
    QDialog::done(result);
}

} // namespace hv
