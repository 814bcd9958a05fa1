#include "exchange/DbfTable.h"

#include <shapefil.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace hv::exchange {
namespace {

DBFHandle handleOf(void* h) { return static_cast<DBFHandle>(h); }

std::string trimmed(const char* text)
{
    std::string s(text);
    const auto notBlank = [](unsigned char c) { return c != ' ' && c != '\t' && c != '\r' && c != '\n'; };
    auto first = std::find_if(s.begin(), s.end(), notBlank);
    auto last = std::find_if(s.rbegin(), s.rend(), notBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

DbfFieldKind kindOf(char native)
{
    switch (native) {
    case 'C':
        return DbfFieldKind::Text;
    case 'N':
    case 'F':
        return DbfFieldKind::Number;
    case 'D':
        return DbfFieldKind::Date;
    case 'L':
        return DbfFieldKind::Logical;
    default:
        return DbfFieldKind::Other;
    }
}

bool leapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// "YYYYMMDD" naming a calendar date.
bool dateParts(const std::string& text, int& y, int& m, int& d)
{
    if (text.size() != 8 || !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
        return false;
    y = std::stoi(text.substr(0, 4));
    m = std::stoi(text.substr(4, 2));
    d = std::stoi(text.substr(6, 2));
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || m < 1 || m > 12 || d < 1)
        return false;
    const int length = m == 2 && leapYear(y) ? 29 : days[m - 1];
    return d <= length;
}

} // namespace

DbfTable::~DbfTable() { close(); }

void DbfTable::close()
{
    if (m_handle)
        DBFClose(handleOf(m_handle));
    m_handle = nullptr;
    m_fields.clear();
    m_records = 0;
    m_codePage = CodePage::Auto;
}

CodePage DbfTable::codePageFor(const char* dbfCodePage)
{
    if (!dbfCodePage)
        return CodePage::Auto;
    std::string name = trimmed(dbfCodePage);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    if (name == "LDID/1")
        return CodePage::Ibm437;
    if (name == "LDID/2")
        return CodePage::Ibm850;
    if (name == "LDID/3" || name == "LDID/87")
        return CodePage::Windows1252;
    if (name == "UTF-8" || name == "UTF8")
        return CodePage::Utf8;
    return CodePage::Auto;
}

bool DbfTable::open(const std::string& path, std::string& error)
{
    close();
    std::error_code ec;
    const auto fileSize = std::filesystem::file_size(path, ec);
    if (ec) {
        error = "The file " + path + " cannot be opened.";
        return false;
    }
    DBFHandle h = DBFOpen(path.c_str(), "rb");
    if (!h) {
        error = "The file " + path + " is not a dBase table.";
        return false;
    }
    m_handle = h;

    // The header's own figures must agree with each other and with the file
    // before a record is read: a record count beyond the file's end would
    // make every later read fail, a record shorter than its fields read past it.
    long long fieldBytes = 1; // the deletion flag
    bool fieldsFit = h->nFields > 0;
    for (int i = 0; i < h->nFields && fieldsFit; ++i) {
        if (h->panFieldSize[i] <= 0 || h->panFieldOffset[i] < 1 ||
            h->panFieldOffset[i] + h->panFieldSize[i] > h->nRecordLength)
            fieldsFit = false;
        fieldBytes += h->panFieldSize[i];
    }
    const long long headerNeeds = 32 + 32LL * h->nFields + 1;
    const long long dataBytes = (long long)h->nRecords * h->nRecordLength;
    if (!fieldsFit || h->nRecords < 0 || h->nRecordLength <= 0 || fieldBytes > h->nRecordLength ||
        h->nHeaderLength < headerNeeds || (long long)h->nHeaderLength + dataBytes > (long long)fileSize) {
        close();
        error = "The header of " + path + " does not hold together.";
        return false;
    }

    m_records = h->nRecords;
    m_codePage = codePageFor(DBFGetCodePage(h));
    for (int i = 0; i < h->nFields; ++i) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        int width = 0, decimals = 0;
        DBFGetFieldInfo(h, i, name, &width, &decimals);
        DbfField f;
        f.name = decodeText(trimmed(name), m_codePage);
        f.nativeType = DBFGetNativeFieldType(h, i);
        f.kind = kindOf(f.nativeType);
        f.width = width;
        f.decimals = decimals;
        m_fields.push_back(std::move(f));
    }
    return true;
}

bool DbfTable::isDeleted(int record) const
{
    return m_handle && record >= 0 && record < m_records && DBFIsRecordDeleted(handleOf(m_handle), record);
}

bool DbfTable::readRecord(int record, std::vector<DbfValue>& values) const
{
    values.clear();
    if (!m_handle || record < 0 || record >= m_records)
        return false;
    DBFHandle h = handleOf(m_handle);
    for (int i = 0; i < int(m_fields.size()); ++i) {
        // The returned buffer is the handle's own and the next read overwrites it.
        const char* raw = DBFReadStringAttribute(h, record, i);
        if (!raw) {
            values.clear();
            return false;
        }
        DbfValue v;
        v.kind = m_fields[std::size_t(i)].kind;
        const std::string text = trimmed(raw);
        if (v.kind == DbfFieldKind::Number || v.kind == DbfFieldKind::Date || v.kind == DbfFieldKind::Logical)
            v.text = decodeText(text, CodePage::Auto); // digits and letters: no code page to apply
        else
            v.text = decodeText(text, m_codePage);
        if (v.kind == DbfFieldKind::Date && !dateParts(text, v.year, v.month, v.day))
            v.year = v.month = v.day = 0;
        values.push_back(std::move(v));
    }
    return true;
}

} // namespace hv::exchange

