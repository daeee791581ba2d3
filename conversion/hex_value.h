// The numeric kernel of the conversion: reading a digit string, rounding to a 32-bit integer,
// bitwise And and Not, powers of two, and writing hexadecimal text.
//
// Every operation either yields a value or fails, and a failure is a value that says its kind:
//
//   Fault::TypeMismatch  a text that is not a digit string;
//   Fault::Overflow      a value outside the range of its kind (Long, or a finite Double).
//
// Operations also accept an `Outcome` as operand: a failed operand fails the operation with the
// operand's fault, so an expression such as `And(Not(RoundToLong(x)), y)` fails as soon as any
// part of it fails, and the caller checks once.
//
// Nothing here keeps state, reads the floating-point environment or throws.

#ifndef TOVREL_CONVERSION_HEX_VALUE_H_
#define TOVREL_CONVERSION_HEX_VALUE_H_

#include <bit>
#include <climits>
#include <cmath>
#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace conversion {

// The value kinds. A variable to which no step has yet assigned a value is "empty": it is held as
// a `std::optional` without a value and counts as 0 wherever a number is needed (see `OrZero`).
using Double = double;         // 64-bit IEEE floating point.
using Long = std::int32_t;     // 32-bit two's complement, -2147483648 to 2147483647.
using Integer = std::int16_t;  // 16-bit, the kind of loop counters and loop bounds.

enum class Fault {
  None,
  TypeMismatch,  // The text is empty or holds a character that is not a hexadecimal digit.
  Overflow,      // The value lies outside the range of its kind.
};

// The result of an operation: `value` when `fault` is `Fault::None`, otherwise `value` is
// meaningless (value-initialised) and `fault` says why the operation failed.
template <class T>
struct Outcome {
  T value{};
  Fault fault = Fault::None;

  explicit operator bool() const { return fault == Fault::None; }
};

// OrZero() reads a variable that may still be empty: its value, or 0 when it is empty.
template <class T>
[[nodiscard]] constexpr T OrZero(const std::optional<T>& variable) {
  return variable.value_or(T{});
}

// DigitValue()
//
// The value of the hexadecimal digit `c` (0-9, A-F, a-f; case does not matter), or -1 for any
// other UTF-16 code unit, whatever its low byte.
//   u'7' -> 7, u'b' -> 11, u'F' -> 15, u'g' -> -1, u'\uFF10' (fullwidth zero) -> -1.
[[nodiscard]] constexpr int DigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

// ParseHex()
//
// Reads `digits` as a hexadecimal number: one or more of 0-9, A-F and a-f, no sign, no prefix, no
// blanks anywhere; upper and lower case are equal. With u the unsigned value of the digits, the
// result is u below 2^31 and u - 2^32 from 2^31 on: the digits are a 32-bit two's-complement
// pattern. Leading zeros do not count towards the range.
//   Fault::TypeMismatch  `digits` is empty or holds any other character;
//   Fault::Overflow      u is 2^32 or more.
// Characters are read from left to right and the first fault met is the one reported.
//   "FFFF" -> 65535, "ff" -> 255, "FFFFFFFF" -> -1, "000000001" -> 1, "100000000" -> Overflow.
[[nodiscard]] Outcome<Double> ParseHex(std::u16string_view digits);

// RoundToLong()
//
// Rounds to the nearest integer; an exact tie goes to the even neighbour. Fails with
// Fault::Overflow when the rounded value lies outside the Long range (and for an infinite or
// not-a-number operand).
//   127.5 -> 128, 2.5 -> 2, -0.5 -> 0, 2147483647.5 -> Overflow.
[[nodiscard]] Outcome<Long> RoundToLong(Double x);
[[nodiscard]] Outcome<Long> RoundToLong(const Outcome<Double>& x);

// PowerOfTwo()
//
// 2 raised to `k`, as a Double. Fails with Fault::Overflow when that exceeds the Double range
// (k of 1024 or more).
//   0 -> 1, 31 -> 2147483648, -1 -> 0.5.
[[nodiscard]] Outcome<Double> PowerOfTwo(Integer k);

// An operand of the Long operations (And, Not, AddLong, FormatHex): a Long, or a Double that is
// first converted with RoundToLong (and the operation fails if that fails), or the Outcome of
// either.
template <class T>
concept LongOperand = std::same_as<T, Long> || std::same_as<T, Double> ||
    std::same_as<T, Outcome<Long>> || std::same_as<T, Outcome<Double>>;

