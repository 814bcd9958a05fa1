#pragma once
// The import itself, without windows: it reads every record of the data file,
// turns the mapped values into time card days, time off entries or employees
// and stores them through the record classes in one transaction, either
// adding to the current data or replacing it. A record whose values cannot be
// stored as meant is skipped with its reason; a failed save undoes the run.
#include "exchange/ImportFields.h"
#include "ports/MessageService.h"

#include <string>
#include <vector>

namespace hv {

class ProgressDisplay;
class THourvaneDataMod;

struct ImportRequest {
    ImportType type = ImportType::TimeCard;
    ImportFormat format = ImportFormat::Comma;
    std::string fileName;
    bool replace = false; // remove the current information first
    std::vector<TImportFieldType> fields;
    // Per source column, the position of the import field it fills; -1 unmapped.
    std::vector<int> columnField;
    // Null: the data module's.
    ProgressDisplay* progress = nullptr;
};

struct SkippedRecord {
    int number = 0; // line (text) or record (dBase)
    std::string reason;
};

struct ImportResult {
    enum class Outcome {
        Completed,   // committed; some records may have been skipped
        NotOpened,   // the data file could not be opened; nothing changed
        ClearFailed, // replace mode could not remove the current information
        Stopped,     // a save failed at stoppedAt; nothing was imported
    };
    Outcome outcome = Outcome::Completed;
    int imported = 0;
    std::vector<SkippedRecord> skipped;
    int stoppedAt = 0;
    bool fromTable = false; // records are numbered as dBase rows
    // What the caller shows once the run is over, in order: the file that
    // cannot be opened, the failure to remove the current information, a
    // failed save and then "The import stopped at line <L>.  Nothing was
    // imported.". (A record's own questions and lock messages show as it
    // saves.)
    std::vector<Notice> notices;
};

ImportResult RunImport(THourvaneDataMod& dm, const ImportRequest& request);

// "<n> records were imported and <m> were skipped:" with at most five lines
// "Line <L>: <reason>" ("Record <R>" for dBase) and "... and <k> more.", in
// at most the 255 characters a message box shows. Empty when nothing was skipped.
std::string ImportSummaryText(const ImportResult& result);

} // namespace hv
