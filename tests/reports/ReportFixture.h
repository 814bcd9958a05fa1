#pragma once
// A data folder with employees, punches and time off for the reports, fixed
// today (Wednesday 15 March 2023, weeks ending Saturdays), US regional
// settings, the printer "Office Laser" installed through the printer query,
// a recording printer and report windows that answer from a script.
#include "platform/Clock.h"
#include "platform/RegionalSettings.h"
#include "ports/PrinterQuery.h"
#include "reports/HVReport.h"
#include "reports/ReportWindows.h"
#include "storage/HVGlobal.h"
#include "tests/people/PeopleFixture.h"
#include "tests/reports/RecordingPrinter.h"
#include "timekeeping/TimeValues.h"

#include <functional>
#include <string>
#include <vector>

namespace hv::test {

// One stored row of a day: sequence 0 holds pairs 1 and 2, 1 pairs 3 and 4.
inline void putPunches(THourvaneDataMod& dm, std::int64_t emp, double day, int sequence, double in1, double out1,
                       double in2 = kEmptyPunch, double out2 = kEmptyPunch)
{
    engine::Table& t = dm.tblWorkDay;
    t.append();
    t.fieldByName("EmpID").setAsInteger(emp);
    t.fieldByName("WeekDate").setAsDateTime(day);
    t.fieldByName("SequenceNum").setAsInteger(sequence);
    t.fieldByName("TimeIn1").setAsDateTime(in1);
    t.fieldByName("TimeOut1").setAsDateTime(out1);
    if (in2 >= 0) {
        t.fieldByName("TimeIn2").setAsDateTime(in2);
        t.fieldByName("TimeOut2").setAsDateTime(out2);
    }
    t.fieldByName("Shift").setAsInteger(1);
    t.post();
}

inline void installPrinters(std::vector<std::string> names)
{
    setPrinterQuery([names] {
        SystemPrinter p;
        p.available = !names.empty();
        p.name = names.empty() ? std::string() : names.front();
        p.installed = names;
        return p;
    });
}

class ScriptedStatus : public ReportStatus {
public:
    explicit ScriptedStatus(std::vector<std::string>& texts) : m_texts(texts) {}
    void setText(const std::string& text) override { m_texts.push_back(text); }

private:
    std::vector<std::string>& m_texts;
};

class ScriptedReportWindows : public ReportWindowService {
public:
    bool printRangeSetup(report::ReportSettings& settings, int pageCount, report::ReportPrinter*) override
    {
        ++printRangeCalls;
        lastPageCount = pageCount;
        if (onPrintRange)
            onPrintRange(settings);
        return printRangeAnswer;
    }
    bool destinationSetup(report::ReportSettings& settings, report::ReportPrinter* printer) override
    {
        ++destinationCalls;
        settings.destination = destination;
        settings.outputFile = outputFile;
        return true;
    }
    void preview(const std::string& pageFile, report::ReportPrinter*, report::ReportSettings&,
                 const PreviewOptions& options) override
    {
        previews.push_back(pageFile);
        previewOptions = options;
    }
    std::unique_ptr<ReportStatus> status(const std::string& caption) override
    {
        statusCaptions.push_back(caption);
        return std::make_unique<ScriptedStatus>(statusTexts);
    }

    std::function<void(report::ReportSettings&)> onPrintRange;
    bool printRangeAnswer = true;
    int printRangeCalls = 0;
    int lastPageCount = 0;
    report::Destination destination = report::Destination::Preview;
    std::string outputFile;
    int destinationCalls = 0;
    std::vector<std::string> previews;
    PreviewOptions previewOptions;
    std::vector<std::string> statusCaptions;
    std::vector<std::string> statusTexts;
};

class ReportTest : public PeopleTest {
protected:
    void SetUp() override
    {
        PeopleTest::SetUp();
        setRegional(RegionalSettings::usEnglish());
        today.setToday(date(2023, 3, 15));
        setClock(&today);
        resetGlobalSettings();
        GlobalSettings& g = globalSettings();
        g.firstDate = date(2023, 3, 5); // a Sunday: weeks end on Saturdays
        g.timeFormat = "hh:nn AM/PM";
        g.minuteRound = 0;
        g.overtimeHours = 40;
        g.printerName = "Office Laser";
        installPrinters({"Office Laser"});
    }
    void TearDown() override
    {
        setPrinterQuery({});
        setCurrentPrinter({});
        resetGlobalSettings();
        setClock(nullptr);
        PeopleTest::TearDown();
    }

