#include "window/form.h"

#include <algorithm>
#include <cstdint>

namespace form {

namespace {

constexpr char16_t kBackspace = u'\b';
constexpr std::size_t kLongestTypedText = 8;

bool isHexDigit(char16_t ch) {
  return (ch >= u'0' && ch <= u'9') || (ch >= u'A' && ch <= u'F') || (ch >= u'a' && ch <= u'f');
}

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
  return isHexDigit(ch) && currentLength < kLongestTypedText;
}

bool isCommandChord(char16_t first, bool control, bool alt, bool logo) {
  if (alt || logo) return true;
  const bool controlCharacter = first < 0x20 || first == 0x7f;
  return control && !controlCharacter;
}

bool isEditingShortcut(char16_t ch) {
  switch (ch) {
    case 0x01:  // Ctrl+A, select all
    case 0x03:  // Ctrl+C, copy
    case 0x16:  // Ctrl+V, paste
    case 0x18:  // Ctrl+X, cut
    case 0x1a:  // Ctrl+Z, undo
      return true;
    default:
      return false;
  }
}

Point topRightOrigin(int screenLeft, int screenTop, int screenWidth, int outerWidth) {
  return {screenLeft + screenWidth - outerWidth, screenTop};
}

Point visibleFrameOrigin(const Rect& window, const Rect& visible, const Rect& screen) {
  const int left = visible.left - window.left;
  const int top = visible.top - window.top;
  const int right = window.right - visible.right;
  const int bottom = window.bottom - visible.bottom;
  const int visibleWidth = visible.right - visible.left;
  const int visibleHeight = visible.bottom - visible.top;
  const bool sane = left >= 0 && top >= 0 && right >= 0 && bottom >= 0 &&
                    left + right < visibleWidth && top + bottom < visibleHeight;
  const Point origin = topRightOrigin(screen.left, screen.top, screen.right - screen.left,
                                      window.right - window.left);
  if (!sane) return origin;
  return {origin.x + right, origin.y - top};
}

int condensedWidth(int neededWidth, int availableWidth, int naturalWidth) {
  if (neededWidth <= availableWidth || neededWidth <= 0) return 0;
  const std::int64_t scaled =
      std::int64_t{naturalWidth} * std::max(availableWidth, 0) / neededWidth;
  return std::max(1, static_cast<int>(scaled));
}

}  // namespace form
