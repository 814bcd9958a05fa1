#include "engine/Filter.h"

#include "engine/Database.h"
#include "engine/EngineError.h"

#include <cctype>
#include <cstdlib>

namespace hv::engine {
namespace {

struct Token {
    enum Kind { Ident, Number, String, Equals, LParen, RParen, End } kind;
    std::string text;
};

class Parser {
public:
    Parser(const std::string& text, const TableDef& def) : m_text(text), m_def(def) { advance(); }

    CompiledFilter run()
    {
        CompiledFilter out;
        if (m_tok.kind == Token::End)
            return out;
        out.where = conjunction(out.values);
        if (m_tok.kind != Token::End)
            fail("unexpected '" + m_tok.text + "'");
        return out;
    }

private:
    [[noreturn]] void fail(const std::string& why) const
    {
        throw EngineError(code::FilterError, "Filter error in '" + m_text + "': " + why);
    }

    void advance()
    {
        while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos])))
            ++m_pos;
        if (m_pos >= m_text.size()) {
            m_tok = {Token::End, ""};
            return;
        }
        char c = m_text[m_pos];
        if (c == '=') {
            ++m_pos;
            m_tok = {Token::Equals, "="};
        } else if (c == '(') {
            ++m_pos;
            m_tok = {Token::LParen, "("};
        } else if (c == ')') {
            ++m_pos;
            m_tok = {Token::RParen, ")"};
        } else if (c == '\'') {
            std::string s;
            ++m_pos;
            for (;;) {
                if (m_pos >= m_text.size())
                    fail("unterminated text");
                if (m_text[m_pos] == '\'') {
                    if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '\'') {
                        s += '\'';
                        m_pos += 2;
                        continue;
                    }
                    ++m_pos;
                    break;
                }
                s += m_text[m_pos++];
            }
            m_tok = {Token::String, s};
        } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '.') {
            std::size_t start = m_pos++;
            while (m_pos < m_text.size() &&
                   (std::isdigit(static_cast<unsigned char>(m_text[m_pos])) || m_text[m_pos] == '.'))
                ++m_pos;
            m_tok = {Token::Number, m_text.substr(start, m_pos - start)};
        } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            std::size_t start = m_pos;
            while (m_pos < m_text.size() &&
                   (std::isalnum(static_cast<unsigned char>(m_text[m_pos])) || m_text[m_pos] == '_'))
                ++m_pos;
            m_tok = {Token::Ident, m_text.substr(start, m_pos - start)};
        } else {
            fail(std::string("unexpected character '") + c + "'");
        }
    }

    bool keyword(const char* word) const
    {
        return m_tok.kind == Token::Ident && sameName(m_tok.text, word);
    }

    std::string conjunction(std::vector<Value>& values)
    {
        std::string sql = term(values);
        while (keyword("and")) {
            advance();
            sql += " AND " + term(values);
        }
        return sql;
    }

    Value literal(const FieldDef& f)
    {
        if (m_tok.kind == Token::Number) {
            char* end = nullptr;
            const std::string& t = m_tok.text;
            if (t.find('.') == std::string::npos) {
                long long v = std::strtoll(t.c_str(), &end, 10);
                if (*end || t == "-")
                    fail("bad number '" + t + "'");
                advance();
                if (f.type == FieldType::Currency)
                    return Value(std::int64_t(v) * 10000);
                if (f.type == FieldType::Float)
                    return Value(double(v));
                return Value(std::int64_t(v));
            }
            double v = std::strtod(t.c_str(), &end);
            if (*end)
                fail("bad number '" + t + "'");
            advance();
            if (f.type == FieldType::Currency)
                return Value(std::int64_t(v * 10000.0 + (v < 0 ? -0.5 : 0.5)));
            return Value(v);
        }
        if (m_tok.kind == Token::String) {
            std::string s = m_tok.text;
            advance();
            return Value(s);
        }
        fail("a number or a quoted text was expected");
    }

    std::string term(std::vector<Value>& values)
    {
        if (m_tok.kind == Token::LParen) {
            advance();
            std::string inner = conjunction(values);
            if (m_tok.kind != Token::RParen)
                fail("')' was expected");
            advance();
            return "(" + inner + ")";
        }
        if (m_tok.kind != Token::Ident)
            fail("a column name was expected");
        int idx = m_def.fieldIndex(m_tok.text);
        if (idx < 0 || m_def.fields[idx].type == FieldType::Memo)
            fail("unknown column '" + m_tok.text + "'");
        const FieldDef& f = m_def.fields[idx];
        std::string column = quoteIdent(f.name);
        advance();
        if (m_tok.kind == Token::Equals) {
            advance();
            values.push_back(literal(f));
            return column + " = ?";
        }
        if (keyword("between")) {
            advance();
            values.push_back(literal(f));
            if (!keyword("and"))
                fail("'and' was expected after between");
            advance();
            values.push_back(literal(f));
            return column + " BETWEEN ? AND ?";
        }
        fail("'=' or 'between' was expected");
    }

    const std::string& m_text;
    const TableDef& m_def;
    std::size_t m_pos = 0;
    Token m_tok{Token::End, ""};
};

} // namespace

CompiledFilter compileFilter(const std::string& expression, const TableDef& def)
{
    return Parser(expression, def).run();
}

} // namespace hv::engine
