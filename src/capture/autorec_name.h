#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace vistrel {

// One reading of the local clock, as the system gives it.
struct ClockReading {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// The auto-record file name stem, e.g. "07.03.2026 à 09h 05m 04s 007'": the
// date from the first reading, the time from the second.
std::string AutoRecName(const ClockReading& date, const ClockReading& time);

// folder + "\" + stem + "." + extension; the folder is used as given.
std::string AutoRecPath(std::string_view folder, std::string_view stem, std::string_view extension);

// The stem of the next auto-recorded file. A capture that falls in the same
// millisecond as the previous file would take its name and replace it, so the
// clock is read again (after pause()) until the stem differs from
// previousStem, at most maxRereads times. The first stem is built from the two
// readings given.
std::string NextAutoRecName(const ClockReading& date, const ClockReading& time,
                            std::string_view previousStem,
                            const std::function<ClockReading()>& readClock,
                            const std::function<void()>& pause, int maxRereads);

}  // namespace vistrel
