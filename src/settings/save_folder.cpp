#include "settings/save_folder.h"

namespace vistrel {

std::string SaveFolderUnder(std::string_view documentsFolder) {
  return std::string(documentsFolder) + "\\Vistrel";
}

}  // namespace vistrel
