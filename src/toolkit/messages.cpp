#include "toolkit/messages.h"

namespace vistrel {
namespace messages {

std::string ClipboardCannotOpen() { return "Impossible d'ouvrir le Presse-papiers"; }

std::string NotAnInteger(std::string_view text) {
  std::string message = "'";
  message.append(text);
  message += "' n'est pas une valeur entière correcte";
  return message;
}

std::string CannotCreateFile(std::string_view path, std::string_view systemText) {
  return "Impossible de créer le fichier \"" + std::string(path) + "\". " + std::string(systemText);
}

std::string StreamWriteError() { return "Erreur d'écriture dans le flux"; }

std::string CannotAssign(std::string_view from, std::string_view to) {
  return "Impossible d'affecter " + std::string(from) + " à " + std::string(to);
}

std::string JpegError(int messageNumber) { return "Erreur JPEG #" + std::to_string(messageNumber); }

std::string CannotWriteTo(std::string_view fileName) {
  return "Impossible d'écrire dans " + std::string(fileName);
}

std::string SettingsReset() { return "Paramètres réinitialisés."; }

}  // namespace messages

std::string WithFullStop(std::string text) {
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

}  // namespace vistrel
