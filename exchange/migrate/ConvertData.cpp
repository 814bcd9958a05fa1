#include "exchange/migrate/ConvertData.h"

#include "engine/TableDef.h"
#include "exchange/DelimitedReader.h"
#include "exchange/TextDecoding.h"
#include "platform/Format.h"
#include "platform/RegionalSettings.h"
#include "platform/SettingsFile.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <tuple>

namespace hv {
namespace {

using K = ExtractKind;

const std::vector<ExtractField> kReason = {
    {"Reason", K::Text, true, false},        {"ReasonCode", K::Text, true, false},
    {"PaidFlag", K::Flag, true, false},      {"OvertimeFlag", K::Flag, true, false},
    {"PolicyFlag", K::Flag, true, false},    {"AccrualBasis", K::Text, true, false},
    {"ValidateBasis", K::Text, true, false},
};
const std::vector<ExtractField> kPolicy = {
    {"ReasonID", K::Integer, false, false},       {"StartMonths", K::SmallInteger, false, false},
    {"EndMonths", K::SmallInteger, false, false}, {"EarnedHours", K::Float, false, false},
    {"CarryOverHours", K::Float, false, false},
};
const std::vector<ExtractField> kDept = {{"DeptName", K::Text, true, false}};
const std::vector<ExtractField> kEmployee = {
    {"LastName", K::Text, true, false},
    {"FirstName", K::Text, true, false},
    {"StartDate", K::Date, false, false},
    {"EndDate", K::Date, true, false},
    {"EmpCode", K::Text, true, false},
    {"DeptID", K::Integer, false, false},
    {"Position", K::Text, true, false},
    {"EligibleFlag", K::Flag, true, false},
    {"Address1", K::Text, true, false},
    {"City", K::Text, true, false},
    {"State", K::Text, true, false},
    {"PostalCode", K::Text, true, false},
    {"HomePhone", K::Text, true, false},
    {"Contact", K::Text, true, false},
    {"ContactWorkPhone", K::Text, true, false},
    {"ContactHomePhone", K::Text, true, false},
    {"Relationship", K::Text, true, false},
};
const std::vector<ExtractField> kWage = {
    {"EmpID", K::Integer, false, false}, {"StartDate", K::Date, false, false}, {"EndDate", K::Date, true, false},
    {"Wage", K::Currency, false, false}, {"PayTypeCode", K::Text, true, true}, {"OvertimeFlag", K::Flag, true, false},
};
const std::vector<ExtractField> kAccrual = {
    {"EmpID", K::Integer, false, false},
    {"ReasonID", K::Integer, false, false},
    {"AccruedHours", K::Float, false, false},
    {"AccrualDate", K::Date, false, false},
};
const std::vector<ExtractField> kTimeOff = {
    {"EmpID", K::Integer, false, false},
    {"WeekDate", K::Date, false, false},
    {"ReasonID", K::Integer, false, false},
    {"Hours", K::Float, false, false},
};
const std::vector<ExtractField> kWork = {
    {"EmpID", K::Integer, false, false}, {"WeekDate", K::Date, false, false}, {"TimeIn1", K::Time, true, false},
    {"TimeOut1", K::Time, true, false},  {"TimeIn2", K::Time, true, false},   {"TimeOut2", K::Time, true, false},
};

bool isBlank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

std::string trimmed(const std::string& text)
{
    const auto b = text.find_first_not_of(' ');
    if (b == std::string::npos)
        return {};
    return text.substr(b, text.find_last_not_of(' ') - b + 1);
}

// The engine compares these keys without regard to case, for ASCII letters only.
std::string folded(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return out;
}

const char* kindWord(ExtractKind kind)
{
    switch (kind) {
    case K::Date:
        return "a valid date";
    case K::Time:
        return "a valid time";
    case K::Integer:
    case K::SmallInteger:
        return "a whole number";
    case K::Float:
        return "a valid number";
    case K::Currency:
        return "a valid amount";
    default:
        return "valid";
    }
}

// The value of one field, or the reason it cannot be stored.
std::string convert(const ExtractField& f, const std::string& text, ExtractValue& value)
{
    if (isBlank(text)) {
        if (f.kind == K::Flag) {
            value = false;
            return {};
        }
        if (f.required || (!f.mayBeBlank && f.kind != K::Text))
            return std::string(f.column) + " is blank";
        value = std::monostate{};
        return {};
    }
    const std::string t = trimmed(text);
    auto refused = [&] { return std::string(f.column) + " \"" + text + "\" is not " + kindWord(f.kind); };
    switch (f.kind) {
    case K::Text:
        value = text;
        return {};
    case K::Flag:
        value = text == "T";
        return {};
    case K::Integer:
    case K::SmallInteger: {
        int n = 0;
        if (!TryStrToInt(t, n))
            return refused();
        if (f.kind == K::SmallInteger &&
            (n < std::numeric_limits<std::int16_t>::min() || n > std::numeric_limits<std::int16_t>::max()))
            return std::string(f.column) + " " + t + " is out of range";
        value = std::int64_t(n);
        return {};
    }
    case K::Float: {
        double d = 0;
        if (!TryStrToFloat(t, d) || !std::isfinite(d))
            return refused();
        value = d;
        return {};
    }
    case K::Date: {
        double d = 0;
        if (!TryStrToDate(t, d))
            return refused();
        value = std::floor(d);
        return {};
    }
    case K::Time: {
        double d = 0;
        if (!TryStrToTime(t, d))
            return refused();
        value = d;
        return {};
    }
    case K::Currency: {
        std::int64_t units = 0;
        if (!ParseCurrencyUnits(t, units))
            return refused();
        value = CurrencyUnits{units};
        return {};
    }
    }
    return {};
}

std::int64_t intAt(const ExtractRow& row, std::size_t i)
{
    const auto* v = std::get_if<std::int64_t>(&row.values[i]);
    return v ? *v : 0;
}

double numberAt(const ExtractRow& row, std::size_t i)
{
    const auto* v = std::get_if<double>(&row.values[i]);
    return v ? *v : 0;
}

std::string textAt(const ExtractRow& row, std::size_t i)
{
    const auto* v = std::get_if<std::string>(&row.values[i]);
    return v ? *v : std::string();
}

// Two rows of one file with the same key of the target table.
template <class Key, class MakeKey>
void checkKeys(ExtractData& data, ExtractFile file, MakeKey&& makeKey, const char* what)
{
    std::map<Key, int> seen;
    for (const auto& row : data.of(file).rows) {
        auto [it, added] = seen.emplace(makeKey(row), row.line);
        if (!added)
            data.problems.push_back(
                {file, row.line, std::string(what) + " is also on line " + std::to_string(it->second)});
    }
}

// Reasons, reason codes and department names are unique without regard to
// case; empty ones are stored empty and never clash.
void checkUniqueText(ExtractData& data, ExtractFile file, std::size_t field, const char* what)
{
    std::map<std::string, int> seen;
    for (const auto& row : data.of(file).rows) {
        const std::string text = textAt(row, field);
        if (text.empty())
            continue;
        auto [it, added] = seen.emplace(folded(text), row.line);
        if (!added)
            data.problems.push_back(
                {file, row.line,
                 std::string(what) + " \"" + text + "\" is also on line " + std::to_string(it->second)});
    }
}

std::string readBytes(const std::string& path, bool& ok)
{
    QFile f(QString::fromStdString(path));
    ok = f.open(QIODevice::ReadOnly);
    return ok ? f.readAll().toStdString() : std::string();
}

} // namespace

const char* ExtractFileName(ExtractFile file)
{
    switch (file) {
    case ExtractFile::Reason:
        return "Reason.Txt";
    case ExtractFile::Policy:
        return "Policy.Txt";
    case ExtractFile::Dept:
        return "Dept.Txt";
    case ExtractFile::Employee:
        return "Employee.Txt";
    case ExtractFile::Wage:
        return "Wage.Txt";
    case ExtractFile::Accrual:
        return "Accrual.Txt";
    case ExtractFile::TimeOff:
        return "TimeOff.Txt";
    case ExtractFile::Work:
        return "Work.Txt";
    }
    return "";
}

std::vector<std::string> AllExtractFileNames()
{
    std::vector<std::string> names;
    for (int i = 0; i < kExtractFileCount; ++i)
        names.emplace_back(ExtractFileName(ExtractFile(i)));
    names.emplace_back(kDoneFileName);
    return names;
}

std::string FindFileNoCase(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return {};
    QDir dir(QString::fromStdString(folder));
    const QString wanted = QString::fromStdString(name);
    for (const QString& entry : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry).toStdString();
    return {};
}

const std::vector<ExtractField>& ExtractLayout(ExtractFile file)
{
    switch (file) {
    case ExtractFile::Reason:
        return kReason;
    case ExtractFile::Policy:
        return kPolicy;
    case ExtractFile::Dept:
        return kDept;
    case ExtractFile::Employee:
        return kEmployee;
    case ExtractFile::Wage:
        return kWage;
    case ExtractFile::Accrual:
        return kAccrual;
    case ExtractFile::TimeOff:
        return kTimeOff;
    case ExtractFile::Work:
        return kWork;
    }
    return kReason;
}

bool ParseCurrencyUnits(const std::string& text, std::int64_t& units)
{
    const std::string& sep = regional().decimalSeparator;
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    std::int64_t whole = 0;
    int digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        if (whole > (std::numeric_limits<std::int64_t>::max() / 10000 - 9) / 10)
            return false;
        whole = whole * 10 + (text[i] - '0');
    }
    std::int64_t fraction = 0;
    int decimals = 0;
    if (!sep.empty() && text.compare(i, sep.size(), sep) == 0) {
        i += sep.size();
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            if (++decimals > 4)
                return false; // the old version kept four decimals; more would be a different amount
            fraction = fraction * 10 + (text[i] - '0');
        }
    }
    if (i != text.size() || digits + decimals == 0)
        return false;
    for (int d = decimals; d < 4; ++d)
        fraction *= 10;
    units = whole * 10000 + fraction;
    if (negative)
        units = -units;
    return true;
}

