#pragma once
// Where "now" and "today" come from. Everything that depends on the current
// date asks this service, so that a test can fix the date it runs on.
namespace hv {

class Clock {
public:
    virtual ~Clock() = default;
    // The current local date-time as days since 30 December 1899.
    virtual double now() const = 0;
    // The date part of now().
    double today() const;
};

// The machine's local wall clock.
class SystemClock : public Clock {
public:
    double now() const override;
};

// A clock that stands still at whatever it was set to.
class FixedClock : public Clock {
public:
    explicit FixedClock(double value = 0.0) : m_now(value) {}
    double now() const override { return m_now; }
    void set(double value) { m_now = value; }
    // Moves to another date and keeps the time of day.
    void setToday(double date);

private:
    double m_now;
};

// The process-wide clock; setClock(nullptr) goes back to the system clock.
// The clock set stays owned by the caller and must outlive its use.
Clock& clock();
void setClock(Clock* clock);

} // namespace hv
