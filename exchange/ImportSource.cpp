#include "exchange/ImportSource.h"

#include "exchange/DbfTable.h"
#include "exchange/DelimitedReader.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"

#include <charconv>

namespace hv {
namespace {

std::string trimBlanks(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// "YYYY-MM-DD" exactly, the form other programs write whatever their
// regional settings: four digits of year cannot be read as a day or month, so
// trying it first changes no date the regional format reads.
bool importIsoDate(const std::string& text, double& date)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    int parts[3] = {0, 0, 0};
    const std::size_t starts[3] = {0, 5, 8};
    const std::size_t lengths[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p)
        for (std::size_t i = starts[p]; i < starts[p] + lengths[p]; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return false;
            parts[p] = parts[p] * 10 + (text[i] - '0');
        }
    return TryEncodeDate(parts[0], parts[1], parts[2], date);
}

// An import date in text: ISO 8601 or the regional short date format.
bool importTextDate(const std::string& text, double& date)
{
    const std::string t = trimBlanks(text);
    return importIsoDate(t, date) || TryStrToDate(t, date);
}

class TextSource : public ImportSource {
public:
    TextSource(char delimiter, std::string path) : m_reader(delimiter), m_path(std::move(path)) {}
    bool open(std::string& error) { return m_reader.open(m_path, error); }

    bool next(ImportRecord& record) override
    {
        exchange::DelimitedLine line;
        if (!m_reader.next(line))
            return false;
        record.number = line.number;
        record.valid = line.valid;
        record.values.clear();
        for (auto& f : line.fields)
            record.values.push_back({std::move(f), false, false, 0});
        return true;
    }
    long total() override
    {
        if (m_total < 0)
            m_total = exchange::DelimitedReader::countLines(m_path);
        return m_total;
    }
    std::string columnName(int column) const override { return "Field " + std::to_string(column + 1); }
    bool isTable() const override { return false; }

private:
    exchange::DelimitedReader m_reader;
    std::string m_path;
    long m_total = -1;
};

class TableSource : public ImportSource {
public:
    explicit TableSource(std::string dateFormat) : m_dateFormat(std::move(dateFormat)) {}
    bool open(const std::string& path, std::string& error) { return m_table.open(path, error); }

    bool next(ImportRecord& record) override
    {
        while (m_next < m_table.recordCount() && m_table.isDeleted(m_next))
            ++m_next; // deleted rows are no records
        if (m_next >= m_table.recordCount())
            return false;
        const int row = m_next++;
        record.number = row + 1;
        record.values.clear();
        std::vector<exchange::DbfValue> values;
        record.valid = m_table.readRecord(row, values);
        for (const auto& v : values) {
            ImportValue value;
            value.number = v.kind == exchange::DbfFieldKind::Number;
            value.text = v.text;
            double date = 0;
            if (v.isDate() && TryEncodeDate(v.year, v.month, v.day, date)) {
                value.hasDate = true;
                value.date = date;
                value.text = FormatDateTime(m_dateFormat, date);
            }
            record.values.push_back(std::move(value));
        }
        return true;
    }
    long total() override
    {
        // Deleted rows are no records: they are not counted either.
        if (m_total < 0) {
            m_total = 0;
            for (int row = 0; row < m_table.recordCount(); ++row)
                if (!m_table.isDeleted(row))
                    ++m_total;
        }
        return m_total;
    }
    std::string columnName(int column) const override
    {
        const auto& fields = m_table.fields();
        return column < int(fields.size()) ? fields[std::size_t(column)].name : std::string();
    }
    bool isTable() const override { return true; }

private:
    std::string m_dateFormat;
    exchange::DbfTable m_table;
    int m_next = 0;
    long m_total = -1;
};

} // namespace

std::unique_ptr<ImportSource> ImportSource::Open(ImportFormat format, const std::string& path,
                                                 const std::string& dateFormat, std::string& error)
{
    if (format == ImportFormat::XBase) {
        auto source = std::make_unique<TableSource>(dateFormat);
        if (!source->open(path, error))
            return nullptr;
        return source;
    }
    auto source = std::make_unique<TextSource>(format == ImportFormat::Tab ? '\t' : ',', path);
    if (!source->open(error))
        return nullptr;
    return source;
}

bool IsEmptyValue(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

bool ImportDate(const ImportValue& value, double& date)
{
    if (value.hasDate) {
        date = value.date;
        return true;
    }
    return importTextDate(value.text, date);
}

bool ImportTime(const std::string& text, double& time)
{
    const std::string t = trimBlanks(text);
    if (TryStrToTime(t, time))
        return true;
    // The program writes 12-hour punches with one letter, "08:30 A".
    if (!t.empty() && (t.back() == 'A' || t.back() == 'P' || t.back() == 'a' || t.back() == 'p'))
        return TryStrToTime(t + (t.back() == 'a' || t.back() == 'p' ? "m" : "M"), time);
    return false;
}

bool ImportHours(const ImportValue& value, double& hours)
{
    const std::string t = trimBlanks(value.text);
    if (!value.number)
        return TryStrToFloat(t, hours);
    // dBase writes numbers with a point, whatever the regional settings say.
    const char* end = t.data() + t.size();
    auto [ptr, ec] = std::from_chars(t.data(), end, hours, std::chars_format::general);
    return ec == std::errc() && ptr == end && !t.empty();
}

bool EligibleValue(const std::string& text) { return text.empty() || text == "Y" || text == "T"; }

bool SampleIsDate(const std::string& sample)
{
    double date = 0;
    return IsEmptyValue(sample) || importTextDate(sample, date);
}

bool SampleIsTime(const std::string& sample)
{
    double time = 0;
    return IsEmptyValue(sample) || ImportTime(sample, time);
}

std::string SampleDateMessage(const std::string& displayName)
{
    return "The Sample Data for " + displayName + " is not" + " a valid date.  Please check your fields and try again.";
}

std::string SampleTimeMessage(const std::string& displayName)
{
    return "The Sample Data for " + displayName + " is not" + " a valid time.  Please check your fields and try again.";
}

} // namespace hv
