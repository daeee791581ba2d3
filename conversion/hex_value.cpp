#include "conversion/hex_value.h"

#include <bit>
#include <cstdint>

namespace conversion {
namespace {

constexpr std::uint64_t kTwoTo31 = std::uint64_t{1} << 31;
constexpr std::uint64_t kTwoTo32 = std::uint64_t{1} << 32;

}  // namespace

Outcome<Double> ParseHex(std::u16string_view digits) {
  if (digits.empty()) return internal::Failed<Double>(Fault::TypeMismatch);
  std::uint64_t u = 0;
  for (const char16_t c : digits) {
    const int digit = DigitValue(c);
    if (digit < 0) return internal::Failed<Double>(Fault::TypeMismatch);
    u = u * 16 + static_cast<std::uint64_t>(digit);
    if (u >= kTwoTo32) return internal::Failed<Double>(Fault::Overflow);
  }
  const auto pattern = static_cast<std::int64_t>(u);
  return {
      static_cast<Double>(u < kTwoTo31 ? pattern : pattern - static_cast<std::int64_t>(kTwoTo32))};
}

namespace internal {

std::u16string FormatLongHex(Long x) {
  constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  const auto pattern = std::bit_cast<std::uint32_t>(x);
  const int count = pattern == 0 ? 1 : (std::bit_width(pattern) + 3) / 4;
  std::u16string text(static_cast<std::size_t>(count), u'0');
  for (int i = 0; i < count; ++i) {
    text[static_cast<std::size_t>(count - 1 - i)] = kDigits[(pattern >> (4 * i)) & 0xF];
  }
  return text;
}

}  // namespace internal
}  // namespace conversion
