// Where hxplan's text goes as it is made: a project's plan leaves room by
// room, so that no project is ever held whole.
#pragma once

#include <string>
#include <string_view>

namespace halvex::plan {

class TextSink {
 public:
  virtual ~TextSink() = default;
  virtual void Write(std::string_view text) = 0;
};

// All of it kept, for tests and small callers.
class StringSink : public TextSink {
 public:
  void Write(std::string_view text) override { text_ += text; }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace halvex::plan
