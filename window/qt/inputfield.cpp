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
#include <array>
#include <cstddef>

#include "window/qt/heap.h"

InputField::InputField(QWidget* parent) : QLineEdit(parent) {
  keepUnshapedFont();
  connect(this, &QLineEdit::textChanged, this, &InputField::updateCaretBlinking);
}

InputField::~InputField() {
  if (m_steadyCaret) QGuiApplication::styleHints()->setCursorFlashTime(m_flashTime);
}

// Hex digits need no shaping, which was the largest part of laying out a long text (scripts that
// need it are still shaped). The strategy is added to the font the field has, so that a face
// condensed to fit the field stays condensed.
void InputField::keepUnshapedFont() {
  QFont unshaped = font();
  if (unshaped.styleStrategy() & QFont::PreferNoShaping) return;
  unshaped.setStyleStrategy(
      static_cast<QFont::StyleStrategy>(unshaped.styleStrategy() | QFont::PreferNoShaping));
  setFont(unshaped);
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

// A drop inserts, wherever it comes from. The field starts no drags of its own (QLineEdit's
// default), and where a QLineEdit does, it drags a copy, which inserts like any other drop; only a
// move inside the field would also remove the selection, and that is left to QLineEdit.
void InputField::dropEvent(QDropEvent* event) {
  const QString dropped = event->mimeData()->text();
  const int at = cursorPositionAt(event->position().toPoint());
  const bool moveInside = event->source() == this && event->dropAction() == Qt::MoveAction;
  if (!isReadOnly() && !moveInside && replaceLong(at, at, dropped)) {
    setSelection(at, static_cast<int>(dropped.size()));
    event->acceptProposedAction();
    return;
  }
  QLineEdit::dropEvent(event);
}

namespace {

struct StandardEdits {
  QAction* cut = nullptr;
  QAction* paste = nullptr;
  QAction* erase = nullptr;
};

// Cut, Paste and Delete of QLineEdit's standard menu, found by what does not change with the
// user's language: the object names that later Qt versions give them, or else their places in the
// menu that Qt 6.4 builds for an editable field. None where the menu is built some other way.
StandardEdits findStandardEdits(const QMenu& menu) {
  const QList<QAction*> actions = menu.actions();
  StandardEdits named;
  for (QAction* action : actions) {
    const QString name = action->objectName();
    if (name == QLatin1String("edit-cut")) named.cut = action;
    if (name == QLatin1String("edit-paste")) named.paste = action;
    if (name == QLatin1String("edit-delete")) named.erase = action;
  }
  if (named.cut != nullptr || named.paste != nullptr || named.erase != nullptr) return named;
  // Undo, Redo, -, Cut, Copy, Paste, Delete, -, Select All.
  constexpr std::array<bool, 9> kSeparators{false, false, true, false, false,
                                            false, false, true, false};
  if (actions.size() < static_cast<qsizetype>(kSeparators.size())) return {};
  for (std::size_t i = 0; i < kSeparators.size(); ++i) {
    if (actions[static_cast<qsizetype>(i)]->isSeparator() != kSeparators[i]) return {};
  }
  return {actions[3], actions[5], actions[6]};
}

// Makes `action` do `edit` instead of what it was connected to.
template <class Edit>
void reconnect(QAction* action, InputField* field, Edit edit) {
  if (action == nullptr) return;
  QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
  QObject::connect(action, &QAction::triggered, field, edit);
}

}  // namespace

// The standard menu, with Cut, Paste and Delete taking the same path as their keys.
void InputField::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  const StandardEdits edits = findStandardEdits(*menu);
  reconnect(edits.cut, this, [this] {
    if (!cutLong()) cut();
  });
  reconnect(edits.paste, this, [this] {
    if (!pasteLong(QClipboard::Clipboard)) paste();
  });
  reconnect(edits.erase, this, [this] {
    if (!replaceSelectionLong({})) del();
  });
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}
