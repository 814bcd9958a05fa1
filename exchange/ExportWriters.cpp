#include "exchange/ExportWriters.h"

#include "exchange/DbfTable.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "platform/RegionalSettings.h"
#include "platform/SaveFile.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <array>
#include <cstdio>
#include <filesystem>
#include <set>

namespace hv {
namespace {

// Code points of a UTF-8 text: the fixed-length columns pad by characters.
int characterCount(const std::string& text)
{
    int n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            ++n;
    return n;
}

// Writes text records. A separator or line break inside a value would move
// every later column of its line or split the record, so each becomes one
// blank and is counted.
class TextExportWriter : public ExportWriter {
public:
    explicit TextExportWriter(const ExportWriterOptions& options) : m_options(options) {}

    bool open(const std::vector<ExportColumn>& columns) override
    {
        m_columns = columns;
        m_file.setFileName(QString::fromStdString(m_options.fileName));
        // A writable file in a folder where no temporary file can be made is
        // still written, directly.
        m_file.setDirectWriteFallback(true);
        if (!m_file.open(QIODevice::WriteOnly)) {
            m_error = m_file.errorString().toStdString();
            return false;
        }
        // Under a decimal-comma setting a comma file's numbers take "." so
        // the comma stays the separator.
        m_pointDecimals = m_options.format == ExportFormat::Comma && regional().decimalSeparator == ",";
        return true;
    }

    bool write(const std::vector<ExportValue>& values) override
    {
        std::string line;
        for (std::size_t i = 0; i < values.size() && i < m_columns.size(); ++i) {
            std::string text = values[i].text;
            if (m_pointDecimals && values[i].kind == ExportValue::Kind::Number)
                for (char& c : text)
                    if (c == ',')
                        c = '.';
            bool changed = false;
            for (char& c : text) {
                const bool separator = (m_options.format == ExportFormat::Comma && c == ',') ||
                                       (m_options.format == ExportFormat::Tab && c == '\t');
                if (separator || c == '\r' || c == '\n') {
                    c = ' ';
                    changed = true;
                }
            }
            if (changed)
                ++m_changed;
            switch (m_options.format) {
            case ExportFormat::Fixed: {
                const ExportColumn& column = m_columns[i];
                const int pad = std::max(0, column.size - characterCount(text));
                if (column.type == 'F' || column.type == 'M')
                    line += std::string(std::size_t(pad), ' ') + text;
                else
                    line += text + std::string(std::size_t(pad), ' ');
                break;
            }
            case ExportFormat::Comma:
            case ExportFormat::Tab:
                if (i > 0)
                    line += m_options.format == ExportFormat::Comma ? ',' : '\t';
                line += text;
                break;
            case ExportFormat::XBase:
                break;
            }
        }
        line += "\r\n";
        if (m_file.write(line.data(), qint64(line.size())) != qint64(line.size())) {
            m_error = m_file.errorString().toStdString();
            return false;
        }
        return true;
    }

    bool commit() override
    {
        return CommitSaveFile(m_file, m_error);
    }

    void cancel() override
    {
        if (!m_file.isOpen())
            return;
        m_file.cancelWriting();
        m_file.commit(); // with writing cancelled this removes the temporary file
    }

private:
    ExportWriterOptions m_options;
    std::vector<ExportColumn> m_columns;
    QSaveFile m_file;
    bool m_pointDecimals = false;
};

// Builds the table in a hidden folder inside the destination folder: the same
// file system, so the rename is atomic, and never a half-made "*.dbf" that a
// payroll program watching the folder could pick up.
class DbfExportWriter : public ExportWriter {
public:
    explicit DbfExportWriter(const ExportWriterOptions& options) :
        m_options(options), m_destination(DbfTableName(options.fileName))
    {
    }

    bool open(const std::vector<ExportColumn>& columns) override
    {
        m_columns = columns;
        const QString folder = QFileInfo(QString::fromStdString(m_destination)).absolutePath();
        m_folder = std::make_unique<QTemporaryDir>(folder + "/.hvexport-XXXXXX");
        if (!m_folder->isValid()) {
            m_error = m_folder->errorString().toStdString();
            m_folder.reset();
            return false;
        }
        m_temporary = m_folder->filePath("export.dbf").toStdString();
        std::vector<exchange::DbfColumn> dbf;
        for (const auto& c : columns) {
            exchange::DbfColumn d;
            d.name = c.key;
            switch (c.type) {
            case 'I':
                d.type = exchange::DbfColumnType::Number;
                d.width = 10;
                break;
            case 'F':
                d.type = exchange::DbfColumnType::Number;
                d.width = 12;
                d.decimals = m_options.hourDecimals;
                break;
            case 'M': // dBase's own "M" is a memo: currency is a number
                d.type = exchange::DbfColumnType::Number;
                d.width = 15;
                d.decimals = 2;
                break;
            case 'D':
                d.type = exchange::DbfColumnType::Date;
                d.width = 8;
                break;
            default:
                d.type = exchange::DbfColumnType::Character;
                d.width = std::max(1, c.size);
                break;
            }
            dbf.push_back(d);
        }
        int y = 0, m = 0, day = 0;
        DecodeDate(m_options.today, y, m, day);
        if (!m_table.create(m_temporary, dbf, y, m, day, m_error)) {
            m_folder.reset();
            return false;
        }
        m_types = dbf;
        return true;
    }

