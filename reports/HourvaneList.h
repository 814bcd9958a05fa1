#pragma once
// The time card list ("HourvaneList"): for each employee his time card for
// every day of the period (weekday, punches, hours worked, time off and
// their total), his regular, overtime, other and total hours, his time off
// entries and, on request, signature lines. Read first, then laid out.
#include "reports/HVReport.h"
#include "timekeeping/PeriodLoader.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hv {

class THourvaneDataMod;

class THourvaneListReport : public ReportGenerator {
public:
    // One employee's card as read from the tables, in display text.
    struct CardDay {
        std::string weekday;
        std::array<std::string, 4> punches;     // in 1, out 1, in 2, out 2; "" when empty
        bool secondRow = false;                 // pairs 3 and 4 hold times
        std::array<std::string, 4> morePunches; // in 3, out 3, in 4, out 4
        float worked = 0;
        float timeOff = 0;
    };
    struct CardEntry {
        double date = 0;
        float hours = 0;
        std::string reason;
        bool reasonMissing = false;
    };
    struct Card {
        std::string name;
        std::vector<CardDay> days;
        float regular = 0;
        float overtime = 0;
        float other = 0; // all time off entries of the period, paid or not
        std::vector<CardEntry> entries;
    };

    THourvaneListReport(THourvaneDataMod& dm, const ReportOptions& options,
                        const std::vector<SelectionEntry>& selection);

    void header(report::ReportCanvas& canvas) override;
    void body(report::ReportCanvas& canvas) override;

    // Reads the employee's period through one loader kept for the run.
    Card collect(std::int32_t empID, const std::string& name);
    void layout(const Card& card, report::ReportCanvas& canvas) const;

private:
    void setDayTabs(report::ReportCanvas& canvas, bool twentyFourHour) const;
    void signatureBlock(report::ReportCanvas& canvas) const;
    std::string punchFormat() const;

    THourvaneDataMod& m_dm;
    const ReportOptions& m_options;
    const std::vector<SelectionEntry>& m_selection;
    std::unique_ptr<PeriodLoader> m_loader;
};

} // namespace hv
