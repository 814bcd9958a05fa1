#pragma once
// Reads a comma- or tab-delimited text file one line at a time, without
// holding the file: lines end with CR LF or LF (the last one may have none),
// a UTF-8 byte order mark is dropped, and each line is UTF-8 when it is valid
// UTF-8 and Windows-1252 otherwise. Files come from other programs, so a line
// that cannot be read is reported as not valid and reading goes on after it.
#include "exchange/TextDecoding.h"

#include <cstddef>
#include <fstream>
#include <istream>
#include <memory>
#include <string>
#include <vector>

namespace hv::exchange {

// What a spreadsheet writes is read back as it was meant: a field that begins
// with a double quote and whose closing quote is followed by the delimiter or
// the line end is quoted ("" inside is one quote, delimiters inside are kept);
// any other field ends at the next delimiter and keeps its quote characters.
struct DelimitedLine {
    int number = 0; // 1-based line number in the file
    bool valid = true;
    std::vector<std::string> fields;
};

class DelimitedReader {
public:
    static constexpr std::size_t kMaxLineBytes = 65536;
    static constexpr std::size_t kMaxFields = 256;

    explicit DelimitedReader(char delimiter);
    DelimitedReader(const DelimitedReader&) = delete;
    DelimitedReader& operator=(const DelimitedReader&) = delete;

    // False with an error text when the file cannot be opened or is not a
    // text file (see LooksLikeText).
    bool open(const std::string& path, std::string& error);
    // False for a file whose first block holds a NUL byte: a program, a
    // picture, a spreadsheet's own format or UTF-16 text, none of which
    // splits into lines and fields.
    static bool LooksLikeText(const std::string& path);
    // Reads from memory (tests and fuzzing).
    void openBytes(std::string bytes);
    void close();
    bool isOpen() const { return m_in != nullptr; }

    // Files of a fixed layout written by a program, not a spreadsheet: every
    // delimiter splits and quotes are text.
    void setPlainFields(bool plain) { m_plain = plain; }
    // The code page of the whole file, when the caller knows it; Auto decides
    // per line.
    void setCodePage(CodePage page) { m_codePage = page; }

    // The next record. Empty lines and lines of only delimiters and blanks
    // are no records and are passed over. False at the end of the file.
    bool next(DelimitedLine& line);

    // Lines of the file as next() numbers them (for a progress bar); -1 when
    // the file cannot be read.
    static long countLines(const std::string& path);

    // Splits one decoded line; false for an unclosed quote or too many fields.
    static bool splitLine(const std::string& text, char delimiter, std::vector<std::string>& fields);
    // Splits at every delimiter; false for too many fields.
    static bool splitPlain(const std::string& text, char delimiter, std::vector<std::string>& fields);

private:
    // Raw bytes of the next physical line; false at the end. tooLong: the
    // line passed kMaxLineBytes (its bytes are then dropped).
    bool readRawLine(std::string& raw, bool& tooLong, bool& onlyBlanks);
    bool fill();

    char m_delimiter;
    bool m_plain = false;
    CodePage m_codePage = CodePage::Auto;
    std::unique_ptr<std::istream> m_in;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    bool m_eof = true;
    bool m_atStart = true;
    int m_lineNumber = 0;
};

} // namespace hv::exchange
