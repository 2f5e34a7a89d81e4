// Where one capture's time goes, step by step, with the program's own code:
// first in a burst as the program runs one (the writing thread busy beside
// the grab), then each step alone, round after round. Beside the steps, the
// cheaper ways to the same settings and folder, so a change can be weighed.
#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "capture/autorec_name.h"
#include "capture/capture_win.h"
#include "imageio/image_writers_win.h"
#include "imageio/jpeg_encoder.h"
#include "probe_common.h"
#include "settings/config_file_win.h"
#include "settings/settings.h"
#include "settings/stamped_reads.h"
#include "toolkit/application_win.h"
#include "toolkit/picture_win.h"
#include "toolkit/text_win.h"

namespace bench {

namespace {

using Samples = std::map<std::string, std::vector<double>>;

vistrel::ClockReading Clock() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

// What a capture reads after it, as the program reads it: the file read
// again only once its stamp has changed.
vistrel::settings::StampedReads& CaptureSettings() {
  static vistrel::settings::StampedReads reads(
      vistrel::SettingsFileStamp, [] { return std::make_unique<vistrel::SettingsFile>(); });
  return reads;
}
vistrel::settings::AutoRecordPlan ReadSettings() {
  return vistrel::settings::ReadAutoRecordPlan(CaptureSettings().Refreshed(),
                                               vistrel::DefaultSaveFolder);
}

// The same read from the file every time, as the program read it before.
vistrel::settings::AutoRecordPlan ReadSettingsFromTheFile() {
  vistrel::SettingsFile file;
  return vistrel::settings::ReadAutoRecordPlan(file, vistrel::DefaultSaveFolder);
}

// The profile reads alone: the default folder given, not looked up.
vistrel::settings::AutoRecordPlan ReadProfileOnly(const std::string& folder) {
  vistrel::SettingsFile file;
  return vistrel::settings::ReadAutoRecordPlan(file, [&] { return folder; });
}

// The documents folder by path, without the item list it is turned into and back.
std::string FolderByPath() {
  wchar_t path[MAX_PATH] = L"";
  SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path);
  return vistrel::Utf8(path);
}

// Whether the shell's folder settings changed: the key's last write time.
FILETIME ShellFoldersStamp() {
  FILETIME stamp = {};
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER,
                    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                    0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr, &stamp);
    RegCloseKey(key);
  }
  return stamp;
}

std::string Name(std::string& last) {
  const vistrel::ClockReading date = Clock(), time = Clock();
  last = vistrel::NextAutoRecName(
      date, time, last, Clock, [] { Sleep(1); }, 1000);
  return vistrel::AutoRecPath("C:\\x", last, "jpg");
}

std::string Json(const Samples& samples) {
  std::string json = "{";
  for (const auto& [name, values] : samples)
    json += (json.size() > 1 ? ", \"" : "\"") + name + "\": " + Times(values);
  return json + "}";
}

}  // namespace

