#include "reportengine/PageFile.h"
#include "platform/SaveFile.h"

#include <QFile>
#include <QSaveFile>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace hv::report {

namespace {

std::uint64_t fnv1a(std::string_view bytes)
{
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

std::string hex64(std::uint64_t value)
{
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(value));
    return buf;
}

// Appends the text in quotes, escaped.
void putQuoted(std::string& out, const std::string& text)
{
    out += '"';
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            if (c < 0x20 || c == 0x7f) {
                char buf[5];
                std::snprintf(buf, sizeof buf, "\\x%02X", c);
                out += buf;
            } else {
                out += char(c);
            }
        }
    }
    out += '"';
}

// Appends a blank and the number.
void putNumber(std::string& out, long long value)
{
    char buf[24];
    buf[0] = ' ';
    const auto end = std::to_chars(buf + 1, buf + sizeof buf, value).ptr;
    out.append(buf, end);
}

std::string style(const ReportFont& f)
{
    std::string s;
    if (f.bold)
        s += 'B';
    if (f.italic)
        s += 'I';
    if (f.underline)
        s += 'U';
    if (f.strikeOut)
        s += 'S';
    return s.empty() ? "-" : s;
}

char justifyLetter(Justify j) { return j == Justify::Left ? 'L' : j == Justify::Right ? 'R' : 'C'; }

// Well-formed UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool validUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        std::uint32_t cp = 0;
        if ((c & 0xE0) == 0xC0)
            extra = 1, cp = c & 0x1F;
        else if ((c & 0xF0) == 0xE0)
            extra = 2, cp = c & 0x0F;
        else if ((c & 0xF8) == 0xF0)
            extra = 3, cp = c & 0x07;
        else
            return false;
        if (i + std::size_t(extra) >= s.size())
            return false;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char d = s[i + std::size_t(k)];
            if ((d & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        static const std::uint32_t minimum[] = {0, 0x80, 0x800, 0x10000};
        if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += std::size_t(extra) + 1;
    }
    return true;
}

// A piece of a damaged line, safe to put into a message.
std::string shown(std::string_view text)
{
    std::string out(text.substr(0, 20));
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    return out;
}

// Splits one record into its fields; the last may be a quoted text.
class Fields {
public:
    explicit Fields(std::string_view line) : m_rest(line) {}

    bool word(std::string_view& out)
    {
        if (m_rest.empty() || m_rest.front() == ' ')
            return false;
        const std::size_t end = m_rest.find(' ');
        out = m_rest.substr(0, end);
        m_rest = end == std::string_view::npos ? std::string_view() : m_rest.substr(end);
        return true;
    }
    bool separator()
    {
        if (m_rest.size() < 2 || m_rest.front() != ' ' || m_rest[1] == ' ')
            return false;
        m_rest.remove_prefix(1);
        return true;
    }
    bool number(long long& value, std::string& error)
    {
        std::string_view w;
        if (!separator() || !word(w)) {
            error = "a number is missing";
            return false;
        }
        const char* begin = w.data();
        const char* end = w.data() + w.size();
        auto [ptr, ec] = std::from_chars(begin, end, value);
        if (ec != std::errc() || ptr != end || w.size() > 12) {
            error = "'" + shown(w) + "' is not a number";
            return false;
        }
        return true;
    }
    bool text(std::string& out, std::string& error)
    {
        if (!separator() || m_rest.empty() || m_rest.front() != '"') {
            error = "a quoted text is missing";
            return false;
        }
        std::size_t i = 1;
        out.clear();
        while (i < m_rest.size() && m_rest[i] != '"') {
            const char c = m_rest[i];
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
                error = "a control character is not escaped";
                return false;
            }
            if (c != '\\') {
                out += c;
                ++i;
                continue;
            }
            if (i + 1 >= m_rest.size()) {
                error = "an escape is cut off";
                return false;
            }
            const char e = m_rest[i + 1];
            i += 2;
            switch (e) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case 't':
                out += '\t';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 'x': {
                unsigned value = 0;
                if (i + 2 > m_rest.size() ||
                    std::from_chars(m_rest.data() + i, m_rest.data() + i + 2, value, 16).ptr != m_rest.data() + i + 2) {
                    error = "a \\x escape needs two hexadecimal digits";
                    return false;
                }
                out += char(value);
                i += 2;
                break;
            }
            default:
                error = "unknown escape \\" + shown(std::string_view(&e, 1));
                return false;
            }
        }
        if (i >= m_rest.size()) {
            error = "a quoted text is not closed";
            return false;
        }
        m_rest = m_rest.substr(i + 1);
        return true;
    }
    bool done() const { return m_rest.empty(); }

