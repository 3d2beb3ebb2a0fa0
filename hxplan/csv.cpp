#include "hxplan/csv.h"

#include <utility>

namespace halvex::plan {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kPieceSize = std::size_t{1} << 16;

}  // namespace

CsvReader::CsvReader(std::string_view text) : window_(text) {
  if (window_.substr(0, 3) == kByteOrderMark) at_ = 3;
}

CsvReader::CsvReader(CsvSource source) : source_(std::move(source)) {
  // A mark split over two pieces is left in the text; every source hands
  // over far more than three bytes at a time.
  if (Fill() && window_.substr(0, 3) == kByteOrderMark) at_ = 3;
}

bool CsvReader::Fill() {
  if (!source_) return false;
  buffer_.resize(kPieceSize);
  const std::size_t got = source_(buffer_.data(), buffer_.size());
  window_ = std::string_view(buffer_.data(), got);
  at_ = 0;
  return got > 0;
}

int CsvReader::Peek() {
  if (at_ >= window_.size() && !Fill()) return -1;
  return static_cast<unsigned char>(window_[at_]);
}

bool CsvReader::Next(CsvRecord& record) {
  if (Peek() < 0) return false;
  record.line = line_;
  record.fields.clear();
  record.error.clear();
  std::string field;
  // The rest of an unquoted run up to a separator or line end, taken from
  // the window a piece at a time.
  auto takeRun = [&](std::string* into) {
    while (Peek() >= 0) {
      const std::size_t stop = window_.find_first_of(",\r\n", at_);
      const std::size_t end = stop == std::string_view::npos ? window_.size() : stop;
      if (into != nullptr) into->append(window_.substr(at_, end - at_));
      const bool more = end > at_;
      at_ = end;
      if (stop != std::string_view::npos) return more;
    }
    return false;
  };
  while (true) {
    field.clear();
    if (Peek() == '"') {
      ++at_;
      bool closed = false;
      for (int c; (c = Peek()) >= 0;) {
        ++at_;
        if (c == '"') {
          if (Peek() == '"') {
            field += '"';
            ++at_;
          } else {
            closed = true;
            break;
          }
        } else {
          if (c == '\n' || (c == '\r' && Peek() != '\n')) ++line_;
          field += static_cast<char>(c);
        }
      }
      if (!closed && record.error.empty()) record.error = "a quoted field is not closed";
      while (Peek() == ' ' || Peek() == '\t') ++at_;
      // Anything else between the closing quote and the next separator is
      // text out of place; it is reported, not silently joined to the field.
      if (takeRun(nullptr) && record.error.empty()) record.error = "text after a closing quote";
    } else {
      takeRun(&field);
    }
    record.fields.push_back(field);
    const int next = Peek();
    if (next == ',') {
      ++at_;
      continue;
    }
    if (next >= 0) {  // a line end
      ++at_;
      if (next == '\r' && Peek() == '\n') ++at_;
      ++line_;
    }
    return true;
  }
}

std::vector<CsvRecord> ParseCsv(std::string_view text) {
  std::vector<CsvRecord> records;
  CsvReader reader(text);
  for (CsvRecord record; reader.Next(record);) records.push_back(std::move(record));
  return records;
}

}  // namespace halvex::plan
