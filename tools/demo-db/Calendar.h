#pragma once
// Day numbers and the plant's date texts (Republic of China calendar: the
// year is the Gregorian year - 1911, written with three digits).
#include <string>

namespace qtmv::demo {

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
};

// Days since 1970-01-01 and back.
int DayNumber(Date d);
Date DateOf(int dayNumber);
bool IsValid(Date d);

std::string Roc7(int day);                        // "1131204"
std::string RocMonth(int day);                    // "11312"
std::string FinishStamp(int day, int hour);       // "1204-14": month, day, "-", hour
std::string RocDateTime(int day, int minuteOfDay); // "1131204 0830"

} // namespace qtmv::demo
