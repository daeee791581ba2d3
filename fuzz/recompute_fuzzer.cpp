// Feeds arbitrary UTF-16 texts (the input bytes read as little-endian code units) to Recompute and
// checks what must hold for every input, whatever it is.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "conversion/recompute.h"

namespace {

bool IsHexDigit(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

bool IsDigitString(std::u16string_view text) {
  if (text.empty()) return false;
  for (const char16_t c : text) {
    if (!IsHexDigit(c)) return false;
  }
  return true;
}

// "-" and one to eight upper-case hexadecimal digits without leading zeros ("-0" apart).
bool IsSignAndMagnitude(std::u16string_view text) {
  if (text.size() < 2 || text.size() > 9 || text[0] != u'-') return false;
  const std::u16string_view magnitude = text.substr(1);
  if (magnitude.size() > 1 && magnitude[0] == u'0') return false;
  for (const char16_t c : magnitude) {
    if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'))) return false;
  }
  return true;
}

bool IsBits(std::u16string_view text) {
  for (const char16_t c : text) {
    if (c != u'0' && c != u'1') return false;
  }
  return true;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string text;
  text.reserve(size / 2);
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  }
  const std::size_t n = text.size();
  const conversion::Readings readings = conversion::Recompute(text);
  const std::u16string& s = readings.signedText;
  const std::u16string& bits = readings.bitText;
  const bool digits = IsDigitString(text);

  // The signed reading is empty only for the empty text. One to eight digits read as the input
  // itself when the top bit is clear, and as a sign and a non-zero magnitude when it is set; every
  // other text reads as "-0".
  Check(s.empty() == (n == 0));
  if (digits && n <= 8) {
    if (s == text) {
      Check(bits[0] == u'0');
    } else {
      Check(IsSignAndMagnitude(s) && s != u"-0" && bits[0] == u'1');
    }
  } else if (n > 0) {
    Check(s == u"-0");
  }

  // The bit pattern holds only "0" and "1", four per digit up to eight digits; other texts give
  // the first digit's four bits at eight characters, 31 low bits or nothing.
  Check(IsBits(bits));
  if (digits && n <= 8) {
    Check(bits.size() == 4 * n);
  } else if (n == 8) {
    Check(bits.size() == (IsHexDigit(text[0]) ? 4u : 0u));
  } else if (n > 8) {
    Check(bits.empty() || (digits && bits.size() == 31));
  } else {
    Check(bits.empty());
  }

  // The same text always gives the same readings.
  const conversion::Readings again = conversion::Recompute(text);
  Check(again.signedText == s && again.bitText == bits);
  return 0;
}
