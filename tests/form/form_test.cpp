// The rules of the shared description of Form1 that neither window's end-to-end test reaches:
// twips at dpi between 96 and 192 (halves), the condensing of a face when a control's text is too
// wide (measured by a stand-in for a front-end's face, whose glyphs may scale worse than asked or
// never fit), and the rule for typed characters.

#include "window/form.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace form {
namespace {

struct PixelsCase {
  const char* name;
  int twips;
  int dpi;
  int pixels;
};

TEST(FormTest, ToPixels) {
  const PixelsCase cases[] = {
      // Exact at 96 and 192.
      {"Text3's width at 96", 4095, 96, 273},
      {"Text3's width at 192", 4095, 192, 546},
      {"the client height at 192", 1425, 192, 190},
      // Halves round away from zero.
      {"Text1's width at 144, 193.5", 1935, 144, 194},
      {"the font at 144, 22.5", 225, 144, 23},
      {"a pixel left of the origin at 144, -1.5", -15, 144, -2},
      // Below a half rounds down.
      {"Label1's width at 120, 91.25", 1095, 120, 91},
      {"Label1's width at 168, 127.75", 1095, 168, 128},
      // Twips times dpi beyond 32 bits.
      {"30000000 twips at 192", 30000000, 192, 4000000},
  };
  for (const PixelsCase& c : cases) {
    EXPECT_EQ(toPixels(c.twips, c.dpi), c.pixels) << c.name;
  }
}

struct CondensedCase {
  const char* name;
  int needed;
  int available;
  int natural;
  int width;
};

TEST(FormTest, CondensedWidth) {
  const CondensedCase cases[] = {
      // Fits: the face's natural width.
      {"half-width digits, 32 bits", 240, 265, 8, 0},
      {"exactly the available width", 265, 265, 8, 0},
      {"an empty text", 0, 0, 8, 0},
      // Too wide: scaled down, rounded down.
      {"one pixel too wide", 266, 265, 8, 7},
      {"proportional digits, 32 bits", 302, 265, 8, 7},
      {"twice as wide", 530, 265, 15, 7},
      {"as a stretch: proportional digits, 32 bits", 302, 264, 100, 87},
      {"as a stretch: an unknown face's caption", 81, 73, 100, 90},
      // Never 0, which would mean the natural width.
      {"far too wide", 10000, 10, 8, 1},
      {"no room at all", 100, 0, 8, 1},
      {"a negative room", 100, -4, 8, 1},
  };
  for (const CondensedCase& c : cases) {
    EXPECT_EQ(condensedWidth(c.needed, c.available, c.natural), c.width) << c.name;
  }
}

// A stand-in for a front-end's face: every character `natural` pixels wide at the natural width,
// and `asked + overshoot` pixels when asked to be `asked` wide (glyphs that scale worse than
// asked); a text is as wide as its characters. Counts the calls.
struct FakeFace {
  int natural = 10;
  int overshoot = 0;
  mutable int calls = 0;

