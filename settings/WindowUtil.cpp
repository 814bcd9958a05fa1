#include "settings/WindowUtil.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QScreen>
#include <QStyle>

#include <cmath>

namespace hv {

int ScaleToPrimaryScreen(int length)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return length;
    return static_cast<int>(std::lround(length * screen->logicalDotsPerInch() / 96.0));
}

QPixmap ProgramIconPixmap()
{
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
    return icon.pixmap(32, 32);
}

} // namespace hv
