#pragma once
// The export itself, without windows: the records of the chosen kind of data,
// computed employee by employee (or department by department) through the
// record classes and written with the ticked items to the chosen file.
// Nothing holds one read transaction over the whole run, so other copies can
// save while it goes on.
#include "exchange/ExportFields.h"
#include "exchange/ExportWriters.h"
#include "ports/MessageService.h"

#include <functional>
#include <string>
#include <vector>

namespace hv {

class ProgressDisplay;
class THourvaneDataMod;

struct ExportRequest {
    ExportKind kind = ExportKind::HoursWorked;
    ExportFormat format = ExportFormat::Comma;
    std::string fileName;
    // The offered items in list order; the ticked ones are written.
    std::vector<TDBFFieldType> fields;
    double periodStart = 0; // the first two kinds and the time off kinds
    double periodEnd = 0;
    bool managerAccess = false;
    // Moved once per employee or department; may be null.
    ProgressDisplay* progress = nullptr;
};

struct ExportResult {
    enum class Outcome {
        Completed, // the file is in place
        NotOpened, // the file could not be made; nothing changed
        Failed,    // the run stopped; the destination is as it was
    };
    Outcome outcome = Outcome::Completed;
    int records = 0;
    // Values in which a separator or a line break was written as a blank.
    int changedValues = 0;
    // What the caller shows once the run is over: "The Data File you
    // selected can not be opened.  Please check your file selection and try
    // again." when the file cannot be made, "The export did not finish.
    // <file> was left as it was." with the error's text when the run stops.
    std::vector<Notice> notices;
};

// One record: a value per offered item (by list index) and, for the punch
// item of the detail data, the punch times of every exported pair.
struct ExportRecord {
    std::vector<ExportValue> items;
    std::vector<std::string> punches;
};
using ExportRecordSink = std::function<void(const ExportRecord&)>;

// The punch pairs the detail data of the period exports: 4 when any day of
// the period has a second punch row, else 2.
int ExportPunchPairs(THourvaneDataMod& dm, double periodStart, double periodEnd);

// The records of the request's kind, in order, without writing anything.
void ProduceExportRecords(THourvaneDataMod& dm, const ExportRequest& request, const ExportRecordSink& sink);

// The output columns of the ticked items (the punch item as its TimeIn and
// TimeOut columns).
std::vector<ExportColumn> ExportColumns(const ExportRequest& request, int punchPairs);

ExportResult RunExport(THourvaneDataMod& dm, const ExportRequest& request);

// "<n> values held the separator or a line break; each was written as a blank."
std::string ChangedValuesMessage(int changedValues);

} // namespace hv