ExtractFileData ReadExtractFile(ExtractFile file, const std::string& bytes, std::vector<ExtractProblem>& problems)
{
    ExtractFileData data;
    data.found = true;
    const auto& layout = ExtractLayout(file);
    exchange::DelimitedReader reader('\t');
    reader.setPlainFields(true);
    // The previous version wrote its own code page; a file that is valid UTF-8
    // as a whole was written by something newer.
    reader.setCodePage(exchange::isValidUtf8(bytes) ? exchange::CodePage::Utf8 : exchange::CodePage::Windows1252);
    reader.openBytes(bytes);
    exchange::DelimitedLine line;
    int expected = 1;
    auto problem = [&](int number, std::string reason) { problems.push_back({file, number, std::move(reason)}); };
    while (reader.next(line)) {
        // The reader passes over lines of nothing but blanks; here a line is a
        // record whose position numbers it, so such a line cannot be dropped.
        for (; expected < line.number; ++expected)
            problem(expected, "the line is empty");
        expected = line.number + 1;
        if (!line.valid) {
            problem(line.number, "the line cannot be read");
            continue;
        }
        std::vector<std::string> fields = line.fields;
        if (file == ExtractFile::Dept) { // the whole line is the name
            std::string whole = fields[0];
            for (std::size_t i = 1; i < fields.size(); ++i)
                whole += "\t" + fields[i];
            fields = {whole};
        }
        if (fields.size() > layout.size()) {
            problem(line.number, "the line has " + std::to_string(fields.size()) + " fields, " +
                                     std::to_string(layout.size()) + " were expected");
            continue;
        }
        ExtractRow row;
        row.line = line.number;
        row.values.resize(layout.size());
        bool ok = true;
        for (std::size_t i = 0; i < layout.size(); ++i) {
            if (i >= fields.size()) {
                // The extractor may leave out trailing blank fields.
                std::string why = convert(layout[i], std::string(), row.values[i]);
                if (!why.empty()) {
                    problem(line.number, std::string("the line ends before ") + layout[i].column);
                    ok = false;
                    break;
                }
                continue;
            }
            std::string why = convert(layout[i], fields[i], row.values[i]);
            if (!why.empty()) {
                problem(line.number, why);
                ok = false;
            }
        }
        if (ok)
            data.rows.push_back(std::move(row));
    }
    return data;
}