  int operator()(std::u16string_view text, int asked) const {
    ++calls;
    return static_cast<int>(text.size()) * (asked > 0 ? asked + overshoot : natural);
  }
};

TEST(FormTest, FittingWidth) {
  struct Case {
    const char* name;
    int length;  // of a text of that many 0s
    int room;
    int overshoot;
    int width;
  };
  const Case cases[] = {
      {"fits at the natural width", 32, 320, 0, 0},
      {"an empty text", 0, 0, 0, 0},
      {"the estimate fits: kept, not narrowed further", 32, 273, 0, 8},
      {"glyphs a pixel wider than asked: narrowed until it fits", 32, 273, 1, 7},
      {"glyphs three pixels wider than asked", 9, 72, 3, 5},
      {"no room: 1, never 0 or below", 8, 0, 0, 1},
      {"a face that never fits: stops at 1", 32, 273, 1000, 1},
  };
  for (const Case& c : cases) {
    const FakeFace face{10, c.overshoot};
    const std::u16string text(static_cast<std::size_t>(c.length), u'0');
    EXPECT_EQ(fittingWidth(text, c.room, face.natural, std::cref(face)), c.width) << c.name;
    // One measure at the natural width and at most one for each width tried.
    EXPECT_LE(face.calls, face.natural + 1) << c.name;
  }
}

TEST(FormTest, WidestRepeat) {
  // 'B' and 'D' are the widest; the first of them is taken.
  const auto face = [](std::u16string_view text, int /*asked*/) {
    int width = 0;
    for (const char16_t ch : text)
      width += ch == u'B' || ch == u'D' ? 9 : ch == u'1' ? 4 : 7;
    return width;
  };
  EXPECT_EQ(widestRepeat(kText1Widest, face), u"BBBBBBBB");
  EXPECT_EQ(widestRepeat(WidestText{u"01", 3}, face), u"000");
  EXPECT_EQ(widestRepeat(WidestText{u"10", 3}, face), u"000");
}

TEST(FormTest, FittingWidthFor) {
  struct Case {
    const char* name;
    Index control;
    int innerWidth;
    int width;
  };
  // Every character 10 pixels wide at the natural width and as wide as asked; margins of 2.
  const Case cases[] = {
      // A field's room is its inner width less two margins and the caret.
      {"Text2's 9 characters in a room of 72", kText2, 77, 8},
      {"Text2's 9 characters in a room of 71", kText2, 76, 7},
      {"Text1's 8 characters in a room of 80", kText1, 85, 0},
      {"Text2's 9 characters in a room of 80", kText2, 85, 8},
      {"Text3's 32 characters in a room of 262", kText3, 267, 8},
      // A label's room is its whole box: "signedHEX", 9 characters.
      {"Label1 in a box of 90", kLabel1, 90, 0},
      {"Label1 in a box of 72", kLabel1, 72, 8},
      {"Label2, 11 characters, in a box of 105", kLabel2, 105, 9},
  };
  for (const Case& c : cases) {
    const FakeFace face{10, 0};
    EXPECT_EQ(fittingWidthFor(c.control, c.innerWidth, 2, face.natural, face), c.width) << c.name;
  }
}

TEST(FormTest, AcceptsTypedChar) {
  struct Case {
    const char* name;
    char16_t ch;
    std::size_t length;
    bool accepted;
  };
  const Case cases[] = {
      // Hexadecimal digits below eight characters.
      {"'0' into an empty field", u'0', 0, true},
      {"'9' at 7 characters", u'9', 7, true},
      {"'A' at 0", u'A', 0, true},
      {"'F' at 7", u'F', 7, true},
      {"'a' at 0", u'a', 0, true},
      {"'f' at 7", u'f', 7, true},
      // Digits at eight characters and beyond (a paste can make the text longer).
      {"'0' at 8", u'0', 8, false},
      {"'f' at 8", u'f', 8, false},
      {"'1' at 9, after a paste", u'1', 9, false},
      // Backspace always passes.
      {"backspace at 0", u'\b', 0, true},
      {"backspace at 7", u'\b', 7, true},
      {"backspace at 8", u'\b', 8, true},
      {"backspace at 100000", u'\b', 100000, true},
      // Next to the digit ranges.
      {"'/' before '0'", u'/', 0, false},
      {"':' after '9'", u':', 0, false},
      {"'@' before 'A'", u'@', 0, false},
      {"'G' after 'F'", u'G', 0, false},
      {"'`' before 'a'", u'`', 0, false},
      {"'g' after 'f'", u'g', 0, false},
      {"'x'", u'x', 0, false},
      {"space", u' ', 0, false},
      {"'-'", u'-', 0, false},
      // Control characters other than backspace.
      {"NUL", u'\0', 0, false},
      {"0x03, Ctrl+C", char16_t{0x03}, 0, false},
      {"0x16, Ctrl+V", char16_t{0x16}, 0, false},
      {"0x18, Ctrl+X", char16_t{0x18}, 0, false},
      {"0x1a, Ctrl+Z", char16_t{0x1a}, 0, false},
      {"tab", u'\t', 0, false},
      {"carriage return", u'\r', 0, false},
      {"escape", char16_t{0x1b}, 0, false},
      {"0x7f", char16_t{0x7f}, 0, false},
      // Beyond ASCII.
      {"fullwidth digit zero", u'０', 0, false},
      {"fullwidth capital A", u'Ａ', 0, false},
      {"0x8000, negative as 16 bits", char16_t{0x8000}, 0, false},
      {"high surrogate of a non-BMP character", char16_t{0xD83D}, 0, false},
      {"0xFFFF", char16_t{0xFFFF}, 0, false},
      // Beyond ASCII, with a hex digit in the low byte.
      {"U+0161 š, low byte 'a'", u'š', 0, false},
      {"U+0141 Ł, low byte 'A'", u'Ł', 0, false},
      {"U+0130 İ, low byte '0'", u'İ', 0, false},
      {"U+0441 Cyrillic с, low byte 'A'", u'с', 0, false},
      {"U+D835 high surrogate, low byte '5'", char16_t{0xD835}, 0, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(acceptsTypedChar(c.ch, c.length), c.accepted) << c.name;
  }
}

}  // namespace
}  // namespace form
