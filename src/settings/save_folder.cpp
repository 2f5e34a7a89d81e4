#include "settings/save_folder.h"

namespace vistrel {

std::string SaveFolderUnder(std::string_view documentsFolder) {
  return std::string(documentsFolder) + "\\Vistrel";
}

std::string WithoutTrailingSeparator(std::string path) {
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

}  // namespace vistrel
