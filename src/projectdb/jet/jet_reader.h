#pragma once
// Reading an Access (Jet 3 or Jet 4) database file into a new SQLite database. The
// reading library is not safe on damaged files (it can hang or read beyond its
// buffers), so this runs only in a converter process of its own: the tool's executable
// started again with kConvertOption (see jet_conversion.h for the side that starts it).
#include <optional>
#include <string>

namespace velnor::jet {

// The hidden option: "<program> --convert-jet-file <jet file> <new SQLite file>".
inline constexpr const char* kConvertOption = "--convert-jet-file";

// What the converter prints before each reason it fails for, so that the reason can be
// told from what the reading library writes to standard error.
inline constexpr const char* kReasonPrefix = "jet-conversion: ";

// Writes every user table of the Jet file, its columns and its rows in stored order,
// into a new SQLite file; indexes, keys, queries and relations are not taken. Returns
// one line per table, "<rows the table's header counts>\t<table name>\n", for the
// caller's check of the result. A failure is a velnor::Failure naming the reason.
std::string ConvertJetFileHere(const std::string& jetPath, const std::string& sqlitePath);

// For main, before anything else: when the arguments ask for a conversion, runs it and
// returns the exit status (0, or 3 with the reason on standard error); otherwise nothing.
std::optional<int> RunJetConverterIfAsked(int argc, char** argv);

}  // namespace velnor::jet
