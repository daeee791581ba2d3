#include "conversion/hex_value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>
#include <string>

namespace conversion {
namespace {

std::string Narrow(std::u16string_view text) {
  std::string out;
  for (const char16_t c : text) {
    out += c < 0x80 ? static_cast<char>(c) : '?';
  }
  return out;
}

constexpr double kTwo31 = 2147483648.0;
constexpr double kTwo32 = 4294967296.0;

struct ParseCase {
  const char* name;
  std::u16string text;
  Fault fault;
  double value;
};

TEST(ParseHexTest, Table) {
  const ParseCase cases[] = {
      // Valid digit strings.
      {"one digit", u"7", Fault::None, 7},
      {"lower and upper case are equal (lower)", u"ff", Fault::None, 255},
      {"lower and upper case are equal (upper)", u"FF", Fault::None, 255},
      {"mixed case", u"aBcD", Fault::None, 0xABCD},
      {"four digits", u"FFFF", Fault::None, 65535},
      {"digits 0 to 7", u"01234567", Fault::None, 0x1234567},
      {"digits 8 to F, top bit set", u"89ABCDEF", Fault::None, 0x89ABCDEF - kTwo32},
      {"largest positive", u"7FFFFFFF", Fault::None, 2147483647},
      {"2^31 is read as the 32-bit pattern", u"80000000", Fault::None, -kTwo31},
      {"all ones is -1", u"FFFFFFFF", Fault::None, -1},
      {"leading zeros do not count", u"000000001", Fault::None, 1},
      {"2^32 - 1 behind many zeros", u"0000000000000000FFFFFFFF", Fault::None, -1},
      {"zero behind many zeros", std::u16string(300, u'0'), Fault::None, 0},
      // Invalid texts.
      {"empty", u"", Fault::TypeMismatch, 0},
      {"letter past F", u"1G", Fault::TypeMismatch, 0},
      {"letter past f", u"1g", Fault::TypeMismatch, 0},
      {"blank before", u" FF", Fault::TypeMismatch, 0},
      {"blank after", u"FF ", Fault::TypeMismatch, 0},
      {"blank inside", u"F F", Fault::TypeMismatch, 0},
      {"prefix", u"0x1F", Fault::TypeMismatch, 0},
      {"sign", u"-1", Fault::TypeMismatch, 0},
      {"NUL",
       std::u16string(u"1\0"
                      "2",
                      3),
       Fault::TypeMismatch, 0},
      {"fullwidth digits", u"\uFF26\uFF26", Fault::TypeMismatch, 0},
      {"lone high surrogate", u"\xD83D", Fault::TypeMismatch, 0},
      {"character beyond the BMP", u"\U0001F600", Fault::TypeMismatch, 0},
      // Out of range.
      {"2^32", u"100000000", Fault::Overflow, 0},
      {"2^32 behind leading zeros", u"000100000000", Fault::Overflow, 0},
      {"40 digits", std::u16string(40, u'F'), Fault::Overflow, 0},
      {"the first fault met is reported: overflow before junk", u"123456789G", Fault::Overflow, 0},
      {"the first fault met is reported: junk before overflow", u"G123456789", Fault::TypeMismatch,
       0},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name << ": \"" << Narrow(c.text) << "\"");
    const Outcome<Double> got = ParseHex(c.text);
    EXPECT_EQ(got.fault, c.fault);
    if (c.fault == Fault::None) EXPECT_EQ(got.value, c.value);
  }
}

struct RoundCase {
  const char* name;
  double x;
  Fault fault;
  Long value;
};

TEST(RoundToLongTest, Table) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const RoundCase cases[] = {
      // Nearest integer.
      {"integer", 5, Fault::None, 5},
      {"below a half", 2.4, Fault::None, 2},
      {"above a half", 2.6, Fault::None, 3},
      {"negative above a half", -2.6, Fault::None, -3},
      // Ties go to the even neighbour.
      {"tie up to even", 127.5, Fault::None, 128},
      {"tie down to even", 2.5, Fault::None, 2},
      {"tie 7.5", 7.5, Fault::None, 8},
      {"tie 32767.5", 32767.5, Fault::None, 32768},
      {"tie -0.5 gives 0", -0.5, Fault::None, 0},
      {"tie 0.5 gives 0", 0.5, Fault::None, 0},
      {"tie -1.5", -1.5, Fault::None, -2},
      {"tie -2.5", -2.5, Fault::None, -2},
      {"nearly a tie stays nearest", 2.5000000000000004, Fault::None, 3},
      {"half of 2^28 - 1", 134217727.5, Fault::None, 134217728},
      // Range edges.
      {"largest Long", 2147483647, Fault::None, 2147483647},
      {"smallest Long", -kTwo31, Fault::None, INT32_MIN},
      {"2147483646.5 ties to even inside", 2147483646.5, Fault::None, 2147483646},
      {"2147483647.5 ties to 2^31, out of range", 2147483647.5, Fault::Overflow, 0},
      {"2^31", kTwo31, Fault::Overflow, 0},
      {"-2147483648.5 ties to even inside", -2147483648.5, Fault::None, INT32_MIN},
      {"-2147483649", -2147483649.0, Fault::Overflow, 0},
      {"-2147483648.6", -2147483648.6, Fault::Overflow, 0},
      {"huge", 1e300, Fault::Overflow, 0},
      {"infinity", inf, Fault::Overflow, 0},
      {"not a number", nan, Fault::Overflow, 0},
  };
  for (const RoundCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome<Long> got = RoundToLong(c.x);
    EXPECT_EQ(got.fault, c.fault);
    if (c.fault == Fault::None) EXPECT_EQ(got.value, c.value);
  }
}

