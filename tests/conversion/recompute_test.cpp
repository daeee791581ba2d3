#include "conversion/recompute.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

// Every expectation here comes from the plain definition of the readings, written again in this
// file without any of the conversion's code: n digits are a 4n-bit two's-complement number, shown
// as a sign and a magnitude and as its 4n-bit pattern; texts that are not digit strings of one to
// eight digits show the fixed outcomes of the failure paths.

namespace conversion {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

std::u16string Widen(const std::string& text) {
  return {text.begin(), text.end()};
}

std::string Printable(std::u16string_view text) {
  std::string out;
  for (const char16_t c : text.substr(0, 60)) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      out += "\\u{" + std::to_string(static_cast<unsigned>(c)) + "}";
    }
  }
  if (text.size() > 60) out += "... (" + std::to_string(text.size()) + " units)";
  return out;
}

int ModelDigit(char16_t c) {
  const std::u16string lower = u"0123456789abcdef";
  const std::u16string upper = u"0123456789ABCDEF";
  for (int i = 0; i < 16; ++i) {
    if (c == lower[static_cast<std::size_t>(i)] || c == upper[static_cast<std::size_t>(i)]) {
      return i;
    }
  }
  return -1;
}

bool ModelIsDigitString(std::u16string_view text) {
  if (text.empty()) return false;
  for (const char16_t c : text) {
    if (ModelDigit(c) < 0) return false;
  }
  return true;
}

// The unsigned value of a digit string, saturated just above 2^32 (enough to tell the cases).
std::uint64_t ModelValue(std::u16string_view digits) {
  std::uint64_t u = 0;
  for (const char16_t c : digits) {
    u = u * 16 + static_cast<std::uint64_t>(ModelDigit(c));
    if (u > (std::uint64_t{1} << 32)) return (std::uint64_t{1} << 32) + 1;
  }
  return u;
}

std::string ModelBinary(std::uint64_t value, int width) {
  std::string out;
  for (int bit = width - 1; bit >= 0; --bit)
    out += ((value >> bit) & 1) != 0 ? '1' : '0';
  return out;
}

std::string ModelHex(std::uint64_t value) {
  std::string out;
  do {
    out.insert(out.begin(), kHexDigits[value % 16]);
    value /= 16;
  } while (value != 0);
  return out;
}

// The readings of a text by the plain definition, for every text.
Readings Model(std::u16string_view text) {
  const std::size_t n = text.size();
  if (n == 0) return {u"", u""};
  if (ModelIsDigitString(text) && n <= 8) {
    const int width = 4 * static_cast<int>(n);
    const std::uint64_t u = ModelValue(text);
    const std::uint64_t modulus = std::uint64_t{1} << width;
    const bool negative = u >= modulus / 2;
    return {negative ? Widen("-" + ModelHex(modulus - u)) : std::u16string(text),
            Widen(ModelBinary(u, width))};
  }
  // Every other text reads as "-0". Its bits: at eight characters, the first digit alone when
  // there is one; longer digit strings below 2^32 show their 31 low bits.
  std::u16string bits;
  if (n == 8 && ModelDigit(text[0]) >= 0) {
    bits = Widen(ModelBinary(static_cast<std::uint64_t>(ModelDigit(text[0])), 4));
  } else if (n > 8 && ModelIsDigitString(text) && ModelValue(text) < (std::uint64_t{1} << 32)) {
    bits = Widen(ModelBinary(ModelValue(text), 31));
  }
  return {u"-0", bits};
}

void ExpectReadings(std::u16string_view text, const Readings& expected) {
  SCOPED_TRACE("input \"" + Printable(text) + "\"");
  const Readings got = Recompute(text);
  EXPECT_EQ(got.signedText, expected.signedText);
  EXPECT_EQ(got.bitText, expected.bitText);
}

void ExpectModel(std::u16string_view text) {
  ExpectReadings(text, Model(text));
}

struct Example {
  const char* name;
  std::u16string text;
  std::u16string signedText;
  std::u16string bitText;
};

