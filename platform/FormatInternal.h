#pragma once
// Character tests shared by the number, date-time and parsing parts of the
// formatting module; private to platform/Format*.cpp.

namespace hv::format_detail {

inline char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

inline bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace hv::format_detail