TEST(RoundToLongTest, FailedOperandPassesItsFaultOn) {
  EXPECT_EQ(RoundToLong(ParseHex(u"x")).fault, Fault::TypeMismatch);
  EXPECT_EQ(RoundToLong(ParseHex(u"100000000")).fault, Fault::Overflow);
  EXPECT_EQ(RoundToLong(ParseHex(u"FFFFFFFF")).value, -1);
}

// A row of the operation tables: what an operation gave, and the fault and value it should give
// (the value only counts when there is no fault).
template <class T>
struct OutcomeCase {
  const char* name;
  Outcome<T> got;
  Fault fault;
  T value;
};

template <class T, std::size_t N>
void ExpectOutcomes(const OutcomeCase<T> (&cases)[N]) {
  for (const OutcomeCase<T>& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.got.fault, c.fault);
    if (c.fault == Fault::None) EXPECT_EQ(c.got.value, c.value);
  }
}

TEST(FormatHexTest, Table) {
  const std::optional<Long> empty;
  const OutcomeCase<std::u16string> cases[] = {
      // Non-negative Longs and Doubles.
      {"empty variable", FormatHex(OrZero(empty)), Fault::None, u"0"},
      {"Long zero", FormatHex(Long{0}), Fault::None, u"0"},
      {"Double zero", FormatHex(0.0), Fault::None, u"0"},
      {"Double one", FormatHex(1.0), Fault::None, u"1"},
      {"no leading zeros, upper case", FormatHex(Long{255}), Fault::None, u"FF"},
      {"32768", FormatHex(32768.0), Fault::None, u"8000"},
      {"largest Long", FormatHex(Long{INT32_MAX}), Fault::None, u"7FFFFFFF"},
      {"Double rounded first", FormatHex(15.5), Fault::None, u"10"},
      // Negatives are the 32-bit pattern.
      {"-1", FormatHex(Long{-1}), Fault::None, u"FFFFFFFF"},
      {"-32767", FormatHex(Long{-32767}), Fault::None, u"FFFF8001"},
      {"smallest Long", FormatHex(Long{INT32_MIN}), Fault::None, u"80000000"},
      {"negative Double", FormatHex(-16.0), Fault::None, u"FFFFFFF0"},
      // Failures.
      {"Double out of range", FormatHex(kTwo31), Fault::Overflow, u""},
      {"failed operand", FormatHex(ParseHex(u"G")), Fault::TypeMismatch, u""},
  };
  ExpectOutcomes(cases);
}

