#include "records/password_mask.h"

#include <cctype>
#include <regex>
#include <vector>

namespace kelvry {

namespace {

bool isUri(std::string_view text) {
  return text.starts_with("postgresql://") || text.starts_with("postgres://");
}

// The span [begin, end) of every password in the text.
struct TSpan {
  size_t begin;
  size_t end;
};

std::vector<TSpan> uriPasswords(std::string_view uri) {
  std::vector<TSpan> spans;
  const size_t authority = uri.find("://") + 3;
  const size_t authorityEnd = std::min(uri.find_first_of("/?", authority), uri.size());
  const size_t at = uri.rfind('@', authorityEnd == uri.size() ? std::string_view::npos : authorityEnd);
  if (at != std::string_view::npos && at >= authority) {
    const size_t colon = uri.find(':', authority);
    if (colon != std::string_view::npos && colon < at) spans.push_back({colon + 1, at});
  }
  const size_t query = uri.find('?', authority);
  if (query == std::string_view::npos) return spans;
  size_t parameter = query + 1;
  while (parameter < uri.size()) {
    const size_t end = std::min(uri.find('&', parameter), uri.size());
    const std::string_view pair = uri.substr(parameter, end - parameter);
    if (pair.starts_with("password=")) spans.push_back({parameter + 9, end});
    parameter = end + 1;
  }
  return spans;
}

std::vector<TSpan> keywordPasswords(std::string_view text) {
  static const std::regex password(R"((^|\s)password\s*=\s*('(?:[^'\\]|\\.)*'|[^\s']\S*))");
  std::vector<TSpan> spans;
  const std::string copy(text);
  for (auto match = std::sregex_iterator(copy.begin(), copy.end(), password); match != std::sregex_iterator();
       ++match) {
    const auto value = static_cast<size_t>(match->position(2));
    spans.push_back({value, value + static_cast<size_t>(match->length(2))});
  }
  return spans;
}

std::vector<TSpan> passwordSpans(std::string_view connection) {
  return isUri(connection) ? uriPasswords(connection) : keywordPasswords(connection);
}

std::string percentDecoded(std::string_view text) {
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      plain += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      plain += text[i];
    }
  }
  return plain;
}

std::string unquoted(std::string_view value) {
  if (value.size() < 2 || value.front() != '\'') return std::string(value);
  std::string plain;
  for (size_t i = 1; i + 1 < value.size(); ++i) {
    if (value[i] == '\\' && i + 2 < value.size()) ++i;
    plain += value[i];
  }
  return plain;
}

void replaceAll(std::string& text, const std::string& secret, std::string_view by = kMaskedPassword) {
  if (secret.empty()) return;
  for (size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at + by.size()))
    text.replace(at, secret.size(), by);
}

}  // namespace

std::string maskedConnection(std::string_view connection) {
  std::string masked(connection);
  const auto spans = passwordSpans(connection);
  for (auto span = spans.rbegin(); span != spans.rend(); ++span)
    masked.replace(span->begin, span->end - span->begin, kMaskedPassword);
  return masked;
}

std::string maskedMessage(std::string_view message, std::string_view connection) {
  std::string masked(message);
  replaceAll(masked, std::string(connection), maskedConnection(connection));
  for (const auto& span : passwordSpans(connection)) {
    const std::string_view secret = connection.substr(span.begin, span.end - span.begin);
    replaceAll(masked, std::string(secret));
    replaceAll(masked, isUri(connection) ? percentDecoded(secret) : unquoted(secret));
  }
  return masked;
}

}  // namespace kelvry
