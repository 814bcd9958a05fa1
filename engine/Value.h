#pragma once
// Field values as the engine keeps them in a row buffer, and the conversions
// between the program's date-time numbers (days since 30 December 1899) and the
// ISO texts stored in the table files.
#include <cstdint>
#include <string>
#include <variant>

namespace hv::engine {

using Value = std::variant<std::monostate, std::int64_t, double, std::string>;

inline bool isNull(const Value& v) { return std::holds_alternative<std::monostate>(v); }

enum class FieldType {
    Text, Integer, SmallInt, AutoInc, Boolean, Float, Currency, Date, Time, DateTime, Memo
};

// "YYYY-MM-DD", "HH:MM:SS" or "YYYY-MM-DD HH:MM:SS" depending on the type.
std::string dateTimeToText(double value, FieldType type);
// Accepts any of the three forms; false for anything else.
bool textToDateTime(const std::string& text, double& value);

} // namespace hv::engine

namespace hv::engine {
// Generic readings of a value, used where no column type is known (query results).
std::string valueAsString(const Value& v);
std::int64_t valueAsInteger(const Value& v);
double valueAsFloat(const Value& v);       // ISO date texts read as day numbers
bool valueAsBoolean(const Value& v);
double valueAsDateTime(const Value& v);
} // namespace hv::engine
