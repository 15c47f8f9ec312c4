#include "projectdb/comparison_keys.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace velnor::db {
namespace {

void AppendBytes(std::string& key, const void* bytes, std::size_t size) {
  key.append(static_cast<const char*>(bytes), size);
}

void AppendSized(std::string& key, char kind, std::string_view bytes, bool fold) {
  key += kind;
  // Folding keeps the byte length of every letter (a stray byte grows by one, the same
  // in every text), so the length is the same for texts that fold alike.
  const auto size = static_cast<std::uint32_t>(bytes.size());
  AppendBytes(key, &size, sizeof size);
  if (fold) {
    AppendFoldedCase(key, bytes);
  } else {
    key.append(bytes);
  }
}

// Appends one value's part of a key; false for null, which equals nothing.
bool AppendValue(std::string& key, const Value& value, bool ignoreCase) {
  switch (value.kind()) {
    case ValueKind::Null:
      return false;
    case ValueKind::Integer: {
      const std::int64_t integer = value.integer();
      key += 'n';
      AppendBytes(key, &integer, sizeof integer);
      return true;
    }
    case ValueKind::Real: {
      const double real = value.real();
      if (std::isnan(real)) return false;
      // A real with a whole value equals the integer of that value.
      if (real == std::floor(real) && real >= -9223372036854775808.0 &&
          real < 9223372036854775808.0) {
        const auto integer = static_cast<std::int64_t>(real);
        key += 'n';
        AppendBytes(key, &integer, sizeof integer);
        return true;
      }
      key += 'r';
      AppendBytes(key, &real, sizeof real);
      return true;
    }
    case ValueKind::Text:
      AppendSized(key, 't', value.text(), ignoreCase);
      return true;
    case ValueKind::Blob:
      AppendSized(key, 'b', value.blob().bytes, false);
      return true;
  }
  return false;
}

}  // namespace

ComparisonKeys::ComparisonKeys(Database& db, std::vector<KeyColumn> columns)
    : db_(db), columns_(std::move(columns)) {
  for (const KeyColumn& column : columns_) affinities_.push_back(AffinityOf(column.declaredType));
}

std::optional<std::string> ComparisonKeys::OfStored(std::span<const Value> values) const {
  std::string key;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!AppendValue(key, values[i], columns_[i].ignoreCase)) return std::nullopt;
  }
  return key;
}

bool ComparisonKeys::NeedsConversion(std::span<const Value> values) const {
  for (std::size_t i = 0; i < values.size(); ++i) {
    const ValueKind kind = values[i].kind();
    switch (affinities_[i]) {
      case Affinity::Text:
        if (kind == ValueKind::Integer || kind == ValueKind::Real) return true;
        break;
      case Affinity::Numeric:
      case Affinity::Integer:
      case Affinity::Real:
        if (kind == ValueKind::Text) return true;
        break;
      case Affinity::Blob:
        break;
    }
  }
  return false;
}

std::optional<std::string> ComparisonKeys::OfCompared(std::span<const Value> values) {
  if (!NeedsConversion(values)) return OfStored(values);
  if (!convert_) {
    // A helper table in memory with the same declared types converts values exactly as
    // the compared columns do; the engine hands the stored values back. Its name is
    // made of the declared types, so that keys of the same types share one table.
    std::string columns;
    std::string parameters;
    std::string types;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      columns += (i > 0 ? ", c" : "c") + std::to_string(i) + " " + columns_[i].declaredType;
      parameters += (i > 0 ? ", ?" : "?") + std::to_string(i + 1);
      types += "(" + columns_[i].declaredType + ")";
    }
    const std::string table = QuoteName("velnor_conversion" + types);
    const std::string doing = db_.Describe("converting values for comparison");
    db_.Execute("CREATE TEMP TABLE IF NOT EXISTS " + table + " (" + columns + ")", doing);
    convert_.emplace(db_, "INSERT INTO temp." + table + " VALUES (" + parameters + ") RETURNING *",
                     doing);
  }
  for (std::size_t i = 0; i < values.size(); ++i)
    convert_->Bind(static_cast<int>(i) + 1, values[i]);
  std::vector<Value> converted;
  if (convert_->Step()) {
    for (std::size_t i = 0; i < values.size(); ++i)
      converted.push_back(convert_->Column(static_cast<int>(i)));
  }
  convert_->Reset();
  if (converted.size() != values.size()) return std::nullopt;
  return OfStored(converted);
}

}  // namespace velnor::db
