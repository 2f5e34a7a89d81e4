#pragma once
#include <string>
#include <string_view>

namespace vistrel {

// The default auto-record folder below a documents folder: "<documents>\Vistrel".
std::string SaveFolderUnder(std::string_view documentsFolder);

// A shell folder path as Windows gives it: no separator at the end except for
// a drive root ("C:\"). Wine adds one to some special folders.
std::string WithoutTrailingSeparator(std::string path);

}  // namespace vistrel
