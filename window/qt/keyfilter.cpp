#include "window/qt/keyfilter.h"

#include <QKeyEvent>
#include <QKeySequence>

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

bool isCommandChord(char16_t first, bool control, bool alt, bool logo) {
  if (alt || logo) return true;
  const bool controlCharacter = first < 0x20 || first == 0x7f;
  return control && !controlCharacter;
}