private:
    std::string_view m_rest;
};

class Parser {
public:
    Parser(const PageFileLimits& limits, PageSet& pages) : m_limits(limits), m_pages(pages) {}

    bool run(const std::string& text, std::string& error)
    {
        m_pages.clear();
        if (text.size() > m_limits.fileSize)
            return fail(error, 1, "the file is larger than a report can be");
        std::size_t pos = 0;
        int line = 0;
        bool ended = false;
        while (pos < text.size()) {
            ++line;
            const std::size_t eol = text.find('\n', pos);
            if (eol == std::string::npos)
                return fail(error, line, "the file ends in the middle of a line");
            const std::string_view record(text.data() + pos, eol - pos);
            if (record.size() > m_limits.lineLength)
                return fail(error, line, "the line is longer than " + std::to_string(m_limits.lineLength) + " bytes");
            if (ended)
                return fail(error, line, "text follows the end record");
            if (!validUtf8(record))
                return fail(error, line, "the line is not valid UTF-8");
            std::string why;
            if (line == 1) {
                if (!header(record, why))
                    return fail(error, line, why);
            } else if (record.starts_with("END")) {
                if (!end(record, std::string_view(text.data(), pos), why))
                    return fail(error, line, why);
                ended = true;
            } else if (!item(record, why)) {
                return fail(error, line, why);
            }
            pos = eol + 1;
        }
        if (line == 0)
            return fail(error, 1, "the file is empty");
        if (!ended)
            return fail(error, line + 1, "the file ends before its end record");
        return true;
    }

private:
    static bool fail(std::string& error, int line, const std::string& why)
    {
        error = "line " + std::to_string(line) + ": " + why;
        return false;
    }

    bool header(std::string_view record, std::string& why)
    {
        constexpr std::string_view magic = "HVREPORT ";
        if (!record.starts_with(magic)) {
            why = "this is not a report page file";
            return false;
        }
        long long version = 0;
        Fields f(record.substr(magic.size() - 1));
        if (!f.number(version, why) || !f.done()) {
            why = "the version is not readable";
            return false;
        }
        if (version != kPageFileVersion) {
            why = "version " + std::to_string(version) + " is not supported (this program reads version " +
                  std::to_string(kPageFileVersion) + ")";
            return false;
        }
        return true;
    }

    bool end(std::string_view record, std::string_view before, std::string& why)
    {
        Fields f(record);
        std::string_view tag, sum;
        long long pages = 0;
        if (!f.word(tag) || tag != "END" || !f.number(pages, why) || !f.separator() || !f.word(sum) || !f.done()) {
            why = "the end record is malformed";
            return false;
        }
        if (pages != static_cast<long long>(m_pages.size())) {
            why = "the end record counts " + std::to_string(pages) + " pages, the file holds " +
                  std::to_string(m_pages.size());
            return false;
        }
        if (sum != hex64(fnv1a(before))) {
            why = "the checksum does not match: the file is damaged";
            return false;
        }
        return true;
    }

    bool coordinate(Fields& f, int& out, std::string& why)
    {
        long long v = 0;
        if (!f.number(v, why))
            return false;
        if (v < -m_limits.coordinate || v > m_limits.coordinate) {
            why = "coordinate " + std::to_string(v) + " is out of range";
            return false;
        }
        out = int(v);
        return true;
    }

