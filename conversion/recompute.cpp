#include "conversion/recompute.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "conversion/hex_value.h"

// One recompute handles the empty text, then works out the signed reading, then the bit pattern,
// under the resume-next rule: a step in which an operation fails is abandoned (any assignment it
// would have made is not made), a failing test counts as true, and execution goes on with the
// step that follows. The comments say what each step does.
//
// Two things are computed once instead of once per use, since they are pure functions of the
// input: ParseHex(T) and ParseHex(mask). Loops stop as soon as every pass left can only fail.

namespace conversion {
namespace {

// ParseHex overflows at nine "f" already, so mask passes beyond the ninth cannot change what the
// mask is read as; building the mask stops there. This also keeps a pasted megabyte from building
// a megabyte mask.
constexpr std::size_t kMaskDigitsThatMatter = 9;

constexpr std::size_t kEightDigits = 8;

// A negative reading: "-" followed by its magnitude.
std::u16string Negative(std::u16string magnitude) {
  magnitude.insert(magnitude.begin(), u'-');
  return magnitude;
}

// One pass of bit extraction after another, over the digit string D whose value is `d`, for the
// counter j from 1 to `passes`, each putting its bit text in front of `into` (empty at the start)
// and doubling the mask `m`. A pass fails when ParseHex(D) failed or when m is 2^31 or more
// (RoundToLong(m) overflows); a failed pass puts nothing in front, but m still doubles. Since m
// only grows, the first pass whose m overflows ends the loop: every pass after it fails the same
// way.
void ExtractBits(const Outcome<Double>& d, std::size_t passes, Double& m, std::u16string& into) {
  // The bit texts are gathered back to front and turned round once at the end: the same text as
  // prepending each in turn, without moving the text on every pass.
  const Outcome<Long> value = RoundToLong(d);
  // With ParseHex(D) failed every pass fails; the m they would leave behind is never read (it is
  // set to 1 again before the first digit's bits, and nothing reads it after the last loop).
  if (!value) return;
  for (std::size_t j = 1; j <= passes; ++j) {
    const Outcome<Long> mask = RoundToLong(m);
    if (!mask) break;
    const auto shift = static_cast<Integer>(j - 1);  // at most 30: m reaches 2^31 at j = 32
    if (const auto bit = FormatHex(Divide(And(value.value, mask.value), PowerOfTwo(shift)))) {
      for (auto c = bit.value.rbegin(); c != bit.value.rend(); ++c) {
        into.push_back(*c);
      }
    }
    if (const auto doubled = AddDouble(m, m)) m = doubled.value;
  }
  std::reverse(into.begin(), into.end());
}

// At eight digits the width is 32 bits; 2^32 - 1 and 2^31 are outside the Long range, so the
// reading is defined directly: with u the unsigned value of the digits, negative from 2^31 on,
// and then "-" followed by 2^32 - u. This takes the place of the top-bit test and the magnitude.
std::u16string EightDigitReading(std::u16string_view t, const Outcome<Double>& digits) {
  if (!digits) return u"-0";  // As the failing top-bit test and magnitude would show it.
  const auto u = std::bit_cast<std::uint32_t>(static_cast<Long>(digits.value));
  if (u < (std::uint32_t{1} << 31)) return std::u16string(t);
  // 2^32 - u is at most 2^31, whose Long pattern FormatHex writes as "80000000", as it should.
  const std::uint32_t magnitude = 0u - u;
  return Negative(FormatHex(std::bit_cast<Long>(magnitude)).value);
}

std::u16string SignedReading(std::u16string_view t, const Outcome<Double>& digits) {
  const std::size_t n = t.size();

  // The mask: as many letters "f" as there are characters, all bits of the width set.
  std::u16string mask;
  for (std::size_t pass = 1; pass <= n && pass <= kMaskDigitsThatMatter; ++pass)
    mask += u'f';

  if (n == kEightDigits) return EightDigitReading(t, digits);
  const Outcome<Double> maskValue = ParseHex(mask);

  // half = RoundToLong(ParseHex(mask) / 2): the value of the width's top bit.
  std::optional<Long> half;
  if (const auto value = RoundToLong(Divide(maskValue, PowerOfTwo(1)))) half = value.value;

  // Is the top bit set, that is, is the reading negative? A failing test counts as true.
  const Outcome<Long> topBit = And(digits, OrZero(half));
  if (!topBit || topBit.value == OrZero(half)) {
    // neg = And(Not(T), mask) + 1, the magnitude of a negative reading; it stays empty, shown
    // as 0, when T or the mask cannot be read.
    std::optional<Long> neg;
    const auto magnitude = AddLong(And(Not(RoundToLong(digits)), RoundToLong(maskValue)), Long{1});
    if (magnitude) neg = magnitude.value;

    // The negative reading: "-" and the magnitude; FormatHex of a Long cannot fail.
    return Negative(FormatHex(OrZero(neg)).value);
  }

  // A non-negative reading is the input itself, case and leading zeros kept.
  return std::u16string(t);
}

std::u16string BitPattern(std::u16string_view t, const Outcome<Double>& digits) {
  const std::size_t n = t.size();

  // The mask of the lowest bit; each pass of bit extraction doubles it.
  Double m = 1;
  std::u16string bits;

  // Eight digits are 32 bits, whose top bit no Long mask reaches: they go in two parts.
  if (n == kEightDigits) {
    // The 28 low bits of the 32-bit pattern, from all eight digits.
    bits.reserve(32);  // with room for the first digit's four bits
    ExtractBits(digits, 4 * (n - 1), m, bits);

    // The first digit's bits start again at the mask of the lowest bit.
    m = 1;

    // The four bits of the first digit alone: a single-bit mask for bit 31 would not be a Long.
    std::u16string hi;
    ExtractBits(ParseHex(t.substr(0, 1)), 4, m, hi);

    // The first digit's bits go in front of the 28 low bits: 32 in all.
    bits.insert(0, hi);
  } else {
    // Any other length: four bits per character, over the whole text.
    ExtractBits(digits, 4 * n, m, bits);
  }

  return bits;
}

}  // namespace

Readings Recompute(std::u16string_view text) {
  // An empty signedHEX empties both result fields, and nothing else is computed.
  if (text.empty()) {
    return {u"", u""};
  }

  const Outcome<Double> digits = ParseHex(text);
  Readings readings;
  readings.signedText = SignedReading(text, digits);
  readings.bitText = BitPattern(text, digits);
  return readings;
}

}  // namespace conversion
