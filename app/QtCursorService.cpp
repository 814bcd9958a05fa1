#include "app/QtCursorService.h"

#include <QApplication>
#include <QCursor>

namespace hv {

QtCursorService::~QtCursorService() { restoreCursor(); }

void QtCursorService::showWaitCursor()
{
    if (m_waiting)
        return;
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    m_waiting = true;
}

void QtCursorService::restoreCursor()
{
    if (!m_waiting)
        return;
    QApplication::restoreOverrideCursor();
    m_waiting = false;
}

} // namespace hv
