#include "frontend/text_format.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace kelvry {

std::string format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, fmt, measure);
  va_end(measure);
  std::string text;
  if (length > 0) {
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), fmt, args);
    text.assign(buffer.data(), static_cast<size_t>(length));
  }
  va_end(args);
  return text;
}

std::string orDash(const std::string& text) { return text.empty() ? std::string("-") : text; }

}  // namespace kelvry
