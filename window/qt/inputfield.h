// Text1's field: a QLineEdit that stays usable with pasted texts of megabytes.

#ifndef TOVREL_WINDOW_QT_INPUTFIELD_H_
#define TOVREL_WINDOW_QT_INPUTFIELD_H_

#include <QClipboard>
#include <QLineEdit>
#include <QString>

class InputField : public QLineEdit {
  Q_OBJECT

 public:
  // An edit that inserts or removes more than this many UTF-16 code units (a paste, a drop, a cut
  // or a deletion of a selection) is applied as one step that clears the undo history: it cannot
  // be undone, and neither can the edits before it. QLineEdit keeps one undo record of 20 bytes
  // per unit inserted or removed and never gives their memory back.
  static constexpr qsizetype kUndoLimit = 65536;

  // Once the edits kept for undo add up to more than this many units, the undo history is cleared
  // after the edit that passed it, so that many short pastes cannot pile up records either.
  static constexpr qsizetype kHistoryLimit = 4 * kUndoLimit;

  // While the field holds more than this many units its caret does not blink: QLineEdit lays out
  // the whole text again for every paint, and a blink is a paint.
  static constexpr qsizetype kSteadyCaretLength = 10000;

  explicit InputField(QWidget* parent = nullptr);
  ~InputField() override;

  // What a typed backspace does: removes the selection, or else the unit before the caret. A
  // long selection goes without undo records, as with the Backspace key.
  void eraseBackward();

 protected:
  bool event(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // Each applies a long edit without undo records and returns true, or returns false and leaves
  // a short edit to QLineEdit, counting the units whose records it will keep.
  bool replaceLong(qsizetype from, qsizetype to, const QString& inserted);
  bool replaceSelectionLong(const QString& inserted);
  bool pasteLong(QClipboard::Mode mode);
  bool cutLong();
  bool keyEditsLong(QKeyEvent* event);

  void forgetHistory();
  void keepUnshapedFont();
  void updateCaretBlinking();

  qsizetype m_kept = 0;
  bool m_steadyCaret = false;
  int m_flashTime = 0;
};

#endif  // TOVREL_WINDOW_QT_INPUTFIELD_H_
