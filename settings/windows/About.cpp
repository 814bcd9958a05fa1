#include "settings/windows/About.h"

#include "widgets/WindowParts.h"

#include <QLabel>
#include <QPushButton>

namespace hv {
namespace {

// Design-time geometry at 96 pixels per inch.
constexpr int kWidth = 360, kHeight = 200;
constexpr int kTextLeft = 56, kTextWidth = 292;
constexpr int kCommentsShift = 40;

} // namespace

TAboutBox::TAboutBox(VersionLookup version, QWidget* owner, ScaleFunction scale)
    : QDialog(owner), m_version(std::move(version)), m_scale(std::move(scale))
{
    setObjectName("AboutBox");
    auto field = [this](const char* name) {
        return QString::fromStdString(m_version ? m_version(name) : std::string());
    };
    setWindowTitle("About " + field("ProductName"));

    auto place = [this](QWidget* w, int x, int y, int width, int height) {
        w->setGeometry(scaled(x), scaled(y), scaled(width), scaled(height));
    };
    const QPixmap icon = ProgramIconPixmap();
    for (int i = 0; i < 3; ++i) {
        auto* image = new QLabel(this);
        image->setObjectName(QString("imgIcon%1").arg(i + 1));
        image->setPixmap(icon);
        place(image, 12, 12 + i * 40, 32, 32);
    }

    QLabel* lblProductName = plainLabel(this, "lblProductName", field("ProductName"));
    QFont bold = lblProductName->font();
    bold.setBold(true);
    lblProductName->setFont(bold);
    place(lblProductName, kTextLeft, 12, kTextWidth, 20);
    lblVersion = plainLabel(this, "lblVersion", QString());
    place(lblVersion, kTextLeft, 34, kTextWidth, 18);
    QLabel* lblCopyright = plainLabel(this, "lblCopyright", field("LegalCopyright"));
    lblCopyright->setWordWrap(true);
    place(lblCopyright, kTextLeft, 54, kTextWidth, 32);
    QLabel* lblEdition = plainLabel(this, "lblEdition", kEditionText);
    place(lblEdition, kTextLeft, 88, kTextWidth, 18);
    lblComments = plainLabel(this, "lblComments", field("Comments"));
    lblComments->setWordWrap(true);
    place(lblComments, kTextLeft, 112, kTextWidth, 36);

    cmdOK = new QPushButton("OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    place(cmdOK, (kWidth - 80) / 2, 160, 80, 26);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    setFixedSize(scaled(kWidth), scaled(kHeight));
}

int TAboutBox::scaled(int length) const { return m_scale ? m_scale(length) : ScaleToScreen(length); }

void TAboutBox::setShowComments(bool show)
{
    if (show == m_showComments)
        return;
    m_showComments = show;
    lblComments->setVisible(show);
    const int shift = show ? scaled(kCommentsShift) : -scaled(kCommentsShift);
    cmdOK->move(cmdOK->x(), cmdOK->y() + shift);
    setFixedSize(width(), height() + shift);
}

void TAboutBox::showEvent(QShowEvent* event)
{
    const std::string fileVersion = m_version ? m_version("FileVersion") : std::string();
    lblVersion->setText(QString::fromStdString(VersionText(fileVersion, m_showBuild)));
    QDialog::showEvent(event);
}

} // namespace hv
