// Form1 as both of the program's windows build it: the six controls in twips, their captions and
// tab order, the face list, the rule for typed characters, the start-up placement and the fitting
// of each control's text into its box. Plain C++: no toolkit and no platform headers, so that the
// Qt window and the Win32 window read one description.

#ifndef TOVREL_WINDOW_FORM_H_
#define TOVREL_WINDOW_FORM_H_

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace form {

// One inch is 1440 twips; at 96 dots per inch a pixel is 15 twips.
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kBaseDpi = 96;

struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

enum class Kind { Label, Field };

struct Control {
  std::string_view name;  // the fixed object name, "Text1"
  Kind kind = Kind::Label;
  std::u16string_view caption;  // a label's fixed caption; empty for a field
  TwipsRect twips;              // from the top-left corner of the client area
  int tabIndex = 0;
  bool readOnly = false;  // Text2 and Text3: only the program writes their text
};

// The client area of Form1: 4320 x 1425 twips, 288 x 95 pixels at 96 dpi.
inline constexpr int kClientWidthTwips = 4320;
inline constexpr int kClientHeightTwips = 1425;

// Positions of the controls in kControls.
enum Index : std::size_t { kLabel1, kText1, kLabel2, kText2, kLabel3, kText3, kControlCount };

// The six controls, each label right before the field it names (a screen reader names a field by
// the label before it), the fields in tab order. Each label reaches one pixel row (15 twips) into
// the field below it; the field is drawn above the label and covers that row.
inline constexpr std::array<Control, kControlCount> kControls{{
    {"Label1", Kind::Label, u"signedHEX", {120, 0, 1095, 255}, 2, false},
    {"Text1", Kind::Field, u"", {120, 240, 1935, 330}, 0, false},
    {"Label2", Kind::Label, u"unsignedHEX", {2280, 0, 1575, 255}, 3, false},
    {"Text2", Kind::Field, u"", {2280, 240, 1935, 330}, 1, true},
    {"Label3", Kind::Label, u"bitdata", {120, 720, 1575, 255}, 5, false},
    {"Text3", Kind::Field, u"", {120, 960, 4095, 330}, 4, true},
}};

// toPixels()
//
// Twips as pixels at `dpi` dots per inch, rounded to the nearest pixel (halves away from zero).
//   (1935, 96) -> 129    (1935, 192) -> 258    (1935, 144) -> 194
[[nodiscard]] int toPixels(int twips, int dpi);

// The controls' font: 11.25 points, 225 twips, 15 pixels at 96 dpi; weight normal.
inline constexpr int kFontHeightTwips = 225;
inline constexpr int kFontWeight = 400;

// The faces to try, first found first. The controls' own face leads, by both of its names; where
// it is missing, Japanese gothic faces with half-width fixed-pitch digits follow: at 15 px they
// keep 32 binary digits inside Text3 and line up the bit columns. The proportional faces come last,
// since their wider digits need condensing (see condensedWidth()).
inline constexpr std::array<std::u16string_view, 11> kFaces{
    u"ＭＳ Ｐゴシック", u"MS PGothic",  u"ＭＳ ゴシック", u"MS Gothic",
    u"IPAGothic",       u"TakaoGothic", u"VL Gothic",     u"IPAPGothic",
    u"IPAexGothic",     u"VL PGothic",  u"TakaoPGothic"};

// acceptsTypedChar()
//
// Whether the character `ch`, typed into Text1 while it holds `currentLength` UTF-16 code units,
// may reach the field. Only backspace and the hexadecimal digits 0-9, A-F and a-f pass, and a digit
// only while the field holds fewer than eight units; backspace always passes. The length is that of
// the whole text, whatever is selected. Letters keep their case.
//   ('8', 0) -> true     ('8', 8) -> false    ('\b', 8) -> true
//   ('g', 0) -> false    (0x03, 0) -> false   (0xD83D, 0) -> false (half of a non-BMP character)
[[nodiscard]] bool acceptsTypedChar(char16_t ch, std::size_t currentLength);

struct Point {
  int x = 0;
  int y = 0;
};

// topRightOrigin()
//
// The top-left corner that puts an outer frame `outerWidth` wide flush with the top-right corner
// of a screen whose left edge is `screenLeft`, top edge `screenTop` and width `screenWidth`:
// left = screen width - outer width, top = the screen's top. No clamping: a frame wider than the
// screen gets a left edge left of the screen's.
//   (0, 0, 1280, 294) -> (986, 0)     (0, 0, 200, 294) -> (-94, 0)
[[nodiscard]] Point topRightOrigin(int screenLeft, int screenTop, int screenWidth, int outerWidth);

// The longest texts a field holds for typed input, as a count of characters from an alphabet:
// Text1 up to eight hexadecimal digits, Text2 "-" and up to eight digits ("-80000000"), Text3 up
// to 32 bits. Each must show whole from its first character, at every dpi and in every face. (A
// 31-bit pattern of a pasted text is shorter than the 32 bits typed input gives.)
struct WidestText {
  std::u16string_view alphabet;
  int length = 0;
};
inline constexpr WidestText kText1Widest{u"0123456789ABCDEFabcdef", 8};
inline constexpr WidestText kText2Widest{u"-0123456789ABCDEFabcdef", 9};
inline constexpr WidestText kText3Widest{u"01", 32};

// condensedWidth()
//
// How wide to ask a face to be, given its natural width `naturalWidth` (the Win32 window's average
// character width in pixels, the Qt window's stretch of 100 percent), so that a text `neededWidth`
// pixels wide at the natural width fits `availableWidth` pixels: 0 (the natural width) when it
// fits already, else the natural width scaled down, rounded down, at least 1. Glyphs rarely scale
// exactly, so fittingWidth() measures again and narrows further while it does not fit.
//   (302, 273, 8) -> 7      (240, 273, 8) -> 0      (302, 264, 100) -> 87    (1000, 10, 8) -> 1
[[nodiscard]] int condensedWidth(int neededWidth, int availableWidth, int naturalWidth);

// A field keeps kFieldMargin pixels (at 96 dpi; a front-end scales them to its dpi) between its
// border and its text on either side, and draws its caret, kCaretWidth pixels, after the text.
inline constexpr int kFieldMargin = 2;
inline constexpr int kCaretWidth = 1;

// TextWidth
//
// A front-end's measuring, passed to the fitting below: how many pixels `text` takes, rounded up,
// in the controls' face asked to be `width` wide (0: its natural width; the unit of width is the
// front-end's, as for condensedWidth()).
using TextWidth = std::function<int(std::u16string_view text, int width)>;

// widestRepeat()
//
// The widest text of `widest.length` characters from `widest.alphabet` as `measure` measures it at
// the natural width: that many of one character (the first of the widest), since no text the field
// holds for typed input is wider than the widest character repeated.
[[nodiscard]] std::u16string widestRepeat(const WidestText& widest, const TextWidth& measure);

// fittingWidth()
//
// How wide to ask the face to be for `text` to take at most `room` pixels: 0 (the natural width)
// when it fits already, else condensedWidth()'s estimate, narrowed one step at a time while the
// measured text is still too wide. Never below 1: where even that does not fit, 1.
[[nodiscard]] int fittingWidth(std::u16string_view text, int room, int naturalWidth,
                               const TextWidth& measure);

// fittingWidthFor()
//
// How wide to ask the face to be for control `index` to show whole what it must (see
// fittingWidth()), its box being `innerWidth` pixels wide inside its border and a field's margin
// `margin` pixels:
// - a field, the widest text it holds for typed input (kText1Widest...), within its inner width
//   less a margin on either side and the caret;
// - a label, its caption within its box. The boxes stay where and as large as they are laid out:
//   the twips are binding, and a label made wider would run into the control or the window edge
//   beside it (Label2's right edge is 31 pixels from the client area's). A caption too wide for
//   its box is condensed, as a field's text is.
[[nodiscard]] int fittingWidthFor(std::size_t index, int innerWidth, int margin, int naturalWidth,
                                  const TextWidth& measure);

}  // namespace form

#endif  // TOVREL_WINDOW_FORM_H_