TEST(LongOperationsTest, Table) {
  const OutcomeCase<Long> cases[] = {
      // And and Not.
      {"And of Longs", And(Long{255}, Long{128}), Fault::None, 128},
      {"And with a Double rounded first", And(-1.0, Long{8}), Fault::None, 8},
      {"And of negative patterns", And(Long{-256}, Long{0xFFFF}), Fault::None, 0xFF00},
      {"And fails on a Double out of range", And(kTwo31, Long{1}), Fault::Overflow, 0},
      {"And passes a failed first operand on", And(ParseHex(u"x"), RoundToLong(kTwo31)),
       Fault::TypeMismatch, 0},
      {"And passes a failed second operand on", And(Long{1}, RoundToLong(kTwo31)), Fault::Overflow,
       0},
      {"Not of 0", Not(Long{0}), Fault::None, -1},
      {"Not of 255", Not(Long{255}), Fault::None, -256},
      {"Not of the smallest Long", Not(Long{INT32_MIN}), Fault::None, INT32_MAX},
      {"Not of a failed operand", Not(ParseHex(u"")), Fault::TypeMismatch, 0},
      // The Long addition.
      {"sum", AddLong(Long{2}, Long{3}), Fault::None, 5},
      {"up to the largest Long", AddLong(Long{2147483646}, Long{1}), Fault::None, INT32_MAX},
      {"past the largest Long", AddLong(Long{INT32_MAX}, Long{1}), Fault::Overflow, 0},
      {"past the smallest Long", AddLong(Long{INT32_MIN}, Long{-1}), Fault::Overflow, 0},
      {"failed operand", AddLong(RoundToLong(1e12), Long{1}), Fault::Overflow, 0},
  };
  ExpectOutcomes(cases);
}

TEST(DoubleOperationsTest, Table) {
  const double max = std::numeric_limits<double>::max();
  const double twoTo1023 = std::ldexp(1.0, 1023);
  const OutcomeCase<Double> cases[] = {
      // Powers of two.
      {"2^0", PowerOfTwo(0), Fault::None, 1},
      {"2^1", PowerOfTwo(1), Fault::None, 2},
      {"2^31", PowerOfTwo(31), Fault::None, kTwo31},
      {"2^-1", PowerOfTwo(-1), Fault::None, 0.5},
      {"2^1023", PowerOfTwo(1023), Fault::None, twoTo1023},
      {"2^-1074, the smallest subnormal", PowerOfTwo(-1074), Fault::None, std::ldexp(1.0, -1074)},
      {"2^-1030, subnormal", PowerOfTwo(-1030), Fault::None, std::ldexp(1.0, -1030)},
      {"2^-1075 underflows to 0", PowerOfTwo(-1075), Fault::None, 0},
      {"2^1024 overflows", PowerOfTwo(1024), Fault::Overflow, 0},
      {"2^32767 overflows", PowerOfTwo(32767), Fault::Overflow, 0},
      // Division.
      {"mask halved", Divide(255.0, PowerOfTwo(1)), Fault::None, 127.5},
      {"a Long bit over its power", Divide(Long{128}, PowerOfTwo(7)), Fault::None, 1},
      {"by zero", Divide(1.0, 0.0), Fault::Overflow, 0},
      {"past the Double range", Divide(max, 0.5), Fault::Overflow, 0},
      {"failed dividend", Divide(ParseHex(u"fffffffff"), PowerOfTwo(1)), Fault::Overflow, 0},
      // Doubling the bit mask.
      {"doubling", AddDouble(4.0, 4.0), Fault::None, 8},
      {"doubling up to 2^1023", AddDouble(twoTo1023 / 2, twoTo1023 / 2), Fault::None, twoTo1023},
      {"doubling past 2^1023", AddDouble(twoTo1023, twoTo1023), Fault::Overflow, 0},
  };
  ExpectOutcomes(cases);
}

}  // namespace
}  // namespace conversion
