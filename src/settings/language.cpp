#include "settings/language.h"

#include <exception>
#include <optional>
#include <string>

#include "errors/failure.h"
#include "errors/procedure.h"
#include "platform/encoding.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "settings/ini_access.h"

namespace velnor {

std::array<std::string, 100> HelpTexts;

namespace {

constexpr const char* kDesignLanguage = "1031";
constexpr const char* kNoText = "0";

bool HasText(const std::string& value) {
  return !value.empty() && value != kNoText;
}

bool IsCaptionKind(const Control& control) {
  const std::string type = UpperCase(control.TypeName());
  return type == "LABEL" || type == "COMMANDBUTTON" || type == "CHECKBOX";
}

// A control is an array member when another control of the window shares its name.
bool IsArrayMember(const ControlList& controls, std::size_t position) {
  const std::string name = controls[position]->Name();
  for (std::size_t other = 0; other < controls.size(); ++other) {
    if (other != position && controls[other]->Name() == name) return true;
  }
  return false;
}

// name + [array index] + "_" + tag: the part of every key that names the control.
std::string ControlKey(const Control& control, bool arrayMember) {
  std::string key = control.Name();
  if (arrayMember) {
    const std::optional<int> index = control.Index();
    if (!index) {
      Raise(failure_number::kInvalidArgument,
            "Control '" + control.Name() + "' shares its name but has no index");
    }
    key += std::to_string(*index);
  }
  return key + "_" + control.Tag();
}

void ApplyCaption(Control& control, const std::string& lang, const std::string& file,
                  const std::string& key) {
  const std::string caption = LoadIniString(lang, key, file, true, false);
  if (HasText(caption)) {
    control.SetCaption(caption);
  } else if (lang != kDesignLanguage) {
    SaveIni(kNoText, lang, key, file);
  } else {
    SaveIni(control.Caption(), lang, key, file);
  }
}

void LoadHelpText(const Control& control, const std::string& lang, const std::string& file) {
  const int helpId = control.WhatsThisHelpID();
  if (helpId == 0) return;
  if (helpId < 1 || helpId > static_cast<int>(HelpTexts.size())) {
    Raise(failure_number::kSubscriptOutOfRange,
          "Help id " + std::to_string(helpId) + " of control '" + control.Name() +
              "' lies outside 1 to " + std::to_string(HelpTexts.size()));
  }
  const std::string key = "Help" + std::to_string(helpId);
  std::string& text = HelpTexts[static_cast<std::size_t>(helpId - 1)];
  text = LoadIniString(lang, key, file, true, false);
  if (!HasText(text)) SaveIni(kNoText, lang, key, file);
}

void ApplyToolTip(Control& control, const std::string& lang, const std::string& file,
                  const std::string& key) {
  if (FindIgnoringCase(control.Tag(), "NOTTT") != std::string::npos) return;
  const std::string toolTip = LoadIniString(lang, key, file, true, false);
  if (HasText(toolTip)) {
    control.SetToolTipText(toolTip);
  } else {
    SaveIni(kNoText, lang, key, file);
  }
}

void ApplyLanguage(const ControlList& controls, std::size_t position, const std::string& lang,
                   const std::string& file) {
  Control& control = *controls[position];
  const std::string key = ControlKey(control, IsArrayMember(controls, position));
  if (IsCaptionKind(control)) {
    ApplyCaption(control, lang, file, "Caption_" + key);
    LoadHelpText(control, lang, file);
  }
  ApplyToolTip(control, lang, file, "TTT_" + key);
}

}  // namespace

std::string LanguageFilePath() {
  return JoinPath(Process().executableFolder, Process().executableBaseName + ".ini");
}

std::string GetLanguage() {
  Procedure proc("GetLanguage");
  std::string code;
  proc.Step([&] { code = LoadIniString("Language", "Language", LanguageFilePath(), true, false); });
  proc.Step([&] {
    if (!code.empty()) return;
    SaveIni(kDesignLanguage, "Language", "Language", LanguageFilePath());
    code = kDesignLanguage;
  });
  return code;
}

void LoadToolTipTexts(const ControlList& controls) {
  // A failure before the loop belongs to the caller's handling.
  const std::string lang = GetLanguage();
  const std::string file = LanguageFilePath();
  const std::size_t count = controls.size();
  for (std::size_t position = 0; position < count; ++position) {
    // A control that lacks a property or carries an impossible help id keeps whatever
    // it got so far; the window goes on with the next control, without a message.
    try {
      ApplyLanguage(controls, position, lang, file);
    } catch (const std::exception&) {
    }
  }
}

}  // namespace velnor