// The worked examples, written out in full rather than taken from the model, so that a fault in
// the model cannot hide a fault in the conversion.
TEST(RecomputeTest, Examples) {
  const std::u16string ones32(32, u'1');
  const Example examples[] = {
      // Empty input clears both fields.
      {"empty", u"", u"", u""},
      // One digit, 4 bits.
      {"F", u"F", u"-1", u"1111"},
      {"7 is positive", u"7", u"7", u"0111"},
      {"8 is the top bit", u"8", u"-8", u"1000"},
      {"0", u"0", u"0", u"0000"},
      {"lower-case f", u"f", u"-1", u"1111"},
      // Two digits, 8 bits.
      {"7f keeps its case", u"7f", u"7f", u"01111111"},
      {"80", u"80", u"-80", u"10000000"},
      {"ff", u"ff", u"-1", u"11111111"},
      {"FF", u"FF", u"-1", u"11111111"},
      {"fe", u"fe", u"-2", u"11111110"},
      {"A5", u"A5", u"-5B", u"10100101"},
      // Three and four digits.
      {"FFF", u"FFF", u"-1", u"111111111111"},
      {"7FFF", u"7FFF", u"7FFF", u"0111111111111111"},
      {"8000", u"8000", u"-8000", u"1000000000000000"},
      {"FFFF", u"FFFF", u"-1", u"1111111111111111"},
      {"0080 keeps its zeros", u"0080", u"0080", u"0000000010000000"},
      {"007F", u"007F", u"007F", u"0000000001111111"},
      {"00FF", u"00FF", u"00FF", u"0000000011111111"},
      // Five to seven digits.
      {"FFFFF", u"FFFFF", u"-1", u"11111111111111111111"},
      {"7FFFFFF", u"7FFFFFF", u"7FFFFFF", u"0111111111111111111111111111"},
      {"8000000", u"8000000", u"-8000000", u"1000000000000000000000000000"},
      {"1234567", u"1234567", u"1234567", u"0001001000110100010101100111"},
      // Eight digits, 32 bits.
      {"FFFFFFFF", u"FFFFFFFF", u"-1", ones32},
      {"80000000", u"80000000", u"-80000000", u"1" + std::u16string(31, u'0')},
      {"80000001", u"80000001", u"-7FFFFFFF", u"1" + std::u16string(30, u'0') + u"1"},
      {"7FFFFFFF", u"7FFFFFFF", u"7FFFFFFF", u"0" + std::u16string(31, u'1')},
      {"FFFF0000", u"FFFF0000", u"-10000", std::u16string(16, u'1') + std::u16string(16, u'0')},
      {"00000000", u"00000000", u"00000000", std::u16string(32, u'0')},
      {"00000001", u"00000001", u"00000001", std::u16string(31, u'0') + u"1"},
      {"12345678", u"12345678", u"12345678", u"00010010001101000101011001111000"},
      {"ffffffff lower case", u"ffffffff", u"-1", ones32},
      // Pasted texts that are not digit strings of one to eight digits.
      {"xyz", u"xyz", u"-0", u""},
      {"12G", u"12G", u"-0", u""},
      {"1g", u"1g", u"-0", u""},
      {"1234567G: the first digit's bits", u"1234567G", u"-0", u"0001"},
      {"G1234567: no first digit", u"G1234567", u"-0", u""},
      {"123456789 is 2^32 or more", u"123456789", u"-0", u""},
      {"000000001: 31 low bits", u"000000001", u"-0", std::u16string(30, u'0') + u"1"},
      {"0FFFFFFFF: 31 low bits of all ones", u"0FFFFFFFF", u"-0", std::u16string(31, u'1')},
      {"blank before", u" FF", u"-0", u""},
      {"blank after, eight units", u"1234567 ", u"-0", u"0001"},
  };
  for (const Example& e : examples) {
    SCOPED_TRACE(e.name);
    ExpectReadings(e.text, {e.signedText, e.bitText});
  }
}

TEST(RecomputeTest, NothingIsKeptFromAnEarlierInput) {
  (void)Recompute(u"FFFF");
  ExpectReadings(u"FFF", {u"-1", u"111111111111"});
  (void)Recompute(u"xyz");
  ExpectReadings(u"1", {u"1", u"0001"});
}

std::vector<std::u16string> AllDigitStrings(std::size_t length, const std::u16string& alphabet) {
  std::vector<std::u16string> out{u""};
  for (std::size_t i = 0; i < length; ++i) {
    std::vector<std::u16string> longer;
    longer.reserve(out.size() * alphabet.size());
    for (const auto& prefix : out) {
      for (const char16_t c : alphabet)
        longer.push_back(prefix + c);
    }
    out = std::move(longer);
  }
  return out;
}

TEST(RecomputeTest, EveryShortDigitStringAgreesWithTheDefinition) {
  const std::u16string bothCases = u"0123456789ABCDEFabcdef";
  const std::u16string upper = u"0123456789ABCDEF";
  for (const std::size_t length : {1, 2}) {
    for (const auto& text : AllDigitStrings(length, bothCases))
      ExpectModel(text);
  }
  for (const std::size_t length : {3, 4}) {
    for (const auto& text : AllDigitStrings(length, upper))
      ExpectModel(text);
  }
}

TEST(RecomputeTest, SampledLongerDigitStringsAgreeWithTheDefinition) {
  const std::u16string alphabet = u"0123456789ABCDEFabcdef";
  std::mt19937 random(20261208);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> topDigit(0, 15);
  for (std::size_t length = 5; length <= 8; ++length) {
    for (int sample = 0; sample < 20000; ++sample) {
      std::u16string text;
      // Every third sample fixes the top digit so that both signs and the boundaries 7/8 occur.
      if (sample % 3 == 0) text += static_cast<char16_t>(kHexDigits[topDigit(random)]);
      while (text.size() < length)
        text += alphabet[pick(random)];
      ExpectModel(text);
    }
  }
}

