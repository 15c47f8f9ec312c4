#pragma once
// A second opinion for the tests: an Access (Jet) file converted into a new SQLite file
// with mdbtools' libmdb reading the catalog, the table definitions, the pages of each
// table and each row's columns. Rows, moved rows, long values, dates and texts are read
// as the tool reads them, since libmdb's own row reading returns moved rows out of their
// stored place and its date texts are wrong outside 1900 to 2099. libmdb is not safe on
// damaged files: only whole files go through this.
#include <string>

namespace velnor::test {

// Returns one line per table, "<rows the table's header counts>\t<table name>\n".
std::string ConvertWithLibmdb(const std::string& jetPath, const std::string& sqlitePath);

}  // namespace velnor::test
