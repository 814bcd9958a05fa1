#pragma once
// Calendar arithmetic on the program's date-time values: days since
// 30 December 1899, the whole part the date and the fraction the time of day
// (0.5 is 12:00). Below the origin the whole part still names the date and
// the size of the fraction the time, so -1.25 is 29 December 1899 06:00.
// Operations that take a date look at its whole part only; AddMonths and
// AddYears keep the time of day.
#include <string>

#include "platform/RegionalSettings.h"

namespace hv {

inline constexpr double kMinutesPerDay = 1440.0;
inline constexpr double kSecondsPerDay = 86400.0;

// False when the parts name no date (year 1..9999, month 1..12, day 1..length).
bool TryEncodeDate(int year, int month, int day, double& date);
// Throws std::out_of_range when the parts name no date.
double EncodeDate(int year, int month, int day);
void DecodeDate(double date, int& year, int& month, int& day);

// Hours 0..23, minutes and seconds 0..59, milliseconds 0..999.
bool TryEncodeTime(int hour, int minute, int second, int msec, double& time);
// Throws std::out_of_range for a part out of range.
double EncodeTime(int hour, int minute, int second = 0, int msec = 0);
// The time of day to the nearest millisecond.
void DecodeTime(double time, int& hour, int& minute, int& second);
void DecodeTime(double time, int& hour, int& minute, int& second, int& msec);

// 0 = Sunday .. 6 = Saturday.
int DayOfWeek(double date);
int Year(double date);
int Month(double date);
int Day(double date);
bool IsLeapYear(int year);
// 28..31: the length of the month that holds the date.
int DaysInMonth(double date);
int DaysInMonth(int year, int month);

// The same day n months later (earlier for n < 0); a day the target month
// lacks becomes its last day: 31 January + 1 is 28 or 29 February.
double AddMonths(double date, int months);
// The same month and day n years later; 29 February in a common year is 28 February.
double AddYears(double date, int years);

// Whole calendar months from first to second: the largest n for which
// AddMonths(first, n) is not after second, so 15 Jan -> 14 Feb is 0 and
// 15 Jan -> 15 Feb is 1; from 31 Jan, 28 Feb already completes a month.
// When second is before first the result is minus the months from second to
// first (0 or negative), so MonthDiff(a, b) == -MonthDiff(b, a).
int MonthDiff(double first, double second);
// Whole years likewise (completed years of service), with AddYears.
int YearDiff(double first, double second);

// The date with these parts, mended: a month outside 1..12 rolls into the
// neighbouring years (month 0 is December of the year before, 13 January of
// the next); then a day beyond the month's length gives its last day, and a
// day of 0 or less counts back from the 1st (day 0 is the last day of the
// previous month). So (y, 0, 0) is 30 November of y - 1.
double NearestValidDate(int year, int month, int day);

// The whole minutes since midnight of a time of day; seconds are dropped.
int MinutesOf(double time);

// The display date format the windows use: the regional short date format,
// at most 255 characters, in the formatter's notation.
std::string DateFormat(const RegionalSettings& settings);
std::string DateFormat();

} // namespace hv
