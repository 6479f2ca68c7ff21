#include "platform/spin_value.h"

#include <limits>

namespace zinnow {
namespace {

int DigitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9')
    value = c - '0';
  else if (c >= 'a' && c <= 'f')
    value = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    value = c - 'A' + 10;
  return value < base ? value : -1;
}

}  // namespace

std::optional<std::int32_t> ParseSpinInteger(const AnsiString& text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;

  bool negative = false;
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == text.size()) return std::nullopt;  // no digits at all

  // Accumulate the magnitude in 64 bits; past the 32-bit range the text is no such number.
  const std::int64_t limit =
      std::int64_t{std::numeric_limits<std::int32_t>::max()} + (negative ? 1 : 0);
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i], base);
    if (digit < 0) return std::nullopt;
    magnitude = magnitude * base + digit;
    if (magnitude > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::int32_t ReadSpinInteger(const AnsiString& text) {
  return ParseSpinInteger(text).value_or(0);
}

}  // namespace zinnow
