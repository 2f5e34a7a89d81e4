#pragma once
#include <string>
#include <string_view>

namespace vistrel {

// The default auto-record folder below a documents folder: "<documents>\Vistrel".
std::string SaveFolderUnder(std::string_view documentsFolder);

}  // namespace vistrel
