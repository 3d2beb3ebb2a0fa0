#include "handoff/handoff.h"

#include <algorithm>
#include <vector>

#include "platform/platform.h"

namespace halvex::handoff {

namespace {

constexpr char kCtrlZ = 0x1A;

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20; }

}  // namespace

std::string BuildCommandLine(std::string_view command, const Values& values) {
  std::string line(command);
  line += ' ';
  for (int i = 0; i < kValueCount; ++i) {
    if (i > 0) line += ',';
    line += values[i];
  }
  if (line.size() > kMaxCommandLine) line.resize(kMaxCommandLine);
  return line;
}

std::string ArgumentsOf(std::string_view commandLine, std::string_view command) {
  const std::size_t start = command.size() + 1;
  return start < commandLine.size() ? std::string(commandLine.substr(start)) : std::string();
}

std::string_view ArgumentText(std::string_view commandLine) {
  std::size_t i = 0;
  if (!commandLine.empty() && commandLine[0] == '"') {
    const std::size_t close = commandLine.find('"', 1);
    i = close == std::string_view::npos ? commandLine.size() : close + 1;
  } else {
    while (i < commandLine.size() && commandLine[i] != ' ' && !IsControl(commandLine[i])) ++i;
  }
  while (i < commandLine.size() && commandLine[i] == ' ') ++i;
  return commandLine.substr(i);
}

std::vector<std::string> SplitArguments(std::string_view text) {
  std::vector<std::string> fields;
  if (text.empty()) return fields;
  std::size_t i = 0;
  while (true) {
    while (i < text.size() && text[i] == ' ') ++i;
    std::string field;
    if (i < text.size() && text[i] == '"') {
      const std::size_t close = text.find('"', i + 1);
      const std::size_t end = close == std::string_view::npos ? text.size() : close;
      field = std::string(text.substr(i + 1, end - i - 1));
      i = end;
      while (i < text.size() && text[i] != ',') ++i;
    } else {
      const std::size_t comma = std::min(text.find(',', i), text.size());
      std::size_t end = comma;
      while (end > i && text[end - 1] == ' ') --end;
      field = std::string(text.substr(i, end - i));
      i = comma;
    }
    fields.push_back(std::move(field));
    if (i >= text.size()) break;
    ++i;  // the comma
  }
  return fields;
}

std::string FileBytes(const Values& values) {
  std::string bytes;
  for (const std::string& value : values) {
    bytes += '"';
    bytes += value;
    bytes += "\"\r\n";
  }
  return bytes;
}

namespace {

// The bytes of a file, from memory or read a piece at a time: a reader
// never holds more than one piece of a file.
class ByteSource {
 public:
  explicit ByteSource(std::string_view bytes) : piece_(bytes) {}
  explicit ByteSource(platform::InputFile& file) : file_(&file), buffer_(1 << 16) {}

  bool AtEnd() { return !Fill(); }
  char Peek() { return Fill() ? piece_[pos_] : '\0'; }
  void Advance() { ++pos_; }

 private:
  bool Fill() {
    if (pos_ < piece_.size()) return true;
    if (file_ == nullptr) return false;
    piece_ = std::string_view(buffer_.data(), file_->Read(buffer_.data(), buffer_.size()));
    pos_ = 0;
    if (piece_.empty()) file_ = nullptr;
    return !piece_.empty();
  }

  std::string_view piece_;
  std::size_t pos_ = 0;
  platform::InputFile* file_ = nullptr;
  std::vector<char> buffer_;
};

class ValueReader {
 public:
  explicit ValueReader(ByteSource& bytes) : bytes_(bytes) {}

  std::string Next() {
    while (Peek() == ' ') Advance();
    if (AtEnd() || Peek() == kCtrlZ) return {};
    return Peek() == '"' ? Quoted() : Unquoted();
  }

 private:
  bool AtEnd() { return bytes_.AtEnd(); }
  char Peek() { return bytes_.Peek(); }
  void Advance() { bytes_.Advance(); }

  // An overlong value keeps its first kMaxValueBytes; the rest is read past,
  // so that the values after it still arrive.
  static void Append(std::string& value, char c) {
    if (value.size() < kMaxValueBytes) value += c;
  }

  void ConsumeLineEnd() {
    Advance();  // the CR
    if (Peek() == '\n') Advance();
  }

  std::string Quoted() {
    Advance();
    std::string value;
    while (!AtEnd() && Peek() != '"') {
      Append(value, Peek());
      Advance();
    }
    if (AtEnd()) return value;
    Advance();  // the closing quote
    while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n')) Advance();
    if (Peek() == ',') {
      Advance();
    } else if (Peek() == '\r') {
      ConsumeLineEnd();
    }
    return value;
  }

  std::string Unquoted() {
    std::string value;
    while (!AtEnd()) {
      const char c = Peek();
      if (c == ',') {
        Advance();
        break;
      }
      if (c == '\r') {
        ConsumeLineEnd();
        break;
      }
      if (c == kCtrlZ) break;
      if (c != '\t' && c != '\n') Append(value, c);
      Advance();
    }
    return value;
  }

  ByteSource& bytes_;
};

Values ReadValues(ByteSource& bytes) {
  ValueReader reader(bytes);
  Values values;
  for (std::string& value : values) {
    value = reader.Next();
    // Text ends at a NUL wherever it is shown or passed on; cut it here, so
    // that the command line built from the values is not cut short there.
    value.resize(std::min(value.find('\0'), value.size()));
  }
  return values;
}

}  // namespace

Values ParseFileBytes(std::string_view bytes) {
  ByteSource source(bytes);
  return ReadValues(source);
}

bool WriteFile(const std::string& path, const Values& values, std::string& error) {
  return platform::ReplaceWholeFile(path, FileBytes(values), error);
}

bool ReadFile(const std::string& path, Values& values) {
  values = Values{};
  platform::InputFile file;
  if (!file.Open(path)) return false;
  ByteSource source(file);
  values = ReadValues(source);
  return true;
}

}  // namespace halvex::handoff
