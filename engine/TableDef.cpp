#include "engine/TableDef.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace hv::engine {
namespace {

constexpr const char* kHeader = "HOURVANE-TABLE-DEFINITION 1";

std::vector<std::string> split(const std::string& s, char sep)
{
    std::vector<std::string> out;
    std::string cur;
    for (char c : s) {
        if (c == sep) {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    out.push_back(cur);
    return out;
}

// Values in the definition file never hold tabs or line breaks; keep them out.
std::string clean(std::string s)
{
    for (char& c : s)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return s;
}

struct TypeName {
    FieldType type;
    const char* name;
};
constexpr TypeName kTypeNames[] = {
    {FieldType::Text, "text"},         {FieldType::Integer, "integer"},
    {FieldType::SmallInt, "smallint"}, {FieldType::AutoInc, "autoinc"},
    {FieldType::Boolean, "boolean"},   {FieldType::Float, "float"},
    {FieldType::Currency, "currency"}, {FieldType::Date, "date"},
    {FieldType::Time, "time"},         {FieldType::DateTime, "datetime"},
    {FieldType::Memo, "memo"},
};

} // namespace

bool sameName(const std::string& a, const std::string& b)
{
    // ASCII letters only, as the C library folds them; every field access
    // by name comes here, so no locale call per character.
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return x == y || fold(x) == fold(y); });
}

const char* fieldTypeName(FieldType t)
{
    for (const auto& tn : kTypeNames)
        if (tn.type == t)
            return tn.name;
    return "text";
}

std::optional<FieldType> fieldTypeFromName(const std::string& name)
{
    for (const auto& tn : kTypeNames)
        if (name == tn.name)
            return tn.type;
    return std::nullopt;
}

std::vector<std::string> IndexDef::fieldList() const { return split(fields, ';'); }

int TableDef::fieldIndex(const std::string& name) const
{
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (sameName(fields[i].name, name))
            return int(i);
    return -1;
}

const IndexDef* TableDef::primaryIndex() const
{
    for (const auto& ix : indexes)
        if (ix.primary())
            return &ix;
    return nullptr;
}

const IndexDef* TableDef::findIndex(const std::string& name) const
{
    if (name.empty())
        return primaryIndex();
    for (const auto& ix : indexes)
        if (!ix.primary() && sameName(ix.name, name))
            return &ix;
    return nullptr;
}

bool TableDef::hasMemo() const
{
    return std::any_of(fields.begin(), fields.end(),
                       [](const FieldDef& f) { return f.type == FieldType::Memo; });
}

std::string TableDef::serialize() const
{
    std::ostringstream out;
    out << kHeader << "\n";
    out << "description\t" << clean(description) << "\n";
    for (const auto& f : fields)
        out << "field\t" << f.number << "\t" << clean(f.name) << "\t" << fieldTypeName(f.type) << "\t"
            << f.size << "\t" << (f.required ? 1 : 0) << "\t" << clean(f.defaultValue) << "\n";
    for (const auto& ix : indexes)
        out << "index\t" << clean(ix.name) << "\t" << clean(ix.fields) << "\t" << ix.options << "\n";
    out << "end\n";
    return out.str();
}

std::optional<TableDef> TableDef::parse(const std::string& text)
{
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != kHeader)
        return std::nullopt;
    TableDef def;
    bool ended = false;
    try {
        while (std::getline(in, line)) {
            auto parts = split(line, '\t');
            if (parts[0] == "description" && parts.size() == 2) {
                def.description = parts[1];
            } else if (parts[0] == "field" && parts.size() == 7) {
                FieldDef f;
                f.number = std::stoi(parts[1]);
                f.name = parts[2];
                auto t = fieldTypeFromName(parts[3]);
                if (!t || f.name.empty())
                    return std::nullopt;
                f.type = *t;
                f.size = std::stoi(parts[4]);
                f.required = parts[5] == "1";
                f.defaultValue = parts[6];
                def.fields.push_back(f);
            } else if (parts[0] == "index" && parts.size() == 4) {
                IndexDef ix{parts[1], parts[2], unsigned(std::stoul(parts[3]))};
                for (const auto& name : ix.fieldList())
                    if (def.fieldIndex(name) < 0)
                        return std::nullopt;
                def.indexes.push_back(ix);
            } else if (parts[0] == "end" && parts.size() == 1) {
                ended = true;
                break;
            } else {
                return std::nullopt;
            }
        }
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (!ended || def.fields.empty())
        return std::nullopt;
    return def;
}

bool TableDef::operator==(const TableDef& o) const { return serialize() == o.serialize(); }

} // namespace hv::engine