    bool bounded(Fields& f, int& out, long long low, long long high, const char* what, std::string& why)
    {
        long long v = 0;
        if (!f.number(v, why))
            return false;
        if (v < low || v > high) {
            why = std::string(what) + " " + std::to_string(v) + " is out of range";
            return false;
        }
        out = int(v);
        return true;
    }

    bool item(std::string_view record, std::string& why)
    {
        Fields f(record);
        std::string_view tag;
        if (!f.word(tag)) {
            why = "the line is empty";
            return false;
        }
        if (tag == "P") {
            if (int(m_pages.size()) >= m_limits.pages) {
                why = "more than " + std::to_string(m_limits.pages) + " pages";
                return false;
            }
            Page page;
            if (!bounded(f, page.width, 1000, m_limits.coordinate, "page width", why) ||
                !bounded(f, page.height, 1000, m_limits.coordinate, "page height", why))
                return false;
            if (!f.done()) {
                why = "unexpected text after the page size";
                return false;
            }
            m_pages.push_back(std::move(page));
            m_haveFont = false;
            return true;
        }
        if (m_pages.empty()) {
            why = "a record comes before the first page";
            return false;
        }
        Page& page = m_pages.back();
        if (tag == "F") {
            ReportFont font;
            std::string_view styleWord;
            if (!bounded(f, font.size, 1, m_limits.fontSize, "font size", why))
                return false;
            if (!f.separator() || !f.word(styleWord) || !readStyle(styleWord, font)) {
                why = "the font style is not readable";
                return false;
            }
            if (!f.text(font.face, why))
                return false;
            if (font.face.empty() || !validUtf8(font.face)) {
                why = "the font face is empty or not valid UTF-8";
                return false;
            }
            if (!f.done()) {
                why = "unexpected text after the font";
                return false;
            }
            m_font = font;
            m_haveFont = true;
            return true;
        }
        if (int(page.items.size()) >= m_limits.itemsPerPage) {
            why = "page " + std::to_string(m_pages.size()) + " holds more than " +
                  std::to_string(m_limits.itemsPerPage) + " items";
            return false;
        }
        if (++m_totalItems > m_limits.totalItems) {
            why = "the file holds more than " + std::to_string(m_limits.totalItems) + " items";
            return false;
        }
        if (tag == "T") {
            if (!m_haveFont) {
                why = "text comes before any font on its page";
                return false;
            }
            TextItem t;
            std::string_view j;
            if (!coordinate(f, t.left, why) || !coordinate(f, t.right, why) || !coordinate(f, t.baseline, why))
                return false;
            if (!f.separator() || !f.word(j) || j.size() != 1 || (j != "L" && j != "C" && j != "R")) {
                why = "the justification must be L, C or R";
                return false;
            }
            t.justify = j == "L" ? Justify::Left : j == "R" ? Justify::Right : Justify::Centre;
            if (!f.text(t.text, why))
                return false;
            if (!validUtf8(t.text)) {
                why = "the text is not valid UTF-8";
                return false;
            }
            if (!f.done()) {
                why = "unexpected text after the quoted text";
                return false;
            }
            t.font = m_font;
            page.items.push_back(std::move(t));
            return true;
        }
        if (tag == "L") {
            LineItem l;
            if (!coordinate(f, l.x1, why) || !coordinate(f, l.y1, why) || !coordinate(f, l.x2, why) ||
                !coordinate(f, l.y2, why) || !bounded(f, l.width, 0, m_limits.lineWidth, "line width", why))
                return false;
            if (!f.done()) {
                why = "unexpected text after the line";
                return false;
            }
            page.items.push_back(l);
            return true;
        }
        if (tag == "S") {
            ShadeItem s;
            if (!coordinate(f, s.left, why) || !coordinate(f, s.top, why) || !coordinate(f, s.right, why) ||
                !coordinate(f, s.bottom, why) || !bounded(f, s.percent, 0, 100, "shade", why))
                return false;
            if (!f.done()) {
                why = "unexpected text after the shade";
                return false;
            }
            page.items.push_back(s);
            return true;
        }
        why = "unknown record '" + shown(tag) + "'";
        return false;
    }

