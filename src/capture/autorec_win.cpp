#include "capture/autorec_win.h"

#include <windows.h>

#include "capture/autorec_name.h"
#include "imageio/save_as_win.h"
#include "settings/config_file_win.h"
#include "settings/settings_keys.h"
#include "toolkit/messages.h"
#include "toolkit/picture_win.h"

namespace vistrel {

namespace {

ClockReading ReadLocalClock() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return ClockReading{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

// The stem of the last file auto-record wrote in this run. A capture in the
// same millisecond would get that name and silently replace the file.
std::string lastStem;

// About a second of waiting for the clock, should it ever stand still.
constexpr int kMaxClockRereads = 1000;

std::string NextStem(const ClockReading& date, const ClockReading& time) {
  return NextAutoRecName(
      date, time, lastStem, ReadLocalClock, [] { Sleep(1); }, kMaxClockRereads);
}

}  // namespace

AutoRecSettings ReadAutoRecSettings() {
  ConfigFile config;
  AutoRecSettings s;
  s.autoRec = config.ReadValue(settings::kSection, "autoRec", settings::kNo);
  s.format = config.ReadValue(settings::kSection, "autoRecFormat", settings::kBmp);
  s.folder = config.ReadValue(settings::kSection, settings::kSaveFilePath, DefaultSaveFolder());
  s.compression =
      config.ReadValue(settings::kSection, settings::kCompression, settings::kDefaultCompression);
  return s;
}

void AutoRecord(const Picture& picture, const AutoRecSettings& settings) {
  // The date from one reading, the time from the next.
  const ClockReading date = ReadLocalClock();
  const ClockReading time = ReadLocalClock();
  // One level only; an existing folder or a missing parent is no error here.
  CreateDirectoryA(settings.folder.c_str(), nullptr);

  if (settings.format == settings::kBmp) {
    const std::string stem = NextStem(date, time);
    BmpWriter(picture, AutoRecPath(settings.folder, stem, "bmp"));
    lastStem = stem;
  }
  if (settings.format == settings::kJpg) {
    const int quality = StrToInt(settings.compression);
    const std::string stem = NextStem(date, time);
    JpegWriter(picture, AutoRecPath(settings.folder, stem, "jpg"), quality);
    lastStem = stem;
  }
}

}  // namespace vistrel
