#include "window/form.h"

#include <algorithm>
#include <cstdint>

#include "conversion/hex_value.h"

namespace form {

namespace {

constexpr char16_t kBackspace = u'\b';
constexpr std::size_t kLongestTypedText = 8;

}  // namespace

int toPixels(int twips, int dpi) {
  // 64-bit: twips times dpi overflows 32 bits only for absurd values, but costs nothing to avoid.
  const std::int64_t scaled = std::int64_t{twips} * dpi;
  const std::int64_t half = kTwipsPerInch / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch
                                      : -((-scaled + half) / kTwipsPerInch));
}

bool acceptsTypedChar(char16_t ch, std::size_t currentLength) {
  if (ch == kBackspace) return true;
  return conversion::DigitValue(ch) >= 0 && currentLength < kLongestTypedText;
}

Point topRightOrigin(int screenLeft, int screenTop, int screenWidth, int outerWidth) {
  return {screenLeft + screenWidth - outerWidth, screenTop};
}

int condensedWidth(int neededWidth, int availableWidth, int naturalWidth) {
  if (neededWidth <= availableWidth || neededWidth <= 0) return 0;
  const std::int64_t scaled =
      std::int64_t{naturalWidth} * std::max(availableWidth, 0) / neededWidth;
  return std::max(1, static_cast<int>(scaled));
}

std::u16string widestRepeat(const WidestText& widest, const TextWidth& measure) {
  std::u16string text(static_cast<std::size_t>(widest.length), widest.alphabet.front());
  int widestWidth = measure(text, 0);
  for (const char16_t ch : widest.alphabet.substr(1)) {
    const std::u16string candidate(text.size(), ch);
    const int width = measure(candidate, 0);
    if (width > widestWidth) {
      widestWidth = width;
      text = candidate;
    }
  }
  return text;
}

int fittingWidth(std::u16string_view text, int room, int naturalWidth, const TextWidth& measure) {
  int width = condensedWidth(measure(text, 0), room, naturalWidth);
  // Condensing a face is a scaling that rounds: measured again, and narrowed further where the
  // rounding went the wrong way.
  while (width > 1 && measure(text, width) > room)
    --width;
  return width;
}

int fittingWidthFor(std::size_t index, int innerWidth, int margin, int naturalWidth,
                    const TextWidth& measure) {
  const Control& control = kControls[index];
  if (control.kind == Kind::Label)
    return fittingWidth(control.caption, innerWidth, naturalWidth, measure);
  const WidestText& widest = index == kText1   ? kText1Widest
                             : index == kText2 ? kText2Widest
                                               : kText3Widest;
  const int room = innerWidth - 2 * margin - kCaretWidth;
  return fittingWidth(widestRepeat(widest, measure), room, naturalWidth, measure);
}

}  // namespace form
