#pragma once
// The previous version's data as its extractor writes it: nine tab-separated
// text files in the extraction folder and three settings of its settings
// file. Everything is read and checked before anything is stored, so that a
// file that cannot be stored as a whole leaves the database untouched.
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace hv {

// The data files in the order they are loaded.
enum class ExtractFile { Reason, Policy, Dept, Employee, Wage, Accrual, TimeOff, Work };
inline constexpr int kExtractFileCount = 8;

// "Reason.Txt" ... "Work.Txt"; names are matched without regard to case.
const char* ExtractFileName(ExtractFile file);
// "Done.Txt": written by the extractor when it has finished.
inline constexpr const char* kDoneFileName = "Done.Txt";
// The nine names an earlier run may have left behind.
std::vector<std::string> AllExtractFileNames();

// The file of that name in the folder, matched without regard to case; empty
// when there is none (or the folder is empty).
std::string FindFileNoCase(const std::string& folder, const std::string& name);

enum class ExtractKind { Text, Flag, Integer, SmallInteger, Float, Date, Time, Currency };

struct ExtractField {
    const char* column; // the target column ("earned hours" fills two)
    ExtractKind kind;
    bool mayBeBlank; // numbers, dates and times only; texts always may
    bool required;   // a text the table cannot store empty
};

const std::vector<ExtractField>& ExtractLayout(ExtractFile file);

// A checked value: empty, text, whole number, float (numbers, dates and
// times as day values), flag, or currency units (ten-thousandths).
struct CurrencyUnits {
    std::int64_t units = 0;
};
using ExtractValue = std::variant<std::monostate, std::string, std::int64_t, double, bool, CurrencyUnits>;

struct ExtractRow {
    int line = 0;
    std::vector<ExtractValue> values; // one per layout field
};

struct ExtractProblem {
    ExtractFile file;
    int line = 0;
    std::string reason;
};

struct ExtractFileData {
    bool found = false;
    std::vector<ExtractRow> rows;
};

struct OldSettings {
    bool fileFound = false;
    std::optional<std::string> firstDate; // day number as text, checked
    std::optional<double> weekHours;      // above 0 and at most 168
    std::string weekHoursText;            // as written, for "Hours"
    bool passwordPresent = false;
    std::vector<std::string> refused; // settings not taken over, with the reason
};

struct ExtractData {
    ExtractFileData files[kExtractFileCount];
    OldSettings settings;
    std::vector<ExtractProblem> problems;

    const ExtractFileData& of(ExtractFile f) const { return files[int(f)]; }
};

// Parses "Wage" from its text with the regional decimal separator, exactly:
// at most four decimals.
bool ParseCurrencyUnits(const std::string& text, std::int64_t& units);

// Reads one file's bytes (text as Windows-1252 unless it is valid UTF-8) and
// checks every line; problems are added to the list.
ExtractFileData ReadExtractFile(ExtractFile file, const std::string& bytes, std::vector<ExtractProblem>& problems);

// The old settings file's section "Application".
OldSettings ReadOldSettings(const std::string& iniPath);

// Reads every file of the folder and the old settings file (either may be
// missing) and runs the checks across files: duplicate keys, reasons, codes
// and departments.
ExtractData ReadExtract(const std::string& extractFolder, const std::string& oldSettingsPath);

} // namespace hv
