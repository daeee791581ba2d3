// The face of the six controls and how a field's text is made to fit, kept free of the toolkit so
// that every front-end of the window can share them.

#ifndef TOVREL_WINDOW_CONTROLFONT_H_
#define TOVREL_WINDOW_CONTROLFONT_H_

#include <array>
#include <string_view>

namespace controlfont {

// The pixel size of the controls' face: 11.25 points at 96 dots per inch.
inline constexpr int kPixelSize = 15;

// The faces to try, first found first. The controls' own face leads; where it is missing, Japanese
// gothic faces with half-width fixed-pitch digits follow: at 15 px they keep 32 binary digits
// inside Text3 and line up the bit columns. The proportional faces come last, since their wider
// digits need condensing (see condensedStretch()).
inline constexpr std::array<std::u16string_view, 11> kFaces = {
    u"ＭＳ Ｐゴシック", u"MS PGothic",  u"ＭＳ ゴシック", u"MS Gothic",
    u"IPAGothic",       u"TakaoGothic", u"VL Gothic",     u"IPAPGothic",
    u"IPAexGothic",     u"VL PGothic",  u"TakaoPGothic"};

// The longest texts each field must show whole, as the characters they are made of: Text1 and
// Text2 hold at most eight hexadecimal digits (Text2 after a minus sign), Text3 32 binary digits.
inline constexpr std::u16string_view kHexDigits = u"0123456789ABCDEFabcdef";
inline constexpr std::u16string_view kBinaryDigits = u"01";
inline constexpr int kLongestHex = 8;
inline constexpr int kLongestBits = 32;

// condensedStretch()
//
// How much to condense a control's face, in percent of its normal width, so that a text `advance`
// pixels wide fits into `room` pixels: 100 when it fits already, otherwise the largest whole
// percentage that makes it fit, and never below 1. Both values are in the same (logical) pixels.
//   (240, 264) -> 100     (302, 264) -> 87     (305, 264) -> 86     (80.7, 73) -> 90
[[nodiscard]] int condensedStretch(double advance, double room);

}  // namespace controlfont

#endif  // TOVREL_WINDOW_CONTROLFONT_H_