OldSettings ReadOldSettings(const std::string& iniPath)
{
    OldSettings s;
    if (iniPath.empty())
        return s;
    s.fileFound = true;
    SettingsFile ini(iniPath);
    const std::string first = trimmed(ini.read("Application", "FirstWeekStartDate", ""));
    if (!first.empty()) {
        double date = 0;
        int day = 0;
        if (first.find(regional().dateSeparator) != std::string::npos) {
            if (TryStrToDate(first, date))
                s.firstDate = std::to_string(std::int64_t(std::floor(date)));
        } else if (TryStrToInt(first, day) && day > 0) {
            s.firstDate = std::to_string(day);
        }
        if (!s.firstDate)
            s.refused.push_back("The first week start date \"" + first +
                                "\" is neither a date nor a day number and was not taken over.");
    }
    s.passwordPresent = !ini.read("Application", "HourvaneAccess", "").empty();
    const std::string hours = trimmed(ini.read("Application", "WeekHours", "0"));
    if (hours != "0") {
        double h = 0;
        if (TryStrToFloat(hours, h) && h > 0 && h <= 168) {
            s.weekHours = h;
            s.weekHoursText = hours;
        } else {
            s.refused.push_back("The weekly hours \"" + hours +
                                "\" are not a number of hours above 0 and at most 168 and were not taken over.");
        }
    }
    return s;
}

