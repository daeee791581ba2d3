#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QStyleHints>
#include <QTranslator>
#include <QtTest>

#include "conversion/recompute.h"
#include "window/form.h"
#include "window/qt/artwork.h"
#include "window/qt/inputfield.h"
#include "window/qt/keyfilter.h"
#include "window/qt/mainwindow.h"

// Keys are sent with the texts that real X11 keys carry: Qt Test's own key clicks give Ctrl+C the
// text "c", where X11 gives 0x03, and the Delete key no text, where X11 gives 0x7f.
struct Key {
  Qt::Key code = Qt::Key_unknown;
  Qt::KeyboardModifiers modifiers;
  QString text;
};
using Keys = QList<Key>;
Q_DECLARE_METATYPE(Keys)

namespace {

Key typed(QString text) {
  const QChar first = text.front();
  Key key{Qt::Key_unknown, Qt::NoModifier, text};
  if (text.size() == 1 && first.unicode() < 0x80 && first.isLetterOrNumber())
    key.code = static_cast<Qt::Key>(first.toUpper().unicode());
  if (first.isUpper()) key.modifiers = Qt::ShiftModifier;
  return key;
}

Keys typedKeys(const QString& text) {
  Keys keys;
  for (const QChar c : text)
    keys.append(typed(QString(c)));
  return keys;
}

Key ctrl(Qt::Key code, char16_t controlText, Qt::KeyboardModifiers more = Qt::NoModifier) {
  return {code, Qt::ControlModifier | more, QString(QChar(controlText))};
}

const Key kBackspace{Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b")};
const Key kDelete{Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f")};
const Key kLeft{Qt::Key_Left, Qt::NoModifier, {}};
const Key kShiftLeft{Qt::Key_Left, Qt::ShiftModifier, {}};
const Key kHome{Qt::Key_Home, Qt::NoModifier, {}};
const Key kEnd{Qt::Key_End, Qt::NoModifier, {}};
const Key kReturn{Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r")};
const Key kEscape{Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b")};
const Key kTab{Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t")};
const Key kShiftTab{Qt::Key_Backtab, Qt::ShiftModifier, {}};
const Key kShiftInsert{Qt::Key_Insert, Qt::ShiftModifier, {}};
const Key kCtrlA = ctrl(Qt::Key_A, 0x01);
const Key kCtrlB = ctrl(Qt::Key_B, 0x02);
const Key kCtrlC = ctrl(Qt::Key_C, 0x03);
const Key kCtrlK = ctrl(Qt::Key_K, 0x0b);
const Key kCtrlV = ctrl(Qt::Key_V, 0x16);
const Key kCtrlX = ctrl(Qt::Key_X, 0x18);
const Key kCtrlZ = ctrl(Qt::Key_Z, 0x1a);
const Key kCtrlH = ctrl(Qt::Key_H, 0x08);
const Key kCtrlShiftZ = ctrl(Qt::Key_Z, 0x1a, Qt::ShiftModifier);

// Whether the window system can make a window active: a Wayland compositor without a seat (no
// keyboard, as a headless one) never does, so no widget of it has the application's focus.
bool activates() {
  return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// Keys go where typing goes: the application's focus widget, or where the platform activates no
// window, the focus widget of the window that is shown.
void press(const Keys& keys) {
  for (const Key& key : keys) {
    QWidget* target = QApplication::focusWidget();
    if (!activates()) {
      for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) target = window->focusWidget();
      }
    }
    QVERIFY(target);
    QTest::sendKeyEvent(QTest::Press, target, key.code, key.text, key.modifiers);
    QTest::sendKeyEvent(QTest::Release, target, key.code, key.text, key.modifiers);
  }
}

QString recomputed(const QString& text, bool bits) {
  const conversion::Readings readings = conversion::Recompute(text.toStdU16String());
  return QString::fromStdU16String(bits ? readings.bitText : readings.signedText);
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void initialState();
  void geometry_data();
  void geometry();
  void labels_data();
  void labels();
  void wholeText_data();
  void wholeText();
  void artwork();

  void readings_data();
  void readings();
  void keys_data();
  void keys();
  void paste_data();
  void paste();
  void longEdits_data();
  void longEdits();
  void inputMethod_data();
  void inputMethod();

  void clicks_data();
  void clicks();
  void tabOrder();

 private:
  template <class T>
  T* child(const char* name) const {
    return m_form->findChild<T*>(QString::fromLatin1(name));
  }
  QLineEdit* field(const char* name) const { return child<QLineEdit>(name); }
  // Text1 holds `text` with the caret at its end, as after typing or pasting it.
  void startWith(const QString& text);
  void verifyReadings();

  Form1* m_form = nullptr;
};

void Form1Test::init() {
  if (!activates()) {
    // On Wayland the window must open without a word from Qt: the X11 layer stays silent there.
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
  } else {
    QApplication::clipboard()->clear();
  }
  m_form = new Form1;
  m_form->show();
  if (activates()) {
    QVERIFY(QTest::qWaitForWindowActive(m_form));
  } else {
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
  }
}

void Form1Test::cleanup() {
  delete m_form;
  m_form = nullptr;
}

void Form1Test::startWith(const QString& text) {
  field("Text1")->setText(text);
  field("Text1")->setFocus();
}

void Form1Test::verifyReadings() {
  const QString text1 = field("Text1")->text();
  QCOMPARE(field("Text2")->text(), recomputed(text1, false));
  QCOMPARE(field("Text3")->text(), recomputed(text1, true));
}

void Form1Test::initialState() {
  QCOMPARE(m_form->objectName(), QStringLiteral("Form1"));
  QCOMPARE(m_form->windowTitle(), QStringLiteral("Tovrel"));
  for (const char* name : {"Text1", "Text2", "Text3"})
    QVERIFY2(field(name)->text().isEmpty(), name);
  QCOMPARE(QApplication::focusWidget(), field("Text1"));
  QVERIFY(!field("Text1")->isReadOnly());
  QVERIFY(field("Text2")->isReadOnly());
  QVERIFY(field("Text3")->isReadOnly());
  const Qt::WindowFlags flags = m_form->windowFlags();
  QVERIFY(
      flags.testFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint));
  QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
  QCOMPARE(m_form->windowType(), Qt::Window);
  QStringList faces;
  for (const std::u16string_view face : form::kFaces)
    faces.append(QString::fromUtf16(face.data(), static_cast<qsizetype>(face.size())));
  for (const char* name : {"Label1", "Label2", "Label3", "Text1", "Text2", "Text3"}) {
    const QFont font = child<QWidget>(name)->font();
    QCOMPARE(font.pixelSize(), 15);
    // The face actually used is one of the list (the set-up installs IPAGothic), not a Latin
    // default.
    const QString used = QFontInfo(font).family();
    QVERIFY2(faces.contains(used), qPrintable(QString::fromLatin1(name) + ": " + used));
  }
  // Text1's font, fitted to the field after the field was made, still lays out without shaping.
  QVERIFY(field("Text1")->font().styleStrategy() & QFont::PreferNoShaping);
}

void Form1Test::geometry_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("rect");
  // Every control stands exactly where it is placed, whichever face was found (see wholeText()).
  QTest::newRow("Text1, the input") << "Text1" << QRect(8, 16, 129, 22);
  QTest::newRow("Text2, right of Text1") << "Text2" << QRect(152, 16, 129, 22);
  QTest::newRow("Text3, spanning both") << "Text3" << QRect(8, 64, 273, 22);
  QTest::newRow("Label1") << "Label1" << QRect(8, 0, 73, 17);
  QTest::newRow("Label2") << "Label2" << QRect(152, 0, 105, 17);
  QTest::newRow("Label3") << "Label3" << QRect(8, 48, 105, 17);
}

void Form1Test::geometry() {
  QFETCH(QString, name);
  QFETCH(QRect, rect);
  const QSize client(288, 95);
  QCOMPARE(m_form->size(), client);
  QCOMPARE(m_form->minimumSize(), client);
  QCOMPARE(m_form->maximumSize(), client);
  auto* control = m_form->findChild<QWidget*>(name);
  QVERIFY(control);
  QCOMPARE(control->geometry(), rect);
  QVERIFY(control->isVisible());
  QVERIFY(control->isEnabled());
}

void Form1Test::labels_data() {
  QTest::addColumn<QString>("label");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<QString>("field");
  QTest::newRow("Label1 names the input") << "Label1"
                                          << "signedHEX"
                                          << "Text1";
  QTest::newRow("Label2 names the signed reading") << "Label2"
                                                   << "unsignedHEX"
                                                   << "Text2";
  QTest::newRow("Label3 names the bit pattern") << "Label3"
                                                << "bitdata"
                                                << "Text3";
}

void Form1Test::labels() {
  QFETCH(QString, label);
  QFETCH(QString, caption);
  QFETCH(QString, field);
  auto* theLabel = m_form->findChild<QLabel*>(label);
  auto* theField = m_form->findChild<QLineEdit*>(field);
  QCOMPARE(theLabel->text(), caption);
  QCOMPARE(theLabel->buddy(), theField);
  QCOMPARE(theLabel->focusPolicy(), Qt::NoFocus);
  QCOMPARE(theLabel->palette().color(QPalette::WindowText), QColor(Qt::black));
  QVERIFY(!theLabel->autoFillBackground());
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(theField);
  QVERIFY(accessible);
  QCOMPARE(accessible->text(QAccessible::Name), caption);
}

void Form1Test::wholeText_data() {
  QTest::addColumn<QString>("face");
  QTest::addColumn<int>("pixels");  // the font's size; 0 keeps the window's
  QTest::addColumn<QString>("input");
  QList<std::pair<QString, int>> fonts;
  for (const std::u16string_view face : form::kFaces) {
    const QString name = QString::fromUtf16(face.data(), static_cast<qsizetype>(face.size()));
    if (QFontDatabase::families().contains(name)) fonts.append({name, 0});
  }
  fonts.append({QStringLiteral("No Such Face"), 0});  // what the system substitutes for it
  // Eight digits of any face at 32 px are wider than Text1: every field is narrowed.
  fonts.append({fonts.front().first, 32});
  const QString longPaste = QString(9999, QLatin1Char('7')) + QLatin1Char('1');
  for (const auto& [face, pixels] : fonts) {
    const QByteArray row =
        face.toUtf8() + (pixels ? " at " + QByteArray::number(pixels) + " px" : "") + ": ";
    QTest::newRow(row + "80000000, top bit only") << face << pixels << "80000000";
    QTest::newRow(row + "FFFFFFFF, 32 ones") << face << pixels << "FFFFFFFF";
    QTest::newRow(row + "7FFFFFFF, leading zero") << face << pixels << "7FFFFFFF";
    QTest::newRow(row + "12345678") << face << pixels << "12345678";
    QTest::newRow(row + "000000001 pasted, 31 bits") << face << pixels << "000000001";
    QTest::newRow(row + "10000 digits pasted") << face << pixels << longPaste;
  }
}

// Every text an output field holds for typed input, and the 31-bit patterns of pastes, is shown
// whole from its first character (QLineEdit scrolls a text that does not fit, which hides its
// beginning), and every caption fits its box. Longer texts show their beginning.
void Form1Test::wholeText() {
  QFETCH(QString, face);
  QFETCH(int, pixels);
  QFETCH(QString, input);
  QFont font = m_form->font();
  font.setFamilies({face});
  if (pixels != 0) font.setPixelSize(pixels);
  m_form->setFont(font);
  for (const char* name : {"Label1", "Label2", "Label3"}) {
    const auto* label = child<QLabel>(name);
    const qreal advance = QFontMetricsF(label->font()).horizontalAdvance(label->text());
    QVERIFY2(advance <= label->contentsRect().width(),
             qPrintable(QStringLiteral("%1: %2 px").arg(QLatin1String(name)).arg(advance)));
  }
  startWith(input);
  for (const char* name : {"Text1", "Text2", "Text3"}) {
    QLineEdit* shown = field(name);
    const QString text = shown->text();
    // Text1 holds whole what can be typed, eight digits; Text2 a reading of up to nine units.
    if (shown == field("Text1") && text.size() > form::kText1Widest.length) continue;
    if (shown == field("Text2") && text.size() > form::kText2Widest.length) {
      QCOMPARE(shown->cursorPosition(), 0);
      continue;
    }
    // The caret's place after painting tells how far the field scrolled its text.
    auto caretX = [shown](int position) {
      shown->setCursorPosition(position);
      shown->grab();
      return shown->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
    };
    const int start = caretX(0);
    const int end = caretX(static_cast<int>(text.size()));
    const qreal advance = QFontMetricsF(shown->font()).horizontalAdvance(text);
    QVERIFY2(qAbs(end - start - advance) <= 1,
             qPrintable(QStringLiteral("%1 \"%2\": %3 px shown of %4")
                            .arg(QLatin1String(name), text)
                            .arg(end - start)
                            .arg(advance)));
  }
}

void Form1Test::artwork() {
  const QImage background(QString::fromLatin1(artwork::kBackground));
  QCOMPARE(background.size(), QSize(294, 128));
  const QList<QSize> iconSizes = m_form->windowIcon().availableSizes();
  QVERIFY(iconSizes.contains(QSize(16, 16)));
  QVERIFY(iconSizes.contains(QSize(32, 32)));
  // The picture lies unscaled at the top-left corner: uncovered pixels show it.
  const QImage shown = m_form->grab().toImage();
  for (const QPoint at : {QPoint(0, 0), QPoint(150, 42), QPoint(2, 90), QPoint(287, 94)})
    QCOMPARE(QColor(shown.pixel(at)), QColor(background.pixel(at)));
}

void Form1Test::readings_data() {
  QTest::addColumn<Keys>("keys");
  QTest::addColumn<QString>("text1");
  QTest::addColumn<QString>("text2");
  QTest::addColumn<QString>("text3");
  QTest::newRow("8") << typedKeys("8") << "8"
                     << "-8"
                     << "1000";
  QTest::newRow("80") << typedKeys("80") << "80"
                      << "-80"
                      << "10000000";
  QTest::newRow("FF80") << typedKeys("FF80") << "FF80"
                        << "-80"
                        << "1111111110000000";
  QTest::newRow("FFFF then Backspace") << (typedKeys("FFFF") << kBackspace) << "FFF"
                                       << "-1"
                                       << "111111111111";
  QTest::newRow("F then Backspace clears both") << (typedKeys("F") << kBackspace) << ""
                                                << ""
                                                << "";
  QTest::newRow("00ff keeps case and zeros") << typedKeys("00ff") << "00ff"
                                             << "00ff"
                                             << "0000000011111111";
}

void Form1Test::readings() {
  QFETCH(Keys, keys);
  QFETCH(QString, text1);
  QFETCH(QString, text2);
  QFETCH(QString, text3);
  press(keys);
  QCOMPARE(field("Text1")->text(), text1);
  QCOMPARE(field("Text2")->text(), text2);
  QCOMPARE(field("Text3")->text(), text3);
}

void Form1Test::keys_data() {
  QTest::addColumn<QString>("start");
  QTest::addColumn<Keys>("keys");
  QTest::addColumn<QString>("expected");
  // Typed characters.
  QTest::newRow("letters keep their case") << "" << typedKeys("aA") << "aA";
  QTest::newRow("eighth character accepted") << "1234567" << typedKeys("f") << "1234567f";
  QTest::newRow("ninth character refused") << "12345678" << typedKeys("9") << "12345678";
  QTest::newRow("non-hex characters refused") << "" << typedKeys("gGx -") << "";
  QTest::newRow("Enter and Escape refused") << "12" << Keys{kReturn, kEscape} << "12";
  QTest::newRow("other control characters refused") << "12" << Keys{kCtrlB, kCtrlK} << "12";
  QTest::newRow("non-BMP character refused") << "12" << Keys{typed(QStringLiteral("😀"))} << "12";
  // Beyond ASCII, with a hex digit in the low byte: Czech, Polish, Turkish, Russian keys, and the
  // first half of a surrogate pair.
  QTest::newRow("š, Ł, İ, Cyrillic с, U+D835 refused")
      << "12"
      << Keys{typed(QStringLiteral("š")), typed(QStringLiteral("Ł")), typed(QStringLiteral("İ")),
              typed(QStringLiteral("с")), typed(QString(QChar(0xD835)))}
      << "12";
  // A key that types several units (a compose sequence) is judged unit by unit, each against the
  // text as the units before it left it.
  QTest::newRow("key text ab at seven")
      << "1234567" << Keys{typed(QStringLiteral("ab"))} << "1234567a";
  QTest::newRow("key text 1G") << "" << Keys{typed(QStringLiteral("1G"))} << "1";
  // Keys with a modifier other than Shift are commands; AltGr (a level shift) types.
  QTest::newRow("Alt+1, Alt+b, Super+c, Alt+Shift+E, Ctrl+1, Ctrl+keypad 1 refused")
      << "12" << Keys{{Qt::Key_1, Qt::AltModifier, "1"},
                      {Qt::Key_B, Qt::AltModifier, "b"},
                      {Qt::Key_C, Qt::MetaModifier, "c"},
                      {Qt::Key_E, Qt::AltModifier | Qt::ShiftModifier, "E"},
                      {Qt::Key_1, Qt::ControlModifier, "1"},
                      {Qt::Key_1, Qt::ControlModifier | Qt::KeypadModifier, "1"}}
      << "12";
  QTest::newRow("AltGr types") << "12" << Keys{{Qt::Key_B, Qt::GroupSwitchModifier, "b"}} << "12b";
  QTest::newRow("Ctrl+H deletes like Backspace") << "123" << Keys{kCtrlH, kCtrlH} << "1";
  QTest::newRow("Ctrl+H over a selection")
      << "1234" << Keys{kShiftLeft, kShiftLeft, kCtrlH} << "12";
  // Editing keys at eight characters.
  QTest::newRow("Backspace at eight") << "12345678" << Keys{kBackspace} << "1234567";
  QTest::newRow("Delete at eight") << "12345678" << Keys{kHome, kDelete} << "2345678";
  QTest::newRow("arrows at eight") << "12345678" << Keys{kLeft, kLeft, kBackspace} << "1234578";
  QTest::newRow("Home and End at eight")
      << "12345678" << Keys{kHome, kEnd, kBackspace} << "1234567";
  QTest::newRow("digit over a selection at eight refused")
      << "12345678" << (Keys{kShiftLeft} << typed(QStringLiteral("9"))) << "12345678";
  // Standard editing shortcuts.
  QTest::newRow("Ctrl+A, then a digit replaces all")
      << "12345" << (Keys{kCtrlA} << typed("9")) << "9";
  QTest::newRow("Ctrl+A, then Backspace at eight") << "12345678" << Keys{kCtrlA, kBackspace} << "";
  QTest::newRow("Ctrl+Z undoes") << "12" << (typedKeys("3") << kCtrlZ) << "12";
  QTest::newRow("Ctrl+Shift+Z redoes")
      << "12" << (typedKeys("3") << kCtrlZ << kCtrlShiftZ) << "123";
  QTest::newRow("Ctrl+X cuts, Ctrl+V pastes past eight")
      << "1234" << Keys{kCtrlA, kCtrlX, kCtrlV, kCtrlV, kCtrlV} << "123412341234";
  QTest::newRow("Ctrl+C copies, Shift+Insert pastes")
      << "ab" << Keys{kCtrlA, kCtrlC, kEnd, kShiftInsert} << "abab";
}

void Form1Test::keys() {
  QFETCH(QString, start);
  QFETCH(Keys, keys);
  QFETCH(QString, expected);
  startWith(start);
  press(keys);
  QCOMPARE(field("Text1")->text(), expected);
  verifyReadings();
}

void Form1Test::paste_data() {
  QTest::addColumn<QString>("start");
  QTest::addColumn<QString>("pasted");
  QTest::addColumn<QString>("expected");
  // Whether the caret then stands still: it blinks up to 10,000 units and is steady above.
  QTest::addColumn<bool>("steady");
  const QString junk = QStringLiteral("x\ty😀\x01z -０g\n12");
  QTest::newRow("junk, unfiltered") << "" << junk << junk << false;
  QTest::newRow("a ninth digit after eight") << "12345678"
                                             << "9"
                                             << "123456789" << false;
  const QString digits(10000, QLatin1Char('7'));
  QTest::newRow("10000 digits, the caret blinks") << "" << digits << digits << false;
  QTest::newRow("10001 digits, the caret is steady") << "1" << digits << "1" + digits << true;
  const QString megabyte = QString(1 << 19, QLatin1Char('f')) + QString(1 << 19, QLatin1Char('q'));
  QTest::newRow("1 MiB, more than QLineEdit's default 32767") << "" << megabyte << megabyte << true;
}

void Form1Test::paste() {
  QFETCH(QString, start);
  QFETCH(QString, pasted);
  QFETCH(QString, expected);
  QFETCH(bool, steady);
  startWith(start);
  QApplication::clipboard()->setText(pasted);
  press({kCtrlV});
  QCOMPARE(field("Text1")->text(), expected);
  verifyReadings();
  QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime() == 0, steady);
}

void Form1Test::longEdits_data() {
  QTest::addColumn<QString>("start");
  QTest::addColumn<QString>("clipboard");
  QTest::addColumn<Keys>("keys");
  // How the edit comes after the keys: "" (by the keys alone), "menu ACTION" (the context menu's
  // action, by its English text), "menu/LANGUAGE ACTION" (the same with Qt's translations into
  // LANGUAGE installed), or "drop" (the clipboard's text dropped at the right end of the field).
  QTest::addColumn<QString>("via");
  QTest::addColumn<QString>("expected");
  QTest::addColumn<bool>("undoable");
  const QString limit(InputField::kUndoLimit, QLatin1Char('7'));
  const QString over = limit + QLatin1Char('8');
  const Key kShiftHome{Qt::Key_Home, Qt::ShiftModifier, {}};
  const Key kCtrlBackspace = ctrl(Qt::Key_Backspace, u'\b');
  // Up to the limit, an edit keeps its undo step; above it, it is applied as one step that clears
  // the undo history, whichever way it comes.
  QTest::newRow("paste at the limit, undoable") << "12" << limit << Keys{kCtrlV} << ""
                                                << "12" + limit << true;
  QTest::newRow("paste above the limit") << "12" << over << Keys{kCtrlV} << ""
                                         << "12" + over << false;
  QTest::newRow("Shift+Insert above the limit")
      << "12" << over << Keys{kHome, kShiftInsert} << "" << over + "12" << false;
  QTest::newRow("short paste over a long selection") << over << "3" << Keys{kCtrlA, kCtrlV} << ""
                                                     << "3" << false;
  QTest::newRow("Backspace on a long selection") << over << "" << Keys{kCtrlA, kBackspace} << ""
                                                 << "" << false;
  QTest::newRow("Delete on a long selection") << over << "" << Keys{kCtrlA, kDelete} << ""
                                              << "" << false;
  QTest::newRow("Ctrl+Backspace on a long word") << over << "" << Keys{kCtrlBackspace} << ""
                                                 << "" << false;
  QTest::newRow("Ctrl+X, Ctrl+V of a long selection")
      << over << "" << Keys{kCtrlA, kCtrlX, kCtrlV} << "" << over << false;
  QTest::newRow("Backspace on a selection at the limit, undoable")
      << limit + "1"
      << "" << Keys{kLeft, kShiftHome, kBackspace} << ""
      << "1" << true;
  QTest::newRow("short pastes past the history limit")
      << "" << limit << Keys(InputField::kHistoryLimit / InputField::kUndoLimit + 1, kCtrlV) << ""
      << limit.repeated(InputField::kHistoryLimit / InputField::kUndoLimit + 1) << false;
  QTest::newRow("Ctrl+H on a long selection") << over << "" << Keys{kCtrlA, kCtrlH} << ""
                                              << "" << false;
  QTest::newRow("menu Paste above the limit") << "12" << over << Keys{} << "menu &Paste"
                                              << "12" + over << false;
  QTest::newRow("menu Cut of a long selection") << over << "" << Keys{kCtrlA} << "menu Cu&t"
                                                << "" << false;
  QTest::newRow("menu Delete of a long selection") << over << "" << Keys{kCtrlA} << "menu Delete"
                                                   << "" << false;
  // The menu's texts are those of the user's language.
  QTest::newRow("German menu Paste above the limit") << "12" << over << Keys{} << "menu/de &Paste"
                                                     << "12" + over << false;
  QTest::newRow("German menu Delete of a long selection")
      << over << "" << Keys{kCtrlA} << "menu/de Delete"
      << "" << false;
  QTest::newRow("drop at the limit, undoable") << "12" << limit << Keys{} << "drop"
                                               << "12" + limit << true;
  QTest::newRow("drop above the limit") << "12" << over << Keys{} << "drop"
                                        << "12" + over << false;
}

void Form1Test::longEdits() {
  QFETCH(QString, start);
  QFETCH(QString, clipboard);
  QFETCH(Keys, keys);
  QFETCH(QString, via);
  QFETCH(QString, expected);
  QFETCH(bool, undoable);
  startWith(start);
  QLineEdit* text1 = field("Text1");
  QApplication::clipboard()->setText(clipboard);
  press(keys);
  const QString how = via.section(QLatin1Char(' '), 0, 0);
  if (how.startsWith(QLatin1String("menu"))) {
    QTranslator translator;
    const QString language = how.section(QLatin1Char('/'), 1);
    if (!language.isEmpty()) {
      QVERIFY2(translator.load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath)),
               "Qt's translations are missing (Debian: qt6-translations-l10n)");
      QCoreApplication::installTranslator(&translator);
    }
    const QString shown = QLineEdit::tr(qPrintable(via.section(QLatin1Char(' '), 1)));
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                            text1->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(text1, &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QAction* chosen = nullptr;
    for (QAction* action : menu->actions())
      if (!action->isSeparator() && action->text().startsWith(shown)) chosen = action;
    QVERIFY2(chosen, qPrintable(shown));
    chosen->trigger();
    menu->close();
  } else if (how == QLatin1String("drop")) {
    QMimeData data;
    data.setText(clipboard);
    const QPoint at(text1->width() - 5, text1->height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(text1, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(text1, &drop);
    QVERIFY(drop.isAccepted());
  }
  QCoreApplication::sendPostedEvents(text1, QEvent::MetaCall);
  QCOMPARE(text1->text().size(), expected.size());
  QCOMPARE(text1->text(), expected);
  QCOMPARE(text1->isUndoAvailable(), undoable);
  verifyReadings();
  // A long text holds the caret still: each blink would paint the whole text again.
  QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime() == 0,
           expected.size() > InputField::kSteadyCaretLength);
  if (undoable) {
    press({kCtrlZ});
    QCOMPARE(text1->text(), start);
  }
}

void Form1Test::inputMethod_data() {
  QTest::addColumn<QString>("start");
  QTest::addColumn<QString>("preedit");
  QTest::addColumn<QString>("commit");
  QTest::addColumn<QString>("expected");
  QTest::newRow("committed digits pass") << ""
                                         << ""
                                         << "1a"
                                         << "1a";
  QTest::newRow("committed fullwidth digits dropped") << ""
                                                      << ""
                                                      << "１２"
                                                      << "";
  QTest::newRow("committed junk filtered") << ""
                                           << ""
                                           << "1g 2"
                                           << "12";
  QTest::newRow("committed text stops at eight") << "123456"
                                                 << ""
                                                 << "789"
                                                 << "12345678";
  QTest::newRow("a committed backspace erases the unit before the caret") << "12"
                                                                          << ""
                                                                          << "3\b\b4"
                                                                          << "14";
  QTest::newRow("composing text never shows") << "12"
                                              << "ｆ"
                                              << ""
                                              << "12";
}

void Form1Test::inputMethod() {
  QFETCH(QString, start);
  QFETCH(QString, preedit);
  QFETCH(QString, commit);
  QFETCH(QString, expected);
  startWith(start);
  QLineEdit* text1 = field("Text1");
  // Input methods see a field that takes none, and still get the field's other answers.
  QInputMethodQueryEvent query(Qt::ImEnabled | Qt::ImSurroundingText);
  QApplication::sendEvent(text1, &query);
  QCOMPARE(query.value(Qt::ImEnabled).toBool(), false);
  QCOMPARE(query.value(Qt::ImSurroundingText).toString(), start);
  QInputMethodEvent event(preedit, {});
  event.setCommitString(commit);
  QApplication::sendEvent(text1, &event);
  QCOMPARE(text1->text(), expected);
  verifyReadings();
}

void Form1Test::clicks_data() {
  QTest::addColumn<QString>("clicked");
  QTest::addColumn<Qt::MouseButton>("button");
  QTest::addColumn<bool>("focusBack");
  QTest::newRow("left click into Text2") << "Text2" << Qt::LeftButton << true;
  QTest::newRow("left click into Text3") << "Text3" << Qt::LeftButton << true;
  QTest::newRow("right click into Text3 keeps the focus there")
      << "Text3" << Qt::RightButton << false;
  QTest::newRow("left click on Label1") << "Label1" << Qt::LeftButton << true;
}

void Form1Test::clicks() {
  QFETCH(QString, clicked);
  QFETCH(Qt::MouseButton, button);
  QFETCH(bool, focusBack);
  press(typedKeys("12"));
  auto* target = m_form->findChild<QWidget*>(clicked);
  QTest::mouseClick(target, button, Qt::NoModifier, QPoint(5, 5));
  if (button == Qt::RightButton) {
    // The field's own menu (Copy, Select All) needs the focus to stay where it is.
    if (QWidget* menu = QApplication::activePopupWidget()) menu->close();
    QCOMPARE(QApplication::focusWidget(), target);
    return;
  }
  QCOMPARE(QApplication::focusWidget() == field("Text1"), focusBack);
  // The next digit goes to Text1, where the caret was.
  press(typedKeys("3"));
  QCOMPARE(field("Text1")->text(), QStringLiteral("123"));
  QCOMPARE(field("Text2")->text(), QStringLiteral("123"));
}

void Form1Test::tabOrder() {
  press(typedKeys("8"));
  const QStringList forward{"Text2", "Text3", "Text1", "Text2"};
  for (const QString& name : forward) {
    press({kTab});
    QCOMPARE(QApplication::focusWidget()->objectName(), name);
  }
  // Reached by Tab, an output field keeps the focus, and typing there changes nothing.
  press(typedKeys("f") << kBackspace << kDelete);
  QCOMPARE(field("Text1")->text(), QStringLiteral("8"));
  QCOMPARE(field("Text2")->text(), QStringLiteral("-8"));
  const QStringList backward{"Text1", "Text3", "Text2"};
  for (const QString& name : backward) {
    press({kShiftTab});
    QCOMPARE(QApplication::focusWidget()->objectName(), name);
  }
}

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
