#include "capture/autorec_win.h"

#include "settings/config_file_win.h"
#include "settings/settings_keys.h"
#include "toolkit/picture_win.h"

namespace vistrel {

AutoRecSettings ReadAutoRecSettings() {
  ConfigFile config;
  AutoRecSettings s;
  s.autoRec = config.ReadValue(settings::kSection, "autoRec", settings::kNo);
  s.format = config.ReadValue(settings::kSection, "autoRecFormat", settings::kBmp);
  s.folder = config.ReadValue(settings::kSection, settings::kSaveFilePath, DefaultSaveFolder());
  s.compression = config.ReadValue(settings::kSection, settings::kCompression,
                                   settings::kDefaultCompression);
  return s;
}

void AutoRecord(const Picture&, const AutoRecSettings&) {
  // Writing the file comes with the image writers.
}

}  // namespace vistrel
