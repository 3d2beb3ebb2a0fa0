#include "ui/message_text.h"

namespace halvex::ui {

namespace {

bool EndsWord(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }
bool IsSeparator(char c) { return c == '/' || c == '\\'; }
bool ContinuesCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::string BreakLongWords(std::string_view text, std::size_t width) {
  std::string broken;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start;
    while (end < text.size() && !EndsWord(text[end])) ++end;
    std::string_view word = text.substr(start, end - start);
    while (word.size() > width) {
      std::size_t cut = width;
      for (std::size_t i = width; i > 0; --i) {
        if (IsSeparator(word[i - 1])) {
          cut = i;
          break;
        }
      }
      // Never inside a character of several bytes.
      while (cut > 1 && ContinuesCharacter(word[cut])) --cut;
      broken.append(word.substr(0, cut));
      broken += '\n';
      word.remove_prefix(cut);
    }
    broken.append(word);
    if (end < text.size()) broken += text[end];
    start = end + 1;
  }
  return broken;
}

}  // namespace halvex::ui