// From five digits on, where the exhaustive sweep above ends.
TEST(RecomputeTest, BoundariesOfEveryLongerWidth) {
  for (std::size_t n = 5; n <= 8; ++n) {
    const std::u16string zeros(n - 1, u'0');
    const std::u16string effs(n - 1, u'F');
    SCOPED_TRACE(testing::Message() << n << " digits");
    ExpectModel(u"7" + effs);   // largest positive
    ExpectModel(u"8" + zeros);  // smallest negative
    ExpectModel(u"F" + effs);   // -1
    ExpectModel(u"0" + zeros);  // zero
    ExpectModel(zeros + u"1");  // one, behind zeros
  }
}

// A text with one character that is not a hexadecimal digit, at every position, for every
// length from 1 to 9.
TEST(RecomputeTest, NonDigitAtEveryPosition) {
  for (const char16_t junk : {u'G', u' ', u'-', u'x', u'\0', u'\uFF26'}) {
    for (std::size_t n = 1; n <= 9; ++n) {
      for (std::size_t at = 0; at < n; ++at) {
        std::u16string text(n, u'9');
        text[at] = junk;
        ExpectModel(text);
      }
    }
  }
}

TEST(RecomputeTest, EightCharacterPastes) {
  const Example examples[] = {
      {"hex first character", u"Fxxxxxxx", u"-0", u"1111"},
      {"lower-case hex first character", u"axxxxxxx", u"-0", u"1010"},
      {"zero first", u"0zzzzzzz", u"-0", u"0000"},
      {"digits then a blank", u"8000000 ", u"-0", u"1000"},
      {"non-hex first character", u"xFFFFFFF", u"-0", u""},
      {"blank first", u" FFFFFFF", u"-0", u""},
      {"high surrogate first",
       u"\U0001F600"
       u"123456",
       u"-0", u""},
      {"fullwidth F first",
       u"\uFF26"
       u"1234567",
       u"-0", u""},
  };
  for (const Example& e : examples) {
    SCOPED_TRACE(e.name);
    ExpectReadings(e.text, {e.signedText, e.bitText});
  }
}

TEST(RecomputeTest, LongDigitStringsAroundTwoToThe32) {
  for (std::size_t n = 9; n <= 40; ++n) {
    SCOPED_TRACE(testing::Message() << n << " digits");
    const std::u16string zeros(n - 8, u'0');
    ExpectModel(zeros + u"FFFFFFFF");                 // 2^32 - 1: 31 ones
    ExpectModel(zeros + u"80000000");                 // 2^31: 31 zeros
    ExpectModel(zeros + u"7FFFFFFF");                 // 2^31 - 1: 31 ones
    ExpectModel(zeros.substr(1) + u"100000000");      // 2^32: nothing
    ExpectModel(std::u16string(n - 1, u'0') + u"1");  // 1
    ExpectModel(std::u16string(n, u'F'));             // far above
  }
  ExpectReadings(std::u16string(9, u'0') + u"FFFFFFFF", {u"-0", std::u16string(31, u'1')});
  ExpectReadings(std::u16string(9, u'0') + u"100000000", {u"-0", u""});
}

// A paste longer than any 16-bit count.
TEST(RecomputeTest, PasteOfManyUnits) {
  const std::size_t n = 1 << 20;
  const std::u16string ones = std::u16string(n - 1, u'0') + u"1";
  ExpectReadings(ones, {u"-0", std::u16string(30, u'0') + u"1"});
  ExpectReadings(std::u16string(n - 8, u'0') + u"DEADBEEF",
                 {u"-0", Widen(ModelBinary(0xDEADBEEF, 31))});
  ExpectReadings(std::u16string(n, u'F'), {u"-0", u""});
  ExpectReadings(std::u16string(n, u'z'), {u"-0", u""});
  ExpectReadings(u"F" + std::u16string(n - 1, u'\0'), {u"-0", u""});
}

TEST(RecomputeTest, UnusualCodeUnits) {
  const Example examples[] = {
      {"NUL alone", std::u16string(1, u'\0'), u"-0", u""},
      {"digit and NUL", std::u16string(u"7\0", 2), u"-0", u""},
      {"fullwidth FF", u"\uFF26\uFF26", u"-0", u""},
      {"fullwidth 1", u"\uFF11", u"-0", u""},
      {"a character beyond the BMP is two units", u"\U0001F600", u"-0", u""},
      {"lone high surrogate", u"\xD800", u"-0", u""},
      {"lone low surrogate", u"\xDC00", u"-0", u""},
      {"digit then lone surrogate", u"A\xDBFF", u"-0", u""},
      {"Arabic-Indic digit", u"\u0661", u"-0", u""},
      {"line break", u"F\n", u"-0", u""},
  };
  for (const Example& e : examples) {
    SCOPED_TRACE(e.name);
    ExpectReadings(e.text, {e.signedText, e.bitText});
  }
}

}  // namespace
}  // namespace conversion
