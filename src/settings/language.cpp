#include "settings/language.h"

#include <exception>
#include <optional>
#include <string>

#include "errors/error_report.h"
#include "errors/failure.h"
#include "errors/procedure.h"
#include "platform/encoding.h"
#include "platform/paths.h"
#include "settings/ini_access.h"

namespace velnor {

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

// The texts the language file lacks, written together once every control had its turn,
// so that the file grows by all of them or none.
using TextWrites = std::vector<ProfileEntry>;

void ApplyCaption(Control& control, const std::string& lang, const std::string& file,
                  const std::string& key, TextWrites& writes) {
  const std::string caption = LoadIniString(lang, key, file, kAnyMode, kQuietIfMissing);
  if (HasText(caption)) {
    control.SetCaption(caption);
  } else if (lang != kDesignLanguage) {
    writes.push_back({lang, key, kNoText});
  } else {
    writes.push_back({lang, key, control.Caption()});
  }
}

void LoadHelpText(const Control& control, const std::string& lang, const std::string& file,
                  HelpTextTable& helpTexts, TextWrites& writes) {
  const int helpId = control.WhatsThisHelpID();
  if (helpId == 0) return;
  if (helpId < 1 || helpId > static_cast<int>(helpTexts.size())) {
    Raise(failure_number::kSubscriptOutOfRange,
          "Help id " + std::to_string(helpId) + " of control '" + control.Name() +
              "' lies outside 1 to " + std::to_string(helpTexts.size()));
  }
  const std::string key = "Help" + std::to_string(helpId);
  std::string& text = helpTexts[static_cast<std::size_t>(helpId - 1)];
  text = LoadIniString(lang, key, file, kAnyMode, kQuietIfMissing);
  if (!HasText(text)) writes.push_back({lang, key, kNoText});
}

void ApplyToolTip(Control& control, const std::string& lang, const std::string& file,
                  const std::string& key, TextWrites& writes) {
  if (FindIgnoringCase(control.Tag(), "NOTTT") != std::string::npos) return;
  const std::string toolTip = LoadIniString(lang, key, file, kAnyMode, kQuietIfMissing);
  if (HasText(toolTip)) {
    control.SetToolTipText(toolTip);
  } else {
    writes.push_back({lang, key, kNoText});
  }
}

void ApplyLanguage(const ControlList& controls, std::size_t position, const std::string& lang,
                   const std::string& file, HelpTextTable& helpTexts, TextWrites& writes) {
  Control& control = *controls[position];
  const std::string key = ControlKey(control, IsArrayMember(controls, position));
  if (IsCaptionKind(control)) {
    ApplyCaption(control, lang, file, "Caption_" + key, writes);
    LoadHelpText(control, lang, file, helpTexts, writes);
  }
  ApplyToolTip(control, lang, file, "TTT_" + key, writes);
}

// The current language code; the design language is added to writes when none is set.
std::string LanguageCode(const std::string& file, TextWrites& writes) {
  Procedure proc("GetLanguage");
  std::string code;
  proc.Step([&] { code = LoadIniString("Language", "Language", file, kAnyMode, kQuietIfMissing); });
  proc.Step([&] {
    if (!code.empty()) return;
    writes.push_back({"Language", "Language", kDesignLanguage});
    code = kDesignLanguage;
  });
  return code;
}

void WriteTexts(const TextWrites& writes, const std::string& file,
                const BeforeReplacing& beforeWriting = {}) {
  if (writes.empty()) return;
  const std::vector<std::string> unwritten = SaveIniEntries(writes, file, beforeWriting);
  if (unwritten.empty()) return;
  const std::string keys = Join(unwritten, ", ");
  LogFailure(failure_number::kFileAccessError,
             "The texts " + keys + " could not be written to '" + file + "'", "SaveIni");
}

}  // namespace

std::string LanguageFilePath(const std::string& executableFolder,
                             const std::string& executableBaseName) {
  return JoinPath(executableFolder, executableBaseName + ".ini");
}

std::string GetLanguage(const std::string& languageFile) {
  TextWrites writes;
  const std::string code = LanguageCode(languageFile, writes);
  WriteTexts(writes, languageFile);
  return code;
}

HelpTextTable LoadToolTipTexts(const ControlList& controls, const std::string& file,
                               const BeforeReplacing& beforeWriting) {
  TextWrites writes;
  // A failure before the loop belongs to the caller's handling.
  const std::string lang = LanguageCode(file, writes);
  HelpTextTable helpTexts;
  const std::size_t count = controls.size();
  for (std::size_t position = 0; position < count; ++position) {
    // A control that lacks a property or carries an impossible help id keeps whatever
    // it got so far; the window goes on with the next control, without a message.
    try {
      ApplyLanguage(controls, position, lang, file, helpTexts, writes);
    } catch (const std::exception&) {
    }
  }
  WriteTexts(writes, file, beforeWriting);
  return helpTexts;
}

}  // namespace velnor
