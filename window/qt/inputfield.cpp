#include "window/qt/inputfield.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyleHints>

#include "window/qt/heap.h"

InputField::InputField(QWidget* parent) : QLineEdit(parent) {
  keepUnshapedFont();
  connect(this, &QLineEdit::textChanged, this, &InputField::updateCaretBlinking);
}

InputField::~InputField() {
  if (m_steadyCaret) QGuiApplication::styleHints()->setCursorFlashTime(m_flashTime);
}

// Hex digits need no shaping, which was the largest part of laying out a long text (scripts that
// need it are still shaped). Only the strategy is set here: the rest follows the window's font.
void InputField::keepUnshapedFont() {
  if (font().styleStrategy() & QFont::PreferNoShaping) return;
  QFont strategy;
  strategy.setStyleStrategy(
      static_cast<QFont::StyleStrategy>(font().styleStrategy() | QFont::PreferNoShaping));
  setFont(strategy);
}

// QLineEdit restarts the caret's blink on every key release, and that repaints the whole text; a
// caret that does not blink has nothing to restart.
bool InputField::event(QEvent* event) {
  if (event->type() == QEvent::KeyRelease && m_steadyCaret) {
    event->ignore();
    return true;
  }
  return QLineEdit::event(event);
}

void InputField::changeEvent(QEvent* event) {
  QLineEdit::changeEvent(event);
  if (event->type() == QEvent::FontChange) keepUnshapedFont();
}

// The blink rate is the application's; Text1 is its only field with a caret that blinks.
void InputField::updateCaretBlinking() {
  const bool steady = text().size() > kSteadyCaretLength;
  if (steady == m_steadyCaret) return;
  m_steadyCaret = steady;
  QStyleHints* hints = QGuiApplication::styleHints();
  if (steady) {
    m_flashTime = hints->cursorFlashTime();
    hints->setCursorFlashTime(0);
  } else {
    hints->setCursorFlashTime(m_flashTime);
  }
}

bool InputField::replaceLong(qsizetype from, qsizetype to, const QString& inserted) {
  if (to - from <= kUndoLimit && inserted.size() <= kUndoLimit) {
    // QLineEdit applies it and keeps its records; they are counted, and dropped once past the
    // limit when the edit has ended.
    m_kept += to - from + inserted.size();
    if (m_kept > kHistoryLimit)
      QMetaObject::invokeMethod(this, &InputField::forgetHistory, Qt::QueuedConnection);
    return false;
  }
  m_kept = 0;
  // Built anew rather than edited in place, which would keep the old text's capacity.
  const QString old = text();
  QString edited;
  edited.reserve(old.size() - (to - from) + inserted.size());
  edited.append(QStringView(old).first(from)).append(inserted).append(QStringView(old).sliced(to));
  setText(edited);
  setCursorPosition(static_cast<int>(from + inserted.size()));
  // Once the edit has ended and the old text and its layout are gone.
  if (to - from > inserted.size())
    QMetaObject::invokeMethod(this, &heap::giveBackFreed, Qt::QueuedConnection);
  return true;
}

// Setting the same text clears the undo history and changes nothing else but the selection.
void InputField::forgetHistory() {
  m_kept = 0;
  const int cursor = cursorPosition();
  setText(text());
  setCursorPosition(cursor);
}

bool InputField::replaceSelectionLong(const QString& inserted) {
  const qsizetype from = hasSelectedText() ? selectionStart() : cursorPosition();
  return replaceLong(from, from + selectedText().size(), inserted);
}

void InputField::eraseBackward() {
  if (!(hasSelectedText() && replaceSelectionLong({}))) backspace();
}

bool InputField::pasteLong(QClipboard::Mode mode) {
  return replaceSelectionLong(QGuiApplication::clipboard()->text(mode));
}

bool InputField::cutLong() {
  if (selectionLength() > kUndoLimit) copy();
  return replaceSelectionLong({});
}

bool InputField::keyEditsLong(QKeyEvent* event) {
  if (event == QKeySequence::Paste) return pasteLong(QClipboard::Clipboard);
  if (event == QKeySequence::Cut) return cutLong();
  if (event == QKeySequence::DeleteStartOfWord || event == QKeySequence::DeleteEndOfWord) {
    if (text().size() <= kUndoLimit) return false;
    if (!hasSelectedText()) {
      if (event == QKeySequence::DeleteStartOfWord) {
        cursorWordBackward(true);
      } else {
        cursorWordForward(true);
      }
    }
    if (!replaceSelectionLong({})) del();
    return true;
  }
  const bool erases = event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete;
  return erases && hasSelectedText() && replaceSelectionLong({});
}

void InputField::keyPressEvent(QKeyEvent* event) {
  if (!isReadOnly() && keyEditsLong(event)) {
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void InputField::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton && !isReadOnly() &&
      QGuiApplication::clipboard()->supportsSelection()) {
    const QString selection = QGuiApplication::clipboard()->text(QClipboard::Selection);
    deselect();
    if (replaceLong(cursorPosition(), cursorPosition(), selection)) {
      event->accept();
      return;
    }
  }
  QLineEdit::mouseReleaseEvent(event);
}

void InputField::dropEvent(QDropEvent* event) {
  const QString dropped = event->mimeData()->text();
  const int at = cursorPositionAt(event->position().toPoint());
  if (!isReadOnly() && event->source() != this && replaceLong(at, at, dropped)) {
    setSelection(at, static_cast<int>(dropped.size()));
    event->acceptProposedAction();
    return;
  }
  QLineEdit::dropEvent(event);
}

// The standard menu, with Cut, Paste and Delete taking the same path as their keys.
void InputField::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  for (QAction* action : menu->actions()) {
    const QString text = action->text();
    if (text.startsWith(QLineEdit::tr("Cu&t"))) {
      disconnect(action, &QAction::triggered, nullptr, nullptr);
      connect(action, &QAction::triggered, this, [this] {
        if (!cutLong()) cut();
      });
    } else if (text.startsWith(QLineEdit::tr("&Paste"))) {
      disconnect(action, &QAction::triggered, nullptr, nullptr);
      connect(action, &QAction::triggered, this, [this] {
        if (!pasteLong(QClipboard::Clipboard)) paste();
      });
    } else if (text == QLineEdit::tr("Delete")) {
      disconnect(action, &QAction::triggered, nullptr, nullptr);
      connect(action, &QAction::triggered, this, [this] {
        if (!replaceSelectionLong({})) del();
      });
    }
  }
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}
