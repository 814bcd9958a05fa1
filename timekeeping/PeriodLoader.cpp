#include "timekeeping/PeriodLoader.h"

#include "engine/Database.h"
#include "engine/Query.h"
#include "people/TEmpOTPolicy.h"
#include "people/TEmpWage.h"
#include "people/TOTPolicy.h"
#include "storage/DataModule.h"
#include "timekeeping/TimeValues.h"
#include "timekeeping/WeekPay.h"
#include "timeoff/TReason.h"

#include <cmath>

namespace hv {
namespace {

// Every table a period's Load reads: its read transaction locks only these.
const std::vector<std::string> kPeriodTables = {"workday", "timeoff", "reason", "empot", "otpolicy", "wage"};

} // namespace

PeriodLoader::PeriodLoader(THourvaneDataMod& dm, double periodStart, double periodEnd) :
    m_dm(dm),
    m_start(std::floor(periodStart)),
    m_end(std::floor(periodEnd)),
    m_firstWeekEnd(hv::FirstWeekEnd(m_start)),
    m_lastWeekEnd(m_firstWeekEnd),
    m_payPolicy(std::make_unique<TOTPolicyRecClass>(dm)),
    m_week(std::make_unique<TWorkWeekRecClass>(dm)),
    m_shifts(ShiftPayFromSettings())
{
    while (m_lastWeekEnd + 1 <= m_end)
        m_lastWeekEnd += 7;
    // Kept prepared for the whole run: only the employee changes.
    m_punchQuery = std::make_unique<engine::Query>(dm.HourvaneDB);
    m_punchQuery->addSql("select WeekDate, SequenceNum, TimeIn1, TimeOut1, TimeIn2, TimeOut2, Shift from WorkDay");
    m_punchQuery->addSql(" where EmpID = :EmpID and WeekDate between :First and :Last");
    m_punchQuery->addSql(" order by WeekDate, SequenceNum");
    m_punchQuery->prepare();
    m_timeOffQuery = std::make_unique<engine::Query>(dm.HourvaneDB);
    m_timeOffQuery->addSql("select WeekDate, ReasonID, Hours from TimeOff");
    m_timeOffQuery->addSql(" where EmpID = :EmpID and WeekDate between :First and :Last");
    m_timeOffQuery->addSql(" order by WeekDate, ReasonID");
    m_timeOffQuery->prepare();
}

PeriodLoader::~PeriodLoader() = default;

const std::vector<std::string>& PeriodLoader::Tables() { return kPeriodTables; }

void PeriodLoader::readReasons()
{
    m_reasons.clear();
    engine::Query q(m_dm.HourvaneDB);
    q.addSql("select ReasonID, Reason, PaidFlag, OvertimeFlag from Reason");
    for (q.open(); !q.eof(); q.next())
        m_reasons[std::int32_t(q.field(0).asInteger())] = {q.field(1).asString(), q.field(2).asBoolean(),
                                                           q.field(3).asBoolean()};
    m_reasonsRead = true;
}

const PeriodLoader::Reason& PeriodLoader::reason(std::int32_t reasonID)
{
    auto found = m_reasons.find(reasonID);
    if (found != m_reasons.end())
        return found->second;
    // Added by another copy since the run began, or gone: read as the time
    // card reads it (a gone reason is neither paid nor counting).
    TReasonRecClass record(m_dm);
    record.SetReasonID(reasonID);
    Reason r;
    if (record.LoadByID())
        r = {record.Reason(), record.PaidFlag(), record.OvertimeFlag()};
    else
        r.description = "Reason Not Found";
    return m_reasons.emplace(reasonID, r).first->second;
}

std::string PeriodLoader::ReasonDescription(std::int32_t reasonID) const
{
    auto found = m_reasons.find(reasonID);
    return found == m_reasons.end() ? std::string("Reason Not Found") : found->second.description;
}

void PeriodLoader::readPunches()
{
    m_punches.clear();
    engine::Query& q = *m_punchQuery;
    q.setParamInteger("EmpID", m_empID);
    q.setParamDate("First", m_firstWeekEnd - 6);
    q.setParamDate("Last", m_lastWeekEnd);
    auto punch = [&](int i) { return q.field(i).isNull() ? kEmptyPunch : q.field(i).asDateTime(); };
    try {
        for (q.open(); !q.eof(); q.next()) {
            DayPunchRow row;
            row.day = std::floor(q.field(0).asDateTime());
            row.sequence = int(q.field(1).asInteger());
            row.in = {punch(2), punch(4)};
            row.out = {punch(3), punch(5)};
            row.shift = q.field(6).isNull() ? 1 : int(q.field(6).asInteger());
            m_punches.push_back(row);
        }
    } catch (...) {
        q.close();
        throw;
    }
    q.close();
}

void PeriodLoader::readTimeOff()
{
    m_timeOff.clear();
    engine::Query& q = *m_timeOffQuery;
    q.setParamInteger("EmpID", m_empID);
    q.setParamDate("First", m_firstWeekEnd - 6);
    q.setParamDate("Last", m_lastWeekEnd);
    try {
        for (q.open(); !q.eof(); q.next())
            m_timeOff.push_back({std::floor(q.field(0).asDateTime()), std::int32_t(q.field(1).asInteger()),
                                 float(q.field(2).asFloat())});
    } catch (...) {
        q.close();
        throw;
    }
    q.close();
}

void PeriodLoader::Load(std::int32_t empID)
{
    engine::ReadTransaction reading(m_dm.HourvaneDB, kPeriodTables);
    if (!m_reasonsRead)
        readReasons();
    m_empID = empID;
    readPunches();
    readTimeOff();
    // Every reason met, while the read transaction holds.
    for (const PeriodTimeOff& t : m_timeOff)
        reason(t.reasonID);
    m_assignments = std::make_unique<TEmpOTPolicyListClass>(m_dm, empID);
    m_assignments->Load();
    m_wages.reset();
    m_payPolicy->SetPolicyID(0); // read again for each employee
    m_week->SetEmployee(empID);
}

void PeriodLoader::ForEachWeek(const std::function<void(const TWorkWeekRecClass& week)>& visit)
{
    std::vector<DayPunchRow> punches;
    std::vector<TimeOffHours> timeOff;
    std::size_t p = 0;
    std::size_t t = 0;
    for (double weekEnd = m_firstWeekEnd; weekEnd - 6 <= m_end; weekEnd += 7) {
        punches.clear();
        for (; p < m_punches.size() && m_punches[p].day <= weekEnd; ++p)
            punches.push_back(m_punches[p]);
        timeOff.clear();
        for (; t < m_timeOff.size() && m_timeOff[t].day <= weekEnd; ++t) {
            const Reason& r = reason(m_timeOff[t].reasonID);
            timeOff.push_back({m_timeOff[t].day, m_timeOff[t].hours, r.paid, r.overtime});
        }
        m_week->SetWeekEnd(weekEnd);
        m_week->LoadRows(punches, timeOff, *m_assignments);
        visit(*m_week);
    }
}

WeekClip PeriodLoader::Clip(const TWorkWeekRecClass& week) const { return ClipWeek(week, m_start, m_end); }

WeekPayAmounts PeriodLoader::Pay(const TWorkWeekRecClass& week)
{
    if (!m_wages) {
        m_wages = std::make_unique<TWageListClass>(m_dm, m_empID);
        m_wages->Load();
    }
    return WeeklyPay(*m_wages, *m_assignments, PayWeekOf(week), m_start, m_end, m_shifts, *m_payPolicy);
}

} // namespace hv
