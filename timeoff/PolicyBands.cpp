#include "timeoff/PolicyBands.h"

#include "platform/Format.h"

namespace hv {

BandView ShowBand(TPolicyListClass& list, int index, int typedUpTo, bool typedUpToYears)
{
    // A benefit without any rule left gets its first band from 0, not from
    // the number in "up to", or months 0 onward would have no rule.
    if (index >= list.Count())
        list.AddRule(index == 0 ? 0 : std::int16_t(typedUpToYears ? typedUpTo * 12 : typedUpTo), kLastPolicyMonth, 0, 0,
                     0, typedUpToYears ? "Y" : "M", "Y", "Y");
    const TPolicyRecClass& rule = list.Items(index);
    BandView view;
    view.showAtLeast = index > 0;
    view.atLeastYears = rule.DisplayStartPeriod() != "M";
    view.atLeast = view.atLeastYears ? rule.StartMonths() / 12 : rule.StartMonths();
    view.upToYears = rule.DisplayEndPeriod() != "M";
    view.upTo = view.upToYears ? rule.EndMonths() / 12 : rule.EndMonths();
    view.hoursForPeriod = rule.DisplayEarnedPeriod() != "Y";
    view.hours = rule.DisplayEarnedHours();
    view.carryOver = rule.CarryOverHours();
    return view;
}

BandResult StoreBand(TPolicyListClass& list, int index, const BandInput& input)
{
    TPolicyRecClass& rule = list.Items(index);
    const int n = input.upTo;
    if ((input.upToYears && n >= kLastBandYears) || (!input.upToYears && n >= kLastPolicyMonth)) {
        rule.SetEndMonths(kLastPolicyMonth);
        rule.SetDisplayEndPeriod("Y");
        // The last band keeps the typed number as its yearly rate.
        rule.SetEarnedHours(input.hours);
        rule.SetDisplayEarnedHours(input.hours);
        rule.SetDisplayEarnedPeriod(input.hoursForPeriod ? "P" : "Y");
        rule.SetCarryOverHours(input.carryOver);
        // The later rules' rows go only when the chain is saved.
        for (int j = list.Count() - 1; j > index; --j)
            list.RemoveRule(j);
        return BandResult::Last;
    }
    const int end = input.upToYears ? n * 12 : n;
    if (rule.StartMonths() >= end)
        return BandResult::Refused;
    rule.SetDisplayEndPeriod(input.upToYears ? "Y" : "M");
    rule.SetEndMonths(std::int16_t(end));
    if (input.hoursForPeriod) {
        rule.SetDisplayEarnedPeriod("P");
        rule.SetDisplayEarnedHours(input.hours);
        rule.SetEarnedHours(input.hours * 12.0f / float(end - rule.StartMonths()));
    } else {
        rule.SetDisplayEarnedPeriod("Y");
        rule.SetDisplayEarnedHours(input.hours);
        rule.SetEarnedHours(input.hours);
    }
    rule.SetCarryOverHours(input.carryOver);
    if (index + 1 < list.Count()) {
        // The chain stays contiguous.
        TPolicyRecClass& next = list.Items(index + 1);
        next.SetDisplayStartPeriod(rule.DisplayEndPeriod());
        next.SetStartMonths(rule.EndMonths());
    }
    return BandResult::Next;
}

std::vector<std::array<std::string, 4>> PolicyTableRows(const TPolicyListClass& list)
{
    std::vector<std::array<std::string, 4>> rows;
    for (int i = 0; i < list.Count(); ++i) {
        const TPolicyRecClass& r = list.Items(i);
        std::array<std::string, 4> row;
        if (r.StartMonths() == 0 || r.DisplayStartPeriod() == "M")
            row[0] = FormatText("%3d months", r.StartMonths());
        else
            row[0] = FormatText("%3d years", r.StartMonths() / 12);
        row[1] = r.DisplayEndPeriod() != "M" ? FormatText("%3d years", r.EndMonths() / 12)
                                             : FormatText("%3d months", r.EndMonths());
        row[2] = r.DisplayEarnedPeriod() != "P" ? FormatText("%6.2f hours per year", r.DisplayEarnedHours())
                                                : FormatText("%6.2f hours for the period", r.DisplayEarnedHours());
        row[3] = FormatText("%6.2f hours", r.CarryOverHours());
        rows.push_back(row);
    }
    return rows;
}

} // namespace hv
