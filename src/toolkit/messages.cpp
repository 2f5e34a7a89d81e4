#include "toolkit/messages.h"

#include <charconv>
#include <cstdint>

#include "toolkit/error.h"

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

int StrToInt(std::string_view text) {
  std::string_view rest = text;
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  bool negative = false;
  if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  const bool digitsOnly =
      !rest.empty() && rest.find_first_not_of("0123456789") == std::string_view::npos;
  while (rest.size() > 1 && rest.front() == '0') rest.remove_prefix(1);
  std::int64_t value = 0;
  if (digitsOnly && rest.size() <= 10)
    std::from_chars(rest.data(), rest.data() + rest.size(), value);
  if (negative) value = -value;
  if (!digitsOnly || rest.size() > 10 || value < INT32_MIN || value > INT32_MAX)
    throw Error(messages::NotAnInteger(text));
  return static_cast<int>(value);
}

}  // namespace vistrel
