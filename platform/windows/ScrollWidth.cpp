#include "platform/windows/ScrollWidth.h"

#include <QApplication>
#include <QStyle>

namespace hv {

int ScrollWidth()
{
    // Without an application object there is no style to ask; a common
    // default keeps layout code working in that case.
    constexpr int kFallback = 16;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return kFallback;
    QStyle* style = QApplication::style();
    return style ? style->pixelMetric(QStyle::PM_ScrollBarExtent) : kFallback;
}

} // namespace hv
