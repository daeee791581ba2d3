#include "window/keyfilter.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace {

constexpr char16_t kBackspace = u'\b';
constexpr qsizetype kLongestTypedText = 8;

bool isHexDigit(char16_t ch) {
  return (ch >= u'0' && ch <= u'9') || (ch >= u'A' && ch <= u'F') || (ch >= u'a' && ch <= u'f');
}

}  // namespace

bool acceptsTypedChar(char16_t ch, qsizetype currentLength) {
  if (ch == kBackspace) return true;
  return isHexDigit(ch) && currentLength < kLongestTypedText;
}

bool isCommandChord(char16_t first, bool control, bool alt, bool logo) {
  if (alt || logo) return true;
  const bool controlCharacter = first < 0x20 || first == 0x7f;
  return control && !controlCharacter;
}

bool typesCharacters(const QKeyEvent& key) {
  if (key.text().isEmpty()) return false;
  switch (key.key()) {
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return false;
    default:
      break;
  }
  for (const QKeySequence::StandardKey shortcut :
       {QKeySequence::SelectAll, QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste,
        QKeySequence::Undo, QKeySequence::Redo}) {
    if (key.matches(shortcut)) return false;
  }
  return true;
}