// The writer.

#include <cerrno>
#include <clocale>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <unistd.h>

namespace hv::exchange {
namespace {

// The numeric locale "C" for as long as the library formats numbers: under a
// decimal-comma locale it would write "7,50", which readers take as 7.
class CNumericLocale {
public:
    CNumericLocale()
    {
        const char* current = std::setlocale(LC_NUMERIC, nullptr);
        m_saved = current ? current : "C";
        std::setlocale(LC_NUMERIC, "C");
    }
    ~CNumericLocale() { std::setlocale(LC_NUMERIC, m_saved.c_str()); }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

private:
    std::string m_saved;
};

std::string upperCase(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return s;
}

} // namespace

DbfTableWriter::~DbfTableWriter() { discard(); }

bool DbfTableWriter::create(const std::string& path, const std::vector<DbfColumn>& columns, int year, int month,
                            int day, std::string& error)
{
    discard();
    std::set<std::string> names;
    for (const auto& c : columns) {
        // The library cuts longer names without a word; two cut alike would
        // make two columns of one name.
        if (c.name.empty() || c.name.size() > 10) {
            error = "The column name \"" + c.name + "\" is not 1 to 10 characters long.";
            return false;
        }
        if (!names.insert(upperCase(c.name)).second) {
            error = "Two columns are named " + c.name + ".";
            return false;
        }
    }
    DBFHandle h = DBFCreateEx(path.c_str(), "LDID/87");
    if (!h) {
        error = "The table " + path + " cannot be created.";
        return false;
    }
    m_handle = h;
    m_path = path;
    m_columns = columns;
    m_rows = 0;
    for (const auto& c : columns) {
        const char type = c.type == DbfColumnType::Number ? 'N' : c.type == DbfColumnType::Date ? 'D' : 'C';
        const int width = c.type == DbfColumnType::Date ? 8 : std::max(1, c.width);
        if (DBFAddNativeFieldType(h, c.name.c_str(), type, width, c.type == DbfColumnType::Number ? c.decimals : 0) <
            0) {
            error = "The column " + c.name + " cannot be added.";
            discard();
            return false;
        }
    }
    DBFSetLastModifiedDate(h, year - 1900, month, day);
    return true;
}

bool DbfTableWriter::append(const std::vector<DbfCell>& cells, std::string& error)
{
    DBFHandle h = handleOf(m_handle);
    if (!h || cells.size() != m_columns.size()) {
        error = "The row does not match the table's columns.";
        return false;
    }
    CNumericLocale numbers;
    const int row = m_rows;
    bool any = false;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const DbfCell& c = cells[i];
        const int field = int(i);
        bool ok = true;
        switch (c.kind) {
        case DbfCell::Kind::Empty:
            continue;
        case DbfCell::Kind::Text:
            ok = DBFWriteStringAttribute(h, row, field, c.text.c_str()) != 0;
            break;
        case DbfCell::Kind::Number:
            ok = DBFWriteDoubleAttribute(h, row, field, c.number) != 0;
            break;
        case DbfCell::Kind::Date: {
            // A date text through the string call stores 0 and reports success.
            char text[16];
            std::snprintf(text, sizeof text, "%04d%02d%02d", c.year, c.month, c.day);
            ok = DBFWriteAttributeDirectly(h, row, field, text) != 0;
            break;
        }
        }
        any = true;
        if (!ok && c.kind != DbfCell::Kind::Text) {
            error = "The value of " + m_columns[i].name + " does not fit its column.";
            return false;
        }
    }
    // A row of empty cells still becomes a row.
    if (!any && !m_columns.empty() && !DBFWriteAttributeDirectly(h, row, 0, const_cast<char*>(""))) {
        error = "A row cannot be added to the table.";
        return false;
    }
    ++m_rows;
    return true;
}

bool DbfTableWriter::close(std::string& error)
{
    DBFHandle h = handleOf(m_handle);
    if (!h) {
        error = "The table is not open.";
        return false;
    }
    const long long expected = (long long)h->nHeaderLength + (long long)h->nRecordLength * m_rows;
    DBFClose(h);
    m_handle = nullptr;
    // The library does not report a failed write: the file must hold every row.
    std::error_code ec;
    const auto size = std::filesystem::file_size(m_path, ec);
    if (ec || (long long)size < expected) {
        error = "The table " + m_path + " could not be written completely.";
        return false;
    }
    const int fd = ::open(m_path.c_str(), O_RDONLY);
    if (fd < 0 || ::fsync(fd) != 0) {
        error = "The table " + m_path + " could not be written to disk: " + std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    ::close(fd);
    return true;
}

void DbfTableWriter::discard()
{
    if (m_handle)
        DBFClose(handleOf(m_handle));
    m_handle = nullptr;
}

} // namespace hv::exchange