    static bool readStyle(std::string_view word, ReportFont& font)
    {
        if (word == "-")
            return true;
        std::string_view order = "BIUS";
        std::size_t from = 0;
        for (char c : word) {
            const std::size_t at = order.find(c, from);
            if (at == std::string_view::npos)
                return false; // unknown, repeated or out of order
            from = at + 1;
            (c == 'B' ? font.bold : c == 'I' ? font.italic : c == 'U' ? font.underline : font.strikeOut) = true;
        }
        return !word.empty();
    }

    const PageFileLimits& m_limits;
    PageSet& m_pages;
    ReportFont m_font;
    bool m_haveFont = false;
    long long m_totalItems = 0;
};

} // namespace

std::string PageFileText(const PageSet& pages)
{
    // Appended piece by piece: a report's file runs to megabytes.
    std::size_t items = 0;
    for (const Page& page : pages)
        items += page.items.size();
    std::string out;
    out.reserve(32 + pages.size() * 16 + items * 40);
    out += "HVREPORT";
    putNumber(out, kPageFileVersion);
    out += '\n';
    for (const Page& page : pages) {
        out += 'P';
        putNumber(out, page.width);
        putNumber(out, page.height);
        out += '\n';
        const ReportFont* current = nullptr;
        for (const PageItem& item : page.items) {
            if (const auto* t = std::get_if<TextItem>(&item)) {
                if (!current || !(*current == t->font)) {
                    out += 'F';
                    putNumber(out, t->font.size);
                    out += ' ';
                    out += style(t->font);
                    out += ' ';
                    putQuoted(out, t->font.face);
                    out += '\n';
                    current = &t->font;
                }
                out += 'T';
                putNumber(out, t->left);
                putNumber(out, t->right);
                putNumber(out, t->baseline);
                out += ' ';
                out += justifyLetter(t->justify);
                out += ' ';
                putQuoted(out, t->text);
                out += '\n';
            } else if (const auto* l = std::get_if<LineItem>(&item)) {
                out += 'L';
                for (const int value : {l->x1, l->y1, l->x2, l->y2, l->width})
                    putNumber(out, value);
                out += '\n';
            } else if (const auto* s = std::get_if<ShadeItem>(&item)) {
                out += 'S';
                for (const int value : {s->left, s->top, s->right, s->bottom, s->percent})
                    putNumber(out, value);
                out += '\n';
            }
        }
    }
    // The sum covers everything before the END line.
    const std::string sum = hex64(fnv1a(out));
    out += "END";
    putNumber(out, (long long)pages.size());
    out += ' ';
    out += sum;
    out += '\n';
    return out;
}

bool WritePageFile(const std::string& path, const PageSet& pages, std::string& error)
{
    const std::string text = PageFileText(pages);
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString().toStdString();
        return false;
    }
    if (file.write(text.data(), qint64(text.size())) != qint64(text.size())) {
        error = file.errorString().toStdString();
        file.cancelWriting();
        return false;
    }
    return CommitSaveFile(file, error);
}

bool ParsePageFile(const std::string& text, PageSet& pages, std::string& error, const PageFileLimits& limits)
{
    Parser parser(limits, pages);
    if (parser.run(text, error))
        return true;
    pages.clear();
    return false;
}

bool ReadPageFile(const std::string& path, PageSet& pages, std::string& error)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString().toStdString();
        return false;
    }
    const PageFileLimits limits;
    if (file.size() > qint64(limits.fileSize)) {
        error = "line 1: the file is larger than a report can be";
        return false;
    }
    const QByteArray bytes = file.readAll();
    return ParsePageFile(bytes.toStdString(), pages, error, limits);
}

} // namespace hv::report
