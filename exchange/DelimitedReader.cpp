#include "exchange/DelimitedReader.h"

#include <algorithm>

#include "exchange/TextDecoding.h"

#include <cstring>
#include <sstream>

namespace hv::exchange {
namespace {

constexpr std::size_t kChunk = 1 << 16;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

} // namespace

DelimitedReader::DelimitedReader(char delimiter) : m_delimiter(delimiter) {}

bool DelimitedReader::open(const std::string& path, std::string& error)
{
    close();
    auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (!file->is_open()) {
        error = "The file " + path + " cannot be opened.";
        return false;
    }
    if (!LooksLikeText(path)) {
        error = "The file " + path + " is not a text file.";
        return false;
    }
    m_in = std::move(file);
    m_eof = false;
    return true;
}

bool DelimitedReader::LooksLikeText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    char block[4096];
    in.read(block, sizeof block);
    return std::find(block, block + in.gcount(), '\0') == block + in.gcount();
}

void DelimitedReader::openBytes(std::string bytes)
{
    close();
    m_in = std::make_unique<std::istringstream>(std::move(bytes));
    m_eof = false;
}

void DelimitedReader::close()
{
    m_in.reset();
    m_buffer.clear();
    m_pos = m_end = 0;
    m_eof = true;
    m_atStart = true;
    m_lineNumber = 0;
}

bool DelimitedReader::fill()
{
    if (!m_in || m_eof)
        return false;
    if (m_buffer.size() < kChunk)
        m_buffer.resize(kChunk);
    m_in->read(m_buffer.data(), std::streamsize(m_buffer.size()));
    m_end = std::size_t(m_in->gcount());
    m_pos = 0;
    if (m_end == 0) {
        m_eof = true;
        return false;
    }
    if (m_atStart) {
        m_atStart = false;
        // A byte order mark says UTF-8 and is no part of the first line.
        if (m_end >= 3 && std::memcmp(m_buffer.data(), "\xEF\xBB\xBF", 3) == 0)
            m_pos = 3;
    }
    return true;
}

bool DelimitedReader::readRawLine(std::string& raw, bool& tooLong, bool& onlyBlanks)
{
    raw.clear();
    tooLong = false;
    onlyBlanks = true;
    bool any = false;
    for (;;) {
        if (m_pos >= m_end && !fill())
            break;
        any = true;
        const char* begin = m_buffer.data() + m_pos;
        const char* stop = static_cast<const char*>(std::memchr(begin, '\n', m_end - m_pos));
        const std::size_t n = stop ? std::size_t(stop - begin) : m_end - m_pos;
        for (std::size_t i = 0; i < n && onlyBlanks; ++i)
            if (!isBlank(begin[i]) && begin[i] != m_delimiter && begin[i] != '\r')
                onlyBlanks = false;
        if (!tooLong) {
            if (raw.size() + n > kMaxLineBytes + 1) { // + 1: the CR of a CR LF
                tooLong = true;
                raw.clear();
            } else {
                raw.append(begin, n);
            }
        }
        m_pos += n;
        if (stop) {
            ++m_pos; // the LF
            break;
        }
    }
    if (!any)
        return false;
    ++m_lineNumber;
    if (!tooLong && !raw.empty() && raw.back() == '\r')
        raw.pop_back();
    if (!tooLong && raw.size() > kMaxLineBytes) {
        tooLong = true;
        raw.clear();
    }
    return true;
}

bool DelimitedReader::next(DelimitedLine& line)
{
    std::string raw;
    bool tooLong = false, onlyBlanks = true;
    while (readRawLine(raw, tooLong, onlyBlanks)) {
        if (onlyBlanks)
            continue;
        line.number = m_lineNumber;
        line.fields.clear();
        line.valid = !tooLong && raw.find('\0') == std::string::npos &&
                     (m_plain ? splitPlain(decodeText(raw, m_codePage), m_delimiter, line.fields)
                              : splitLine(decodeText(raw, m_codePage), m_delimiter, line.fields));
        if (!line.valid)
            line.fields.clear();
        return true;
    }
    return false;
}

bool DelimitedReader::splitLine(const std::string& text, char delimiter, std::vector<std::string>& fields)
{
    fields.clear();
    const std::size_t n = text.size();
    std::size_t pos = 0;
    for (;;) {
        if (fields.size() >= kMaxFields)
            return false;
        if (pos < n && text[pos] == '"') {
            std::string value;
            std::size_t i = pos + 1;
            bool closed = false, plain = false;
            while (i < n) {
                if (text[i] != '"') {
                    value += text[i++];
                    continue;
                }
                if (i + 1 < n && text[i + 1] == '"') {
                    value += '"';
                    i += 2;
                } else if (i + 1 == n || text[i + 1] == delimiter) {
                    closed = true;
                    break;
                } else {
                    plain = true; // "Lead" cook: not a quoted field
                    break;
                }
            }
            if (!closed && !plain)
                return false; // the quote never closes on this line
            if (closed) {
                fields.push_back(std::move(value));
                pos = i + 1;
                if (pos == n)
                    return true;
                ++pos; // the delimiter
                if (pos == n) {
                    fields.emplace_back();
                    return fields.size() <= kMaxFields;
                }
                continue;
            }
        }
        const std::size_t d = text.find(delimiter, pos);
        if (d == std::string::npos) {
            fields.push_back(text.substr(pos));
            return true;
        }
        fields.push_back(text.substr(pos, d - pos));
        pos = d + 1;
        if (pos == n) {
            fields.emplace_back();
            return fields.size() <= kMaxFields;
        }
    }
}

bool DelimitedReader::splitPlain(const std::string& text, char delimiter, std::vector<std::string>& fields)
{
    fields.clear();
    std::size_t pos = 0;
    for (;;) {
        if (fields.size() >= kMaxFields)
            return false;
        const std::size_t d = text.find(delimiter, pos);
        fields.push_back(text.substr(pos, d == std::string::npos ? std::string::npos : d - pos));
        if (d == std::string::npos)
            return true;
        pos = d + 1;
    }
}

long DelimitedReader::countLines(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open())
        return -1;
    std::vector<char> buffer(kChunk);
    long lines = 0;
    char last = '\n';
    for (;;) {
        in.read(buffer.data(), std::streamsize(buffer.size()));
        const std::size_t got = std::size_t(in.gcount());
        if (got == 0)
            break;
        for (std::size_t i = 0; i < got; ++i)
            if (buffer[i] == '\n')
                ++lines;
        last = buffer[got - 1];
    }
    return last == '\n' ? lines : lines + 1;
}

} // namespace hv::exchange
