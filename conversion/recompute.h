// The entry into the conversion: one recompute for each change of the input text.

#ifndef TOVREL_CONVERSION_RECOMPUTE_H_
#define TOVREL_CONVERSION_RECOMPUTE_H_

#include <string>
#include <string_view>

namespace conversion {

// The two texts that one recompute produces: the signed reading (sign and magnitude) and the bit
// pattern.
struct Readings {
  std::u16string signedText;
  std::u16string bitText;
};

// Recompute()
//
// Reads `text` (any text: typed digits, or whatever was pasted) as a two's-complement number of
// four bits per UTF-16 code unit and returns its signed reading and its bit pattern. The empty
// text gives two empty texts. Never fails: every step that fails is passed over and the next one
// runs, which decides what unusual input shows.
//   "FF"       -> "-1", "11111111"            "00FF" -> "00FF", "0000000011111111"
//   "80000000" -> "-80000000", "1" + 31 "0"   "xyz"  -> "-0", ""
//   "1234567G" -> "-0", "0001"                "000000001" -> "-0", 31 low bits
[[nodiscard]] Readings Recompute(std::u16string_view text);

}  // namespace conversion

#endif  // TOVREL_CONVERSION_RECOMPUTE_H_