    static double at(int h, int m = 0) { return EncodeTime(h, m); }

    void punches(std::int64_t emp, double day, int sequence, double in1, double out1, double in2 = kEmptyPunch,
                 double out2 = kEmptyPunch)
    {
        putPunches(*dm, emp, day, sequence, in1, out1, in2, out2);
    }
    void timeOff(std::int64_t emp, double day, std::int32_t reason, float hours)
    {
        engine::Table& t = dm->tblTimeOff;
        t.append();
        t.fieldByName("EmpID").setAsInteger(emp);
        t.fieldByName("WeekDate").setAsDateTime(day);
        t.fieldByName("ReasonID").setAsInteger(reason);
        t.fieldByName("Hours").setAsFloat(hours);
        t.post();
    }

    // Two employees over 6 to 16 March 2023:
    // Zoë Ångström: an 8-hour overtime-counting holiday on Monday 6 March and
    //   8 hours Tuesday to Friday in two pairs; the next week Monday 13 with a
    //   second punch row (10 hours), Tuesday 4 hours and 4 hours unpaid
    //   personal time, Wednesday 8, Thursday 16 8 hours.
    // Sam Baker: 10 hours Tuesday 7 to Saturday 11 (10 hours overtime), and
    //   an entry of a reason that no longer exists on Tuesday 14.
    void addTwoEmployees()
    {
        holiday = addReasonRow(*dm, {.name = "Holiday", .code = "H", .paid = true, .overtime = true});
        personal = addReasonRow(*dm, {.name = "Personal", .code = "P", .paid = false});
        zoe = addEmp("\xC3\x85ngstr\xC3\xB6m", "Zo\xC3\xAB", date(2020, 1, 6));
        sam = addEmp("Baker", "Sam", date(2021, 5, 3));
        timeOff(zoe, date(2023, 3, 6), holiday, 8);
        for (int d = 7; d <= 10; ++d)
            punches(zoe, date(2023, 3, d), 0, at(8), at(12), at(13), at(17));
        punches(zoe, date(2023, 3, 13), 0, at(8), at(12), at(12, 30), at(16, 30));
        punches(zoe, date(2023, 3, 13), 1, at(18), at(20));
        punches(zoe, date(2023, 3, 14), 0, at(8), at(12));
        timeOff(zoe, date(2023, 3, 14), personal, 4);
        punches(zoe, date(2023, 3, 15), 0, at(9), at(17));
        punches(zoe, date(2023, 3, 16), 0, at(9), at(17));
        for (int d = 7; d <= 11; ++d)
            punches(sam, date(2023, 3, d), 0, at(7), at(17));
        timeOff(sam, date(2023, 3, 14), 9999, 2.5f);
    }

    // Sam's entry holds a pasted tab, which the report prints as a blank ("Baker, Sam").
    std::vector<SelectionEntry> bothEmployees() const
    {
        return {{"\xC3\x85ngstr\xC3\xB6m, Zo\xC3\xAB", std::int32_t(zoe)}, {"Baker,\tSam", std::int32_t(sam)}};
    }

    // The time card list of both employees, a page each with signature
    // lines, over the 9 days from Tuesday 7 to Wednesday 15 March.
    void setUpTwoEmployeeList(TfrmHVReport& host) const
    {
        host.ReportName = "HourvaneList";
        host.SetSelectionList(bothEmployees());
        host.Options.newPage = true;
        host.Options.signature = true;
        host.Options.periodStart = date(2023, 3, 7);
        host.Options.periodEnd = date(2023, 3, 15);
    }

    FixedClock today;
    RecordingPrinter printer;
    ScriptedReportWindows windows;
    std::int32_t holiday = 0, personal = 0;
    std::int64_t zoe = 0, sam = 0;
};

} // namespace hv::test
