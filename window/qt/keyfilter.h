// Which key presses type characters into Text1, as Qt delivers them. What may be typed is
// decided by the rules in window/form.h, which both windows share.

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

#endif  // TOVREL_WINDOW_QT_KEYFILTER_H_
