#include "editor/help_mode.h"

#include "platform/encoding.h"
#include "platform/message_box.h"

namespace velnor {

HelpTextTable WithBuiltInHelp(HelpTextTable helpTexts) {
  struct BuiltIn {
    int id;
    const char* text;
  };
  static constexpr BuiltIn kBuiltIn[] = {
      {1,
       "OK übernimmt die Auswahl:<CRLF>die Datenbank der Komponente wird neu aufgebaut, die "
       "gewählten Schalter und Symbole werden in program.ini gespeichert, dann endet das "
       "Programm."},
      {2,
       "Abbrechen verwirft die Auswahl nach einer Rückfrage:<CRLF>weder die Datenbank noch "
       "program.ini werden geändert."},
  };
  for (const BuiltIn& entry : kBuiltIn) {
    std::string& text = helpTexts[static_cast<std::size_t>(entry.id - 1)];
    if (text.empty() || text == "0") text = entry.text;
  }
  return helpTexts;
}

std::string HelpTextOf(const Control& control, const HelpTextTable& helpTexts) {
  const int id = control.WhatsThisHelpID();
  // A control without help, or with a help id outside the table, has no text; the
  // box is shown empty all the same.
  std::string text;
  if (id >= 1 && id <= static_cast<int>(helpTexts.size())) {
    text = helpTexts[static_cast<std::size_t>(id - 1)];
  }
  static constexpr std::string_view kMarker = "<CRLF>";
  std::string result;
  for (std::size_t pos = FindIgnoringCase(text, kMarker); pos != std::string::npos;
       pos = FindIgnoringCase(text, kMarker)) {
    result += text.substr(0, pos) + "\r\n";
    text.erase(0, pos + kMarker.size());
  }
  return result + text;
}

void ShowHelpText(const Control& control, const HelpTextTable& helpTexts) {
  ShowMessageBox(HelpTextOf(control, helpTexts), kStyleInformation, "Info:");
}

}  // namespace velnor
