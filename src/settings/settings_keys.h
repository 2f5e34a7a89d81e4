#pragma once
// Names and defaults of the profile file, section "Settings".

namespace vistrel::settings {

inline constexpr const char* kFileName = "Vistrel.cfg";
inline constexpr const char* kSection = "Settings";

inline constexpr const char* kAutoRec = "AutoRec";
inline constexpr const char* kAutoRecFormat = "AutoRecFormat";
inline constexpr const char* kSaveFilePath = "SaveFilePath";
inline constexpr const char* kCompression = "Compression";
inline constexpr const char* kHotKey = "Vistrel";
inline constexpr const char* kBordBlanc = "BordBlanc";

inline constexpr const char* kYes = "oui";
inline constexpr const char* kNo = "non";
inline constexpr const char* kBmp = "bmp";
inline constexpr const char* kJpg = "jpg";
inline constexpr const char* kDefaultCompression = "100";
inline constexpr const char* kDefaultHotKey = "F12";

}  // namespace vistrel::settings
