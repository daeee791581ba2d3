// Which key presses type characters into Text1, as Qt delivers them, and which are commands. What
// may be typed is decided by the rules in window/form.h, which both windows share.

#ifndef TOVREL_WINDOW_QT_KEYFILTER_H_
#define TOVREL_WINDOW_QT_KEYFILTER_H_

class QKeyEvent;

// typesCharacters()
//
// Whether a key press delivers typed characters for the filter, i.e. whether its text goes through
// form::acceptsTypedChar(). False for keys that carry no text (arrows, Home, End, modifiers), for
// the Delete key (whose text on X11 is 0x7f), for Tab and Shift+Tab (focus moves), and for the
// standard editing shortcuts (select all, copy, cut, paste, undo, redo), which on X11 carry the
// control texts 0x01, 0x03, 0x18, 0x16 and 0x1a but edit like in any text field. True for
// everything else, other control characters such as Enter (0x0d) and Ctrl+B (0x02) included.
[[nodiscard]] bool typesCharacters(const QKeyEvent& key);

// isCommandChord()
//
// Whether a key whose text begins with `first`, pressed with the given modifiers held, is a
// command rather than typing: with Alt or the logo key (Super, Meta) it always is; with Ctrl it is
// unless its text is a control character, which is what Ctrl types (Ctrl+H types backspace, Ctrl+B
// 0x02). Shift, AltGr and other level shifts are typing: `control` and `alt` never count AltGr,
// even where it reports itself as Ctrl+Alt. A command never reaches Text1.
//   ('1', alt) -> true    ('E', alt + Shift) -> true    ('1', Ctrl) -> true
//   ('\b', Ctrl) -> false (Ctrl+H)                       ('E', no modifier or Shift) -> false
[[nodiscard]] bool isCommandChord(char16_t first, bool control, bool alt, bool logo);

#endif  // TOVREL_WINDOW_QT_KEYFILTER_H_
