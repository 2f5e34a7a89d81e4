#include "capture/autorec_name.h"

namespace vistrel {

namespace {

// Decimal digits with leading zeros up to width; wider values keep all digits.
void AppendNumber(std::string& out, int value, std::size_t width) {
  const std::string digits = std::to_string(value);
  if (digits.size() < width) out.append(width - digits.size(), '0');
  out += digits;
}

}  // namespace

std::string AutoRecName(const ClockReading& date, const ClockReading& time) {
  std::string name;
  AppendNumber(name, date.day, 2);
  name += '.';
  AppendNumber(name, date.month, 2);
  name += '.';
  AppendNumber(name, date.year, 2);
  name += " à ";
  AppendNumber(name, time.hour, 2);
  name += "h ";
  AppendNumber(name, time.minute, 2);
  name += "m ";
  AppendNumber(name, time.second, 2);
  name += "s ";
  AppendNumber(name, time.millisecond, 3);
  name += '\'';
  return name;
}

std::string AutoRecPath(std::string_view folder, std::string_view stem,
                        std::string_view extension) {
  std::string path;
  path.reserve(folder.size() + stem.size() + extension.size() + 2);
  path.append(folder).append("\\").append(stem).append(".").append(extension);
  return path;
}

std::string NextAutoRecName(const ClockReading& date, const ClockReading& time,
                            std::string_view previousStem,
                            const std::function<ClockReading()>& readClock,
                            const std::function<void()>& pause, int maxRereads) {
  std::string stem = AutoRecName(date, time);
  for (int i = 0; i < maxRereads && stem == previousStem; ++i) {
    pause();
    const ClockReading newDate = readClock();
    const ClockReading newTime = readClock();
    stem = AutoRecName(newDate, newTime);
  }
  return stem;
}

}  // namespace vistrel