// An operand of the Double operations (AddDouble, Divide): a Double, or a Long converted exactly,
// or the Outcome of either.
template <class T>
concept DoubleOperand = LongOperand<T>;

// AddLong()
//
// The Long addition. Fails with Fault::Overflow when the sum leaves the Long range.
//   2147483646 + 1 -> 2147483647, 2147483647 + 1 -> Overflow.
template <LongOperand A, LongOperand B>
[[nodiscard]] Outcome<Long> AddLong(const A& a, const B& b);

// AddDouble()
//
// IEEE addition of Doubles. Fails with Fault::Overflow when the sum is not finite.
//   2^1022 + 2^1022 -> 2^1023, 2^1023 + 2^1023 -> Overflow.
template <DoubleOperand A, DoubleOperand B>
[[nodiscard]] Outcome<Double> AddDouble(const A& a, const B& b);

// Divide()
//
// IEEE division of Doubles. Fails with Fault::Overflow when the quotient is not finite (a zero
// divisor included). The conversion only divides by powers of two, so its quotients are exact.
//   255 / 2 -> 127.5, 128 (a Long) / 128 -> 1.
template <DoubleOperand A, DoubleOperand B>
[[nodiscard]] Outcome<Double> Divide(const A& a, const B& b);

// And()
//
// Bitwise And of two Longs. Fails with the fault of its first failing operand.
//   And(255, 128) -> 128, And(-1.0, 8) -> 8, And(2147483648.0, 1) -> Overflow.
template <LongOperand A, LongOperand B>
[[nodiscard]] Outcome<Long> And(const A& a, const B& b);

// Not()
//
// Bitwise complement of a Long. Fails only when its operand fails.
//   Not(0) -> -1, Not(255) -> -256.
template <LongOperand A>
[[nodiscard]] Outcome<Long> Not(const A& a);

// FormatHex()
//
// Writes a Long in hexadecimal with upper-case letters and without leading zeros, "0" for zero; a
// negative Long is written as its 32-bit two's-complement pattern, always eight digits. At most
// eight digits come out. Fails only when its operand fails. An empty variable is written "0":
// pass `OrZero(variable)`.
//   255 -> "FF", 1.0 -> "1", -1 -> "FFFFFFFF", -32767 -> "FFFF8001", 2147483648.0 -> Overflow.
template <LongOperand A>
[[nodiscard]] Outcome<std::u16string> FormatHex(const A& a);

// End of public API. Implementation details follow. The small operations are defined here, in
// the header, because the bit pattern runs them some thirty times per keystroke.

namespace internal {

template <class T>
constexpr Outcome<T> Failed(Fault fault) {
  return {T{}, fault};
}

[[nodiscard]] std::u16string FormatLongHex(Long x);

}  // namespace internal

inline Outcome<Long> RoundToLong(Double x) {
  // Outside this window no rounding lands in the Long range; a not-a-number fails here too.
  if (!(x > -2147483649.0 && x < 2147483648.0)) return internal::Failed<Long>(Fault::Overflow);
  // Integer arithmetic rather than std::round, which breaks ties away from zero. Truncation and
  // the fraction it leaves are both exact, so the tie test is exact.
  auto rounded = static_cast<std::int64_t>(x);
  const Double fraction = x - static_cast<Double>(rounded);
  if (fraction == 0.0) return {static_cast<Long>(rounded)};  // inside the window: in range
  if (fraction > 0.5 || (fraction == 0.5 && (rounded & 1) != 0)) {
    ++rounded;
  } else if (fraction < -0.5 || (fraction == -0.5 && (rounded & 1) != 0)) {
    --rounded;
  }
  if (rounded < INT32_MIN || rounded > INT32_MAX) return internal::Failed<Long>(Fault::Overflow);
  return {static_cast<Long>(rounded)};
}

inline Outcome<Long> RoundToLong(const Outcome<Double>& x) {
  if (!x) return internal::Failed<Long>(x.fault);
  return RoundToLong(x.value);
}