int Steps(const Args& args) {
  const int runs = GetInt(args, "runs", 30);
  const int warmup = 2;
  const bool jpeg = Get(args, "format", "jpg") == "jpg";
  const int quality = GetInt(args, "quality", 85);
  const std::string dir = Get(args, "dir", ".");
  const int vk = GetInt(args, "vk", 123);
  vistrel::Capturer capturer;
  capturer.Create();

  // A burst as the program's poll runs one: the key, the modifiers, the grab,
  // the clipboard announce, the settings read after the capture, the file
  // named and queued, the messages sent meanwhile answered.
  Samples burst;
  const vistrel::settings::AutoRecordPlan check = ReadSettings();
  if (check.folder != dir || !check.on) {
    Print("{\"error\": \"the settings do not auto-record into " + dir + "\"}");
    return 2;
  }
  double firstDone = 0;
  for (int i = 0; i < warmup + runs; ++i) {
    const double t0 = Now();
    GetAsyncKeyState(vk);
    const double t1 = Now();
    const vistrel::CaptureMode mode = capturer.ChooseMode();
    const double t2 = Now();
    std::shared_ptr<const vistrel::Picture> capture = capturer.Grab(mode);
    const double t3 = Now();
    capturer.PutOnClipboard(capture,
                            i == 0 ? vistrel::CapturePlace::Press : vistrel::CapturePlace::InBurst);
    if (i == 0) capturer.RenderClipboard();
    const double t4 = Now();
    const vistrel::settings::AutoRecordPlan read = ReadSettings();
    const double t5 = Now();
    capturer.Record(std::move(capture), read);
    const double t6 = Now();
    vistrel::AnswerSentMessages();
    const double t7 = Now();
    if (i == 0) {
      burst["first_clipboard"].push_back(t4 - t3);
      burst["first_capture"].push_back(t7 - t0);
    }
    if (i < warmup) {
      firstDone = t7;
      continue;
    }
    burst["poll"].push_back(t1 - t0);
    burst["modifiers"].push_back(t2 - t1);
    burst["grab"].push_back(t3 - t2);
    burst["clipboard"].push_back(t4 - t3);
    burst["settings"].push_back(t5 - t4);
    burst["record"].push_back(t6 - t5);
    burst["answer"].push_back(t7 - t6);
    burst["interval"].push_back(t7 - t0);
  }
  const double drainStart = Now();
  capturer.EndBurst();
  burst["end_of_burst"].push_back(Now() - drainStart);
  burst["files_per_s"].push_back(1000.0 * runs / (drainStart - firstDone));

  // Each step alone, every one once a round, on the last capture's pixels.
  Samples alone;
  std::shared_ptr<const vistrel::Picture> capture = capturer.Grab(vistrel::CaptureMode::FullScreen);
  const std::string folder = vistrel::DefaultSaveFolder();
  std::string lastStem;
  const auto timed = [&](const char* name, auto body) {
    const double t0 = Now();
    body();
    alone[name].push_back(Now() - t0);
  };
  for (int i = 0; i < runs; ++i) {
    timed("poll", [&] { GetAsyncKeyState(vk); });
    timed("modifiers", [&] { capturer.ChooseMode(); });
    timed("grab", [&] { capture = capturer.Grab(vistrel::CaptureMode::FullScreen); });
    timed("clipboard", [&] { capturer.PutOnClipboard(capture, vistrel::CapturePlace::InBurst); });
    timed("settings", [&] { ReadSettings(); });
    timed("settings_from_the_file", [&] { ReadSettingsFromTheFile(); });
    timed("profile_reads", [&] { ReadProfileOnly(folder); });
    timed("profile_if_changed", [&] {
      vistrel::settings::ReadAutoRecordPlan(CaptureSettings().Refreshed(), [&] { return folder; });
    });
    timed("documents_folder", [&] { vistrel::DefaultSaveFolder(); });
    timed("documents_by_path", [&] { FolderByPath(); });
    timed("shell_folders_stamp", [&] { ShellFoldersStamp(); });
    timed("name", [&] { Name(lastStem); });
    timed("folder_made", [&] { CreateDirectoryW(vistrel::Wide(dir).c_str(), nullptr); });
    timed("answer", [&] { vistrel::AnswerSentMessages(); });
    const auto rowBytes = static_cast<std::ptrdiff_t>(capture->RowBytes());
    const vistrel::JpegSource source{capture->Width(), capture->Height(),
                                     capture->Bits() + rowBytes * (capture->Height() - 1),
                                     -rowBytes, 4};
    timed("encode", [&] { vistrel::EncodeJpeg(source, quality); });
    char name[64];
    std::snprintf(name, sizeof name, "\\alone-%04d.%s", i, jpeg ? "jpg" : "bmp");
    timed("writer", [&] {
      if (jpeg)
        vistrel::JpegWriter(*capture, dir + name, quality);
      else
        vistrel::BmpWriter(*capture, dir + name);
    });
  }
  capturer.EndBurst();
  Print("{\"burst\": " + Json(burst) + ", \"alone\": " + Json(alone) +
        ", \"width\": " + std::to_string(capture->Width()) +
        ", \"height\": " + std::to_string(capture->Height()) + "}");
  return 0;
}

}  // namespace bench
