#include "tests/reliability/SoakRun.h"

#include "engine/Query.h"
#include "storage/DataModule.h"
#include "tests/support/Builders.h"
#include "tests/support/PeerProcess.h"

#include <chrono>
#include <cmath>
#include <memory>
#include <sstream>

namespace hv::test {
namespace {

// Employees 1.. of the plan: copy c's own, then each pair's shared ones.
std::vector<int> employeesOf(const SoakPlan& plan, int copy)
{
    std::vector<int> emps;
    for (int e = 0; e < plan.ownEmployees; ++e)
        emps.push_back(1 + copy * plan.ownEmployees + e);
    const int shared0 = 1 + plan.copies * plan.ownEmployees + copy / 2 * plan.sharedEmployees;
    for (int e = 0; e < plan.sharedEmployees; ++e)
        emps.push_back(shared0 + e);
    return emps;
}

std::string joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const auto& p : parts)
        text += (text.empty() ? "" : ",") + p;
    return text;
}

} // namespace

std::int32_t PrepareSoakWeeks(THourvaneDataMod& dm, const SoakPlan& plan)
{
    const std::int32_t reason = addReasonRow(dm, {.name = "Soak counter", .code = "Q", .paid = false});
    dm.HourvaneDB.startTransaction();
    for (int emp = 1; emp <= plan.employeesNeeded(); ++emp) {
        for (const auto& weekEnd : plan.weekEnds) {
            const std::string id = std::to_string(emp);
            const std::string range = "between date('" + weekEnd + "', '-6 days') and '" + weekEnd + "'";
            execBlank(dm, "delete from WorkDay where EmpID = " + id + " and WeekDate " + range);
            execBlank(dm, "delete from TimeOff where EmpID = " + id + " and WeekDate " + range);
            for (int day = 6; day >= 0; --day)
                execBlank(dm, "insert into WorkDay (EmpID, WeekDate, SequenceNum, TimeIn1, TimeOut1, Shift) values (" +
                                  id + ", date('" + weekEnd + "', '-" + std::to_string(day) +
                                  " days'), 0, '06:00:00', '06:01:00', 1)");
            execBlank(dm, "insert into TimeOff (EmpID, WeekDate, ReasonID, Hours) values (" + id + ", date('" +
                              weekEnd + "', '-6 days'), " + std::to_string(reason) + ", 0)");
        }
    }
    dm.HourvaneDB.commit();
    return reason;
}

SoakFigures RunSoak(const std::string& dataFolder, std::int32_t reason, const SoakPlan& plan)
{
    SoakFigures figures;
    std::vector<std::unique_ptr<PeerProcess>> copies;
    for (int c = 0; c < plan.copies; ++c) {
        copies.push_back(std::make_unique<PeerProcess>());
        PeerProcess& peer = *copies.back();
        std::string reply = peer.send("start " + dataFolder);
        if (reply == "ok")
            reply = peer.send("as SOAK" + std::to_string(c + 1));
        if (reply != "ok") {
            figures.firstError = "copy " + std::to_string(c + 1) + " did not start: " + reply;
            ++figures.errors;
            return figures;
        }
    }
    const auto t0 = std::chrono::steady_clock::now();
    for (int c = 0; c < plan.copies; ++c) {
        std::vector<std::string> emps;
        for (int e : employeesOf(plan, c))
            emps.push_back(std::to_string(e));
        copies[std::size_t(c)]->sendNoWait("soak " + std::to_string(plan.seconds) + " " + std::to_string(c + 1) + " " +
                                           std::to_string(reason) + " " + joined(plan.weekEnds) + " " + joined(emps));
    }
    for (int c = 0; c < plan.copies; ++c) {
        const std::string reply = copies[std::size_t(c)]->readLine(int(plan.seconds * 1000) + 60000);
        std::istringstream in(reply);
        std::string ok;
        long saves = 0, refusals = 0, added = 0, errors = 0;
        in >> ok >> saves >> refusals >> added >> errors;
        if (ok != "ok" || !in) {
            ++figures.errors;
            if (figures.firstError.empty())
                figures.firstError = "copy " + std::to_string(c + 1) + ": " + reply;
            continue;
        }
        figures.saves += saves;
        figures.refusals += refusals;
        figures.added += added;
        figures.errors += errors;
        for (std::string item; in >> item && item != "|";) {
            const auto eq = item.find('=');
            figures.savesPerWeek[item.substr(0, eq)] += std::stol(item.substr(eq + 1));
        }
        const auto bar = reply.find(" | ");
        if (errors > 0 && figures.firstError.empty() && bar != std::string::npos)
            figures.firstError = "copy " + std::to_string(c + 1) + ": " + reply.substr(bar + 3);
    }
    figures.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return figures;
}

SoakCheck CheckSoakWeeks(THourvaneDataMod& dm, std::int32_t reason, const SoakPlan& plan, const SoakFigures& figures)
{
    SoakCheck check;
    auto problem = [&check](const std::string& text) {
        if (check.firstProblem.empty())
            check.firstProblem = text;
    };
    for (int emp = 1; emp <= plan.employeesNeeded(); ++emp) {
        for (const auto& weekEnd : plan.weekEnds) {
            const std::string key = std::to_string(emp) + "/" + weekEnd;
            const std::string id = std::to_string(emp);
            const std::string range = "between date('" + weekEnd + "', '-6 days') and '" + weekEnd + "'";
            const std::string first = "date('" + weekEnd + "', '-6 days')";
            const auto found = figures.savesPerWeek.find(key);
            const long reported = found == figures.savesPerWeek.end() ? 0 : found->second;
            engine::Query counter(dm.HourvaneDB);
            counter.addSql("select Hours from TimeOff where EmpID = " + id +
                           " and ReasonID = " + std::to_string(reason) + " and WeekDate = " + first);
            counter.open();
            const long stored = counter.eof() ? -1 : std::lround(counter.field(0).asFloat());
            if (stored != reported) {
                check.lostSaves += std::abs(reported - stored);
                problem(key + ": " + std::to_string(reported) + " saves reported, the counter holds " +
                        std::to_string(stored));
            }
            // Every day's first pair ends counter % 600 + 1 minutes after 6:00
            // (the prepared weeks: 1 minute).
            const long minutes = stored > 0 ? stored % 600 + 1 : 1;
            engine::Query days(dm.HourvaneDB);
            days.addSql("select count(*) from WorkDay where EmpID = " + id + " and WeekDate " + range +
                        " and SequenceNum = 0 and round((julianday('2000-01-01 ' || TimeOut1) - julianday('2000-01-01 "
                        "' || TimeIn1)) * 1440) = " +
                        std::to_string(minutes));
            days.open();
            if (days.field(0).asInteger() != 7) {
                ++check.mixedWeeks;
                problem(key + ": " + std::to_string(days.field(0).asInteger()) + " of 7 days match the counter");
            }
            engine::Query added(dm.HourvaneDB);
            added.addSql("select count(*) from TimeOff where EmpID = " + id + " and WeekDate " + range +
                         " and WeekDate <> " + first);
            added.open();
            check.timeOffRows += added.field(0).asInteger();
        }
    }
    return check;
}

} // namespace hv::test
