#include "platform/Clock.h"

#include <cmath>

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace hv {

double Clock::today() const
{
    return std::floor(now());
}

double SystemClock::now() const
{
    const QDateTime local = QDateTime::currentDateTime();
    static const QDate origin(1899, 12, 30);
    const double days = double(origin.daysTo(local.date()));
    return days + local.time().msecsSinceStartOfDay() / 86400000.0;
}

void FixedClock::setToday(double date)
{
    m_now = std::floor(date) + (m_now - std::floor(m_now));
}

namespace {

Clock* g_clock = nullptr;

} // namespace

Clock& clock()
{
    static SystemClock systemClock;
    return g_clock ? *g_clock : systemClock;
}

void setClock(Clock* c)
{
    g_clock = c;
}

} // namespace hv
