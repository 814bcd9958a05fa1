#pragma once
// Loads checked extract data into the database: every table the migration
// replaces is emptied with its numbering started again at 1, and all files,
// the settings taken over and the overtime policy "Standard" go in under one
// transaction, so the database holds either the old data or all of the new.
#include "exchange/migrate/ConvertData.h"

#include <functional>
#include <string>
#include <vector>

namespace hv {

class THourvaneDataMod;

// What the migration window shows while the data goes in.
class ConvertObserver {
public:
    virtual ~ConvertObserver() = default;
    virtual void stepStarted(ExtractFile) {}
    virtual void stepDone(ExtractFile) {}
    virtual void fileProgress(ExtractFile, int /*position*/, int /*maximum*/) {}
    // Called now and then while time off and punches are loaded.
    virtual void keepResponsive() {}
};

struct ConvertOptions {
    ConvertObserver* observer = nullptr;
    // Runs before each row of a file is stored; a test makes it throw the
    // engine's error to see the whole load undone.
    std::function<void(ExtractFile, int line)> beforeStore;
};

struct ConvertResult {
    enum class Outcome {
        Loaded,
        Refused,      // the check found problems; nothing was changed
        NotExclusive, // the tables could not be had for exclusive use
        Failed,       // the engine refused a row; everything was rolled back
    };
    Outcome outcome = Outcome::Loaded;
    int loaded[kExtractFileCount] = {};
    // Rules added for reasons whose benefit policy was incomplete, by name.
    std::vector<std::string> completedReasons;
    bool standardPolicy = false;
    int standardAssignments = 0;
    int employeesWithoutDept = 0;             // their department was not in the files
    int danglingRows[kExtractFileCount] = {}; // rows naming an employee or reason not in the files
    ExtractFile failedFile = ExtractFile::Reason;
    int failedLine = 0;
};

// The whole load with its messages: the exclusive-access failures, a row the
// engine refused (then everything is undone) and, once committed, the
// reasons whose policy was completed.
ConvertResult LoadExtract(THourvaneDataMod& dm, const ExtractData& data, const ConvertOptions& options = {});

// The message after a check that found problems.
inline constexpr const char* kExtractProblemsMessage =
    "The extracted data has problems that are listed in the window.  Nothing was loaded and your Hourvane data has "
    "not been changed.";

// The password of the previous version cannot be taken over; the summary says so.
inline constexpr const char* kPasswordNote =
    "The manager access password of the previous version could not be taken over.  Use this version's password "
    "(LANTERNS if it was never changed) and change it with Change Password.";

// The problems found by the check, per file and line (the first 20 of a file,
// then how many more), one per line.
std::string ExtractProblemsText(const ExtractData& data);
// What was loaded per file, the settings taken over or refused, the
// references that point nowhere and the password note, one item per line.
std::string ConvertSummaryText(const ExtractData& data, const ConvertResult& result);

} // namespace hv
