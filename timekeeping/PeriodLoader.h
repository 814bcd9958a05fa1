#pragma once
// The weeks of a period, one employee at a time: his punch rows and time off
// of every week that overlaps the period, his overtime assignments and, when
// asked, his wages, read in a few statements, then handed week by week to the
// time card's own computation, cut to the period and paid. The reports, the
// export and the command line read periods through it instead of loading one
// week after another.
#include "people/WageCalc.h"
#include "timekeeping/WeekClip.h"
#include "timekeeping/WorkUtil.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace hv {

class THourvaneDataMod;
class TEmpOTPolicyListClass;
class TOTPolicyRecClass;
class TWageListClass;

namespace engine {
class Query;
}

// A time off entry of the loaded weeks.
struct PeriodTimeOff {
    double day = 0;
    std::int32_t reasonID = 0;
    float hours = 0;
};

class PeriodLoader {
public:
    // The period's first and last days; fractions of a day are dropped.
    PeriodLoader(THourvaneDataMod& dm, double periodStart, double periodEnd);
    ~PeriodLoader();
    PeriodLoader(const PeriodLoader&) = delete;
    PeriodLoader& operator=(const PeriodLoader&) = delete;

    double PeriodStart() const { return m_start; }
    double PeriodEnd() const { return m_end; }
    // The weeks of the period end on FirstWeekEnd(), + 7, ... up to LastWeekEnd().
    double FirstWeekEnd() const { return m_firstWeekEnd; }
    double LastWeekEnd() const { return m_lastWeekEnd; }

    // Reads the employee's rows of the period's weeks in one read transaction
    // (the caller's, when one is active). The reasons' flags and names are
    // read by the first Load of the run.
    void Load(std::int32_t empID);
    // The tables Load and Pay read, for a caller's read transaction that
    // locks only what it reads.
    static const std::vector<std::string>& Tables();
    std::int32_t EmpID() const { return m_empID; }

    // Calls visit with every week of the period in order, loaded from the
    // rows read and computed as the time card computes it. The same week
    // object comes back each time.
    void ForEachWeek(const std::function<void(const TWorkWeekRecClass& week)>& visit);

    // The week cut to the period (ClipWeek).
    WeekClip Clip(const TWorkWeekRecClass& week) const;
    // The week's pay for its days in the period, with the shift settings of
    // the global settings; the wage history is read on first use, inside the
    // caller's read transaction when it holds one.
    WeekPayAmounts Pay(const TWorkWeekRecClass& week);

    // The entries of the loaded weeks by day, then reason.
    const std::vector<PeriodTimeOff>& TimeOff() const { return m_timeOff; }
    // The reason's description, or "Reason Not Found".
    std::string ReasonDescription(std::int32_t reasonID) const;
    const TEmpOTPolicyListClass& Assignments() const { return *m_assignments; }

private:
    struct Reason {
        std::string description;
        bool paid = false;
        bool overtime = false;
    };
    void readReasons();
    const Reason& reason(std::int32_t reasonID);
    void readPunches();
    void readTimeOff();

    THourvaneDataMod& m_dm;
    double m_start;
    double m_end;
    double m_firstWeekEnd;
    double m_lastWeekEnd;
    std::int32_t m_empID = 0;
    bool m_reasonsRead = false;
    std::map<std::int32_t, Reason> m_reasons;
    std::unique_ptr<engine::Query> m_punchQuery;
    std::unique_ptr<engine::Query> m_timeOffQuery;
    std::vector<DayPunchRow> m_punches;
    std::vector<PeriodTimeOff> m_timeOff;
    std::unique_ptr<TEmpOTPolicyListClass> m_assignments;
    std::unique_ptr<TWageListClass> m_wages; // read by the first Pay of the employee
    std::unique_ptr<TOTPolicyRecClass> m_payPolicy;
    std::unique_ptr<TWorkWeekRecClass> m_week;
    ShiftPay m_shifts;
};

} // namespace hv
