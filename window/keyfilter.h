// The rule for characters typed into Text1, kept apart from the window so that it can be tested
// case by case.

#ifndef TOVREL_WINDOW_KEYFILTER_H_
#define TOVREL_WINDOW_KEYFILTER_H_

#include <QtGlobal>

class QKeyEvent;

// acceptsTypedChar()
//
// Whether the character `ch`, typed into Text1 while it holds `currentLength` UTF-16 code units,
// may reach the field. Only backspace and the hexadecimal digits 0-9, A-F and a-f pass, and a digit
// only while the field holds fewer than eight units; backspace always passes. The length is that of
// the whole text, whatever is selected. Letters keep their case.
//   ('8', 0) -> true     ('8', 8) -> false    ('\b', 8) -> true
//   ('g', 0) -> false    (0x03, 0) -> false   (0xD83D, 0) -> false (half of a non-BMP character)
[[nodiscard]] bool acceptsTypedChar(char16_t ch, qsizetype currentLength);

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

// typesCharacters()
//
// Whether a key press delivers typed characters for the filter, i.e. whether its text goes through
// acceptsTypedChar(). False for keys that carry no text (arrows, Home, End, modifiers), for the
// Delete key (whose text on X11 is 0x7f), for Tab and Shift+Tab (focus moves), and for the standard
// editing shortcuts (select all, copy, cut, paste, undo, redo), which on X11 carry the control
// texts 0x01, 0x03, 0x18, 0x16 and 0x1a but edit like in any text field. True for everything else,
// other control characters such as Enter (0x0d) and Ctrl+B (0x02) included.
[[nodiscard]] bool typesCharacters(const QKeyEvent& key);

#endif  // TOVREL_WINDOW_KEYFILTER_H_
