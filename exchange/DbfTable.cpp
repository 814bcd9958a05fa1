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