    bool write(const std::vector<ExportValue>& values) override
    {
        std::vector<exchange::DbfCell> cells(m_types.size());
        for (std::size_t i = 0; i < values.size() && i < cells.size(); ++i) {
            const ExportValue& v = values[i];
            exchange::DbfCell& c = cells[i];
            switch (m_types[i].type) {
            case exchange::DbfColumnType::Character:
                if (!v.text.empty()) {
                    c.kind = exchange::DbfCell::Kind::Text;
                    c.text = Utf8ToWindows1252(v.text);
                }
                break;
            case exchange::DbfColumnType::Number: {
                double number = v.number;
                if (v.kind == ExportValue::Kind::Number || (!v.text.empty() && TryStrToFloat(v.text, number))) {
                    c.kind = exchange::DbfCell::Kind::Number;
                    c.number = number;
                }
                break;
            }
            case exchange::DbfColumnType::Date:
                // Empty dates are not written.
                if (v.kind == ExportValue::Kind::Date && v.number > 0) {
                    c.kind = exchange::DbfCell::Kind::Date;
                    DecodeDate(v.number, c.year, c.month, c.day);
                }
                break;
            }
        }
        return m_table.append(cells, m_error);
    }

    bool commit() override
    {
        if (!m_table.close(m_error)) {
            m_folder.reset();
            return false;
        }
        std::error_code ec;
        std::filesystem::rename(m_temporary, m_destination, ec);
        m_folder.reset();
        if (ec) {
            m_error = "The table cannot be put in place of " + m_destination + ": " + ec.message();
            return false;
        }
        return true;
    }

    void cancel() override
    {
        m_table.discard();
        m_folder.reset(); // removes the hidden folder and what it holds
    }

private:
    ExportWriterOptions m_options;
    std::string m_destination;
    std::string m_temporary;
    std::vector<ExportColumn> m_columns;
    std::vector<exchange::DbfColumn> m_types;
    std::unique_ptr<QTemporaryDir> m_folder;
    exchange::DbfTableWriter m_table;
};

} // namespace

const char* ExportFormatName(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Fixed:
        return "Fixed Length";
    case ExportFormat::Comma:
        return "Comma Delimited";
    case ExportFormat::Tab:
        return "Tab Delimited";
    case ExportFormat::XBase:
        return "xBase (DBF) Format";
    }
    return "";
}

std::unique_ptr<ExportWriter> MakeExportWriter(const ExportWriterOptions& options)
{
    if (options.format == ExportFormat::XBase)
        return std::make_unique<DbfExportWriter>(options);
    return std::make_unique<TextExportWriter>(options);
}

std::string DbfTableName(const std::string& chosen)
{
    std::filesystem::path p(chosen);
    p.replace_extension(".dbf");
    return p.string();
}

std::string DbfColumnProblem(const std::vector<ExportColumn>& columns)
{
    std::set<std::string> names;
    for (const auto& c : columns) {
        if (c.key.empty() || c.key.size() > 10)
            return "The column name \"" + c.key + "\" is not 1 to 10 characters long.";
        if (!names.insert(UpperCase(c.key)).second)
            return "Two columns are named " + c.key + ".";
    }
    return {};
}

int PatternDecimals(const std::string& pattern)
{
    const auto point = pattern.find('.');
    if (point == std::string::npos)
        return 0;
    int n = 0;
    for (std::size_t i = point + 1; i < pattern.size() && (pattern[i] == '0' || pattern[i] == '#'); ++i)
        ++n;
    return n;
}

std::string Utf8ToWindows1252(const std::string& text)
{
    // The code page's 0x80-0x9F; 0 where it defines nothing.
    static const std::array<char16_t, 32> high = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    const QString unicode = QString::fromUtf8(text.data(), qsizetype(text.size()));
    std::string out;
    out.reserve(text.size());
    for (QChar ch : unicode) {
        if (ch.isLowSurrogate())
            continue; // its high half stood for the whole character
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out += char(u);
            continue;
        }
        char byte = '?';
        for (std::size_t i = 0; i < high.size(); ++i)
            if (high[i] != 0 && high[i] == u)
                byte = char(0x80 + i);
        out += byte;
    }
    return out;
}

} // namespace hv
