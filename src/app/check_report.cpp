#include "app/check_report.h"

#include <algorithm>
#include <cctype>

#include "app/json_text.h"
#include "platform/encoding.h"

namespace velnor {
namespace {

constexpr const char* kLimitNames[] = {"abs_min", "abs_max", "min", "max", "pass"};

std::string JsonOptional(const std::optional<std::string>& text) {
  return text ? JsonString(*text) : "null";
}

std::string JsonCount(const std::optional<std::int64_t>& count) {
  return count ? JsonNumber(*count) : "null";
}

std::string JsonChanges(const std::vector<SettingChange>& changes) {
  std::string out = "[";
  for (const SettingChange& change : changes) {
    if (out.size() > 1) out += ", ";
    out += "{\"section\": " + JsonString(change.section) + ", \"key\": " + JsonString(change.key) +
           ", \"old\": " + JsonOptional(change.old) + ", \"new\": " + JsonOptional(change.now) +
           "}";
  }
  return out + "]";
}

std::string JsonDropped(const DroppedLimits& row) {
  std::string out = "{\"machine_type\": " + row.machineType + ", \"var_name\": " + row.varName +
                    ", \"offset_or_bitno\": " + row.offsetOrBitNo;
  for (std::size_t k = 0; k < row.limits.size(); ++k) {
    out += ", \"" + std::string(kLimitNames[k]) + "\": " + row.limits[k];
  }
  return out + "}";
}

std::string CountText(const std::optional<std::int64_t>& count) {
  return count ? std::to_string(*count) : "none (no readable table)";
}

std::string ValueText(const std::optional<std::string>& value) {
  return value ? "\"" + *value + "\"" : "(none)";
}

void AppendChanges(std::string& out, const char* title, const std::vector<SettingChange>& changes) {
  out += std::string(title) + ": " +
         (changes.empty() ? "no change" : std::to_string(changes.size()) + " keys change") + "\n";
  for (const SettingChange& change : changes) {
    out += "  [" + change.section + "] " + change.key + ": " + ValueText(change.old) + " -> " +
           ValueText(change.now) + "\n";
  }
}

// The end of a path in a message: a quote, a colon followed by a blank, or a line break.
std::size_t PathEnd(const std::string& message, std::size_t from) {
  std::size_t end = from;
  while (end < message.size()) {
    const char c = message[end];
    if (c == '\'' || c == '"' || c == '\r' || c == '\n') break;
    if (c == ':' && end + 1 < message.size() && message[end + 1] == ' ') break;
    ++end;
  }
  return end;
}

}  // namespace

std::string CheckReportJson(const CheckReport& report) {
  std::string out = "{\"status\": " + std::to_string(report.status) + ", \"problems\": [";
  for (std::size_t i = 0; i < report.problems.size(); ++i) {
    if (i > 0) out += ", ";
    out += "{\"file\": " + JsonString(report.problems[i].file) +
           ", \"message\": " + JsonString(report.problems[i].message) + "}";
  }
  out += "], \"changes\": {\"preset_defs\": {\"rows_before\": " + JsonCount(report.rowsBefore) +
         ", \"rows_after\": " + JsonCount(report.rowsAfter) +
         ", \"limits_carried\": " + std::to_string(report.limitsCarried) +
         ", \"limits_dropped\": [";
  for (std::size_t i = 0; i < report.limitsDropped.size(); ++i) {
    if (i > 0) out += ", ";
    out += JsonDropped(report.limitsDropped[i]);
  }
  out += "]}, \"program_ini\": " + JsonChanges(report.programIni) + ", \"converted\": [";
  for (std::size_t i = 0; i < report.converted.size(); ++i) {
    if (i > 0) out += ", ";
    out += JsonString(report.converted[i]);
  }
  return out + "]}}\n";
}

std::string CheckReportText(const CheckReport& report) {
  std::string out;
  out += report.problems.empty() ? "Problems: none\n" : "Problems:\n";
  for (const CheckProblem& problem : report.problems) {
    out += "  " + (problem.file.empty() ? std::string("(no file)") : problem.file) + "\n    " +
           problem.message + "\n";
  }
  out += "PRESET_DEFS: " + CountText(report.rowsBefore) + " rows now, " +
         CountText(report.rowsAfter) + " after OK; " + std::to_string(report.limitsCarried) +
         " rows keep their limits, " + std::to_string(report.limitsDropped.size()) +
         " rows' limits are dropped\n";
  for (const DroppedLimits& row : report.limitsDropped) {
    out += "  dropped: " + row.machineType + " " + row.varName + " " + row.offsetOrBitNo + ":";
    for (std::size_t k = 0; k < row.limits.size(); ++k) {
      out += std::string(" ") + kLimitNames[k] + "=" + row.limits[k];
    }
    out += "\n";
  }
  AppendChanges(out, "Program.ini", report.programIni);
  AppendChanges(out, "Stamp", report.stamp);
  out += report.converted.empty() ? "Converted from Access: none\n" : "Converted from Access:\n";
  for (const std::string& file : report.converted) out += "  " + file + "\n";
  out += "Exit status of the run: " + std::to_string(report.status) + "\n";
  return out;
}

std::string FileNamedIn(const std::string& message, const std::vector<std::string>& knownFiles,
                        const std::string& baseFolder) {
  const std::string folded = UpperCase(message);
  std::size_t first = std::string::npos;
  std::string found;
  for (const std::string& file : knownFiles) {
    if (file.empty()) continue;
    const std::size_t at = folded.find(UpperCase(file));
    // Of two files named at the same place the longer one is meant ("x.mdb.jet").
    if (at < first || (at == first && at != std::string::npos && file.size() > found.size())) {
      first = at;
      found = file;
    }
  }
  if (!found.empty()) return found;
  if (baseFolder.empty()) return "";
  const std::size_t at = message.find(baseFolder);
  if (at == std::string::npos) return "";
  return message.substr(at, PathEnd(message, at) - at);
}

std::string ReplaceFolder(std::string text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  for (const auto& [needle, replacement] :
       {std::pair{from, to}, std::pair{UpperCase(from), UpperCase(to)}}) {
    for (std::size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + replacement.size())) {
      text.replace(at, needle.size(), replacement);
    }
  }
  return text;
}

}  // namespace velnor