inline Outcome<Double> PowerOfTwo(Integer k) {
  // Built from its bits rather than with std::ldexp, which may write errno.
  constexpr int kMaxExponent = 1023;
  constexpr int kMinNormalExponent = -1022;
  constexpr int kMinSubnormalExponent = -1074;
  if (k >= kMinNormalExponent && k <= kMaxExponent) {
    return {std::bit_cast<Double>(static_cast<std::uint64_t>(k + kMaxExponent) << 52)};
  }
  if (k > kMaxExponent) return internal::Failed<Double>(Fault::Overflow);
  if (k < kMinSubnormalExponent) return {0.0};
  return {std::bit_cast<Double>(std::uint64_t{1} << (k - kMinSubnormalExponent))};
}

namespace internal {

inline Outcome<Long> ToLong(Long x) {
  return {x};
}
inline Outcome<Long> ToLong(Double x) {
  return RoundToLong(x);
}
inline Outcome<Long> ToLong(const Outcome<Long>& x) {
  return x;
}
inline Outcome<Long> ToLong(const Outcome<Double>& x) {
  return RoundToLong(x);
}

inline Outcome<Double> ToDouble(Long x) {
  return {static_cast<Double>(x)};
}
inline Outcome<Double> ToDouble(Double x) {
  return {x};
}
inline Outcome<Double> ToDouble(const Outcome<Long>& x) {
  if (!x) return Failed<Double>(x.fault);
  return ToDouble(x.value);
}
inline Outcome<Double> ToDouble(const Outcome<Double>& x) {
  return x;
}

}  // namespace internal

namespace internal {

// Applies `op` to the values of two converted operands; the first failed operand fails the whole
// with its fault.
template <class T, class Op>
auto OnValues(const Outcome<T>& x, const Outcome<T>& y, Op op) -> decltype(op(x.value, y.value)) {
  using Result = decltype(op(x.value, y.value));
  if (!x) return Result{{}, x.fault};
  if (!y) return Result{{}, y.fault};
  return op(x.value, y.value);
}

// A Double result, or an overflow where it is not finite.
inline Outcome<Double> FiniteOrOverflow(Double x) {
  if (!std::isfinite(x)) return Failed<Double>(Fault::Overflow);
  return {x};
}

}  // namespace internal

template <LongOperand A, LongOperand B>
[[nodiscard]] Outcome<Long> AddLong(const A& a, const B& b) {
  return internal::OnValues(internal::ToLong(a), internal::ToLong(b),
                            [](Long x, Long y) -> Outcome<Long> {
                              const std::int64_t sum = std::int64_t{x} + std::int64_t{y};
                              if (sum < INT32_MIN || sum > INT32_MAX) {
                                return internal::Failed<Long>(Fault::Overflow);
                              }
                              return {static_cast<Long>(sum)};
                            });
}

template <DoubleOperand A, DoubleOperand B>
[[nodiscard]] Outcome<Double> AddDouble(const A& a, const B& b) {
  return internal::OnValues(internal::ToDouble(a), internal::ToDouble(b),
                            [](Double x, Double y) { return internal::FiniteOrOverflow(x + y); });
}

template <DoubleOperand A, DoubleOperand B>
[[nodiscard]] Outcome<Double> Divide(const A& a, const B& b) {
  // x / 0 is not finite, so a zero divisor fails as an overflow too.
  return internal::OnValues(internal::ToDouble(a), internal::ToDouble(b),
                            [](Double x, Double y) { return internal::FiniteOrOverflow(x / y); });
}

template <LongOperand A, LongOperand B>
[[nodiscard]] Outcome<Long> And(const A& a, const B& b) {
  return internal::OnValues(internal::ToLong(a), internal::ToLong(b),
                            [](Long x, Long y) -> Outcome<Long> { return {x & y}; });
}

template <LongOperand A>
[[nodiscard]] Outcome<Long> Not(const A& a) {
  const Outcome<Long> x = internal::ToLong(a);
  if (!x) return x;
  return {static_cast<Long>(~x.value)};
}

template <LongOperand A>
[[nodiscard]] Outcome<std::u16string> FormatHex(const A& a) {
  const Outcome<Long> x = internal::ToLong(a);
  if (!x) return {{}, x.fault};
  if (x.value >= 0 && x.value < 16) return {std::u16string(1, u"0123456789ABCDEF"[x.value])};
  return {internal::FormatLongHex(x.value)};
}

}  // namespace conversion

#endif  // TOVREL_CONVERSION_HEX_VALUE_H_