ExtractData ReadExtract(const std::string& extractFolder, const std::string& oldSettingsPath)
{
    ExtractData data;
    for (int i = 0; i < kExtractFileCount; ++i) {
        const auto file = ExtractFile(i);
        const std::string path = FindFileNoCase(extractFolder, ExtractFileName(file));
        if (path.empty())
            continue;
        bool ok = false;
        const std::string bytes = readBytes(path, ok);
        if (!ok) {
            data.problems.push_back({file, 0, "the file cannot be read"});
            continue;
        }
        data.files[i] = ReadExtractFile(file, bytes, data.problems);
    }
    data.settings = ReadOldSettings(oldSettingsPath);

    using E = ExtractFile;
    checkUniqueText(data, E::Reason, 0, "the reason");
    checkUniqueText(data, E::Reason, 1, "the reason code");
    checkUniqueText(data, E::Dept, 0, "the department");
    checkKeys<std::pair<std::int64_t, std::int64_t>>(
        data, E::Policy, [](const ExtractRow& r) { return std::make_pair(intAt(r, 0), intAt(r, 1)); },
        "a rule of that reason with that start");
    checkKeys<std::pair<std::int64_t, double>>(
        data, E::Wage, [](const ExtractRow& r) { return std::make_pair(intAt(r, 0), numberAt(r, 1)); },
        "a wage of that employee with that start date");
    checkKeys<std::pair<std::int64_t, std::int64_t>>(
        data, E::Accrual, [](const ExtractRow& r) { return std::make_pair(intAt(r, 0), intAt(r, 1)); },
        "an accrual of that employee and reason");
    checkKeys<std::tuple<std::int64_t, double, std::int64_t>>(
        data, E::TimeOff, [](const ExtractRow& r) { return std::make_tuple(intAt(r, 0), numberAt(r, 1), intAt(r, 2)); },
        "time off of that employee, day and reason");
    checkKeys<std::pair<std::int64_t, double>>(
        data, E::Work, [](const ExtractRow& r) { return std::make_pair(intAt(r, 0), numberAt(r, 1)); },
        "a day of that employee with that date");
    return data;
}

} // namespace hv
