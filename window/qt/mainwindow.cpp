#include "window/qt/mainwindow.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QIcon>
#include <QImageReader>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string_view>
#include <utility>

#include "conversion/recompute.h"
#include "window/form.h"
#include "window/qt/artwork.h"
#include "window/qt/inputfield.h"
#include "window/qt/keyfilter.h"
#include "window/qt/wmhints.h"

namespace {

// Twips as logical pixels: Qt scales logical pixels to the screen, so they stay at 96 dpi.
int pixels(int twips) {
  return form::toPixels(twips, form::kBaseDpi);
}

QRect pixelRect(const form::TwipsRect& twips) {
  return {pixels(twips.left), pixels(twips.top), pixels(twips.width), pixels(twips.height)};
}

QString toQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The first face of the list that is installed, by its exact name, looked up once in the list of
// installed families; as a font's family list Qt would ask the system about each face missing
// before it, for every font made from it (each condensed width). Where none is installed, the
// whole list, so that the system may still substitute: it knows no alias for the first face, and
// without the list Qt would take a Latin face.
QFont controlFont() {
  QFont font;
  const QStringList installed = QFontDatabase::families();
  QStringList families;
  for (const std::u16string_view face : form::kFaces) {
    const QString name = toQString(face);
    if (installed.contains(name, Qt::CaseInsensitive)) {
      families = {name};
      break;
    }
    families.append(name);
  }
  font.setFamilies(families);
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixels(form::kFontHeightTwips));
  font.setWeight(static_cast<QFont::Weight>(form::kFontWeight));
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  return font;
}

// The width inside `field`'s frame and its text margins, where the field keeps its own margin of
// form::kFieldMargin logical pixels on either side of its text.
int innerWidth(const QLineEdit& field) {
  QStyleOptionFrame option;
  option.initFrom(&field);
  option.rect = field.rect();
  option.lineWidth = field.hasFrame()
                         ? field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &field)
                         : 0;
  option.midLineWidth = 0;
  option.state |= QStyle::State_Sunken;
  const QRect contents =
      field.style()->subElementRect(QStyle::SE_LineEditContents, &option, &field);
  return contents.marginsRemoved(field.textMargins()).width();
}

// The embedded artwork is BMP, read as such: left to find the format itself, the reader would load
// every image plugin installed to ask it first.
QPixmap artworkPixmap(const char* path) {
  QImageReader reader(QString::fromLatin1(path), "bmp");
  reader.setAutoDetectImageFormat(false);
  return QPixmap::fromImage(reader.read());
}

QLabel* makeLabel(QWidget* parent, const form::Control& control) {
  auto* label = new QLabel(toQString(control.caption), parent);
  label->setObjectName(QString::fromLatin1(control.name.data(), qsizetype(control.name.size())));
  label->setGeometry(pixelRect(control.twips));
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::black);
  label->setPalette(palette);
  return label;
}

template <class Field = QLineEdit>
Field* makeField(QWidget* parent, const form::Control& control) {
  auto* field = new Field(parent);
  field->setObjectName(QString::fromLatin1(control.name.data(), qsizetype(control.name.size())));
  field->setGeometry(pixelRect(control.twips));
  field->setReadOnly(control.readOnly);
  return field;
}

// Form1 meets a screen reader as a window (a frame) named by its title; as a plain widget it would
// be a "filler".
QAccessibleInterface* accessibleForm(const QString& className, QObject* object) {
  if (className == QLatin1String("Form1") && object->isWidgetType())
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
  return nullptr;
}

}  // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_background(artworkPixmap(artwork::kBackground)) {
  static const bool accessibleFormInstalled = [] {
    QAccessible::installFactory(accessibleForm);
    return true;
  }();
  Q_UNUSED(accessibleFormInstalled);
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Tovrel"));
  QIcon icon;
  icon.addPixmap(artworkPixmap(artwork::kIcon16));
  icon.addPixmap(artworkPixmap(artwork::kIcon32));
  setWindowIcon(icon);
  setFixedSize(pixels(form::kClientWidthTwips), pixels(form::kClientHeightTwips));
  setFont(controlFont());

  // Each label before the field it names: a sibling created later is drawn above, so each field
  // covers the pixel row that its label reaches into.
  const auto& controls = form::kControls;
  m_label1 = makeLabel(this, controls[form::kLabel1]);
  m_text1 = makeField<InputField>(this, controls[form::kText1]);
  m_label2 = makeLabel(this, controls[form::kLabel2]);
  m_text2 = makeField(this, controls[form::kText2]);
  m_label3 = makeLabel(this, controls[form::kLabel3]);
  m_text3 = makeField(this, controls[form::kText3]);

  // Typing stops at eight characters in the filter; a paste may be longer than QLineEdit's 32767.
  m_text1->setMaxLength(std::numeric_limits<int>::max());

  // A screen reader names each field by the label above it.
  m_label1->setBuddy(m_text1);
  m_label2->setBuddy(m_text2);
  m_label3->setBuddy(m_text3);

  // Tab visits the fields by their tab indexes, and from the last back to the first.
  std::array<std::pair<int, QLineEdit*>, 3> tabOrder{{{controls[form::kText1].tabIndex, m_text1},
                                                      {controls[form::kText2].tabIndex, m_text2},
                                                      {controls[form::kText3].tabIndex, m_text3}}};
  std::ranges::sort(tabOrder, {}, &std::pair<int, QLineEdit*>::first);
  for (std::size_t i = 0; i < tabOrder.size(); ++i)
    setTabOrder(tabOrder[i].second, tabOrder[(i + 1) % tabOrder.size()].second);

  m_text1->installEventFilter(this);
  m_text2->installEventFilter(this);
  m_text3->installEventFilter(this);
  // Text1 itself is the connection's context: a screen reader would otherwise be told that Text1
  // controls Form1, since Qt names every receiver of a field's textChanged as controlled by it.
  connect(m_text1, &QLineEdit::textChanged, m_text1, [this] { Text1_Change(); });
  fitTexts();

  m_text1->setFocus();
  Form_Load();
}

Form1::~Form1() = default;

// Runs once, after the window and its controls exist and before the window is first shown.
void Form1::Form_Load() {
  wmhints::keepAbove(*this);
  wmhints::skipTaskbar(*this);
  wmhints::keepExactSize(*this);
  wmhints::placeTopRight(*this);
  wmhints::refuseMinimise(*this);
  // Window managers need not focus a window without a taskbar entry when it appears (openbox does
  // not); asking for it lets the first key go to Text1. The request waits for the first map.
  activateWindow();
}

void Form1::Text1_Change() {
  const conversion::Readings readings = conversion::Recompute(m_text1->text().toStdU16String());
  m_text2->setText(QString::fromStdU16String(readings.signedText));
  m_text3->setText(QString::fromStdU16String(readings.bitText));
  // A reading longer than its field shows its beginning, the most significant digits.
  m_text2->setCursorPosition(0);
  m_text3->setCursorPosition(0);
}

// Sets `code` to 0 when the typed character must not reach Text1.
void Form1::Text1_KeyPress(char16_t& code) {
  if (!form::acceptsTypedChar(code, static_cast<std::size_t>(m_text1->text().size()))) code = 0;
}

void Form1::Text2_Click() {
  m_text1->setFocus();
}

void Form1::Text3_Click() {
  m_text1->setFocus();
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_text1) return filterText1(event);
  if ((watched == m_text2 || watched == m_text3) && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    // The field ends its own click first, so that a mouse selection reaches the primary selection
    // before the focus leaves it.
    watched->event(event);
    if (watched == m_text2) {
      Text2_Click();
    } else {
      Text3_Click();
    }
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

// Returns true where Text1 must not see the event.
bool Form1::filterText1(QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      const auto& key = static_cast<const QKeyEvent&>(*event);
      if (!typesCharacters(key)) return false;
      const QString text = key.text();
      const Qt::KeyboardModifiers held = key.modifiers();
      if (isCommandChord(text.front().unicode(), held.testFlag(Qt::ControlModifier),
                         held.testFlag(Qt::AltModifier), held.testFlag(Qt::MetaModifier))) {
        return true;
      }
      if (text.size() == 1) {
        char16_t code = text.front().unicode();
        Text1_KeyPress(code);
        if (code == u'\b' && key.key() != Qt::Key_Backspace) {
          // A backspace typed by another key (Ctrl+H), which the field itself would ignore.
          m_text1->eraseBackward();
          return true;
        }
        return code == 0;
      }
      // A key that types several code units (a non-BMP character among them) types each in turn.
      typeFiltered(text);
      return true;
    }
    case QEvent::InputMethodQuery: {
      // Text1 answers as a field without an input method: input methods and compose sequences then
      // hand keys over as plain key presses, which go through the filter. (Turning the widget
      // attribute off is not enough: QLineEdit answers the query itself.)
      static_cast<QObject*>(m_text1)->event(event);
      auto& query = static_cast<QInputMethodQueryEvent&>(*event);
      if (query.queries() & Qt::ImEnabled) query.setValue(Qt::ImEnabled, false);
      return true;
    }
    case QEvent::InputMethod:
      // What an input method commits all the same is filtered as typed; its composing text is
      // dropped.
      typeFiltered(static_cast<const QInputMethodEvent&>(*event).commitString());
      return true;
    default:
      return false;
  }
}

// Applies `text` to Text1 as if its code units had been typed one by one.
void Form1::typeFiltered(const QString& text) {
  for (const QChar unit : text) {
    char16_t code = unit.unicode();
    Text1_KeyPress(code);
    if (code == u'\b') {
      m_text1->eraseBackward();
    } else if (code != 0) {
      m_text1->insert(QString(QChar(code)));
    }
  }
}

void Form1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange && m_text3 != nullptr) fitTexts();
}

// Each control gets Form1's face, condensed where what it must show would not fit (see
// form::fittingWidthFor()): a reading or a caption is never cut, whichever face the system found.
void Form1::fitTexts() {
  constexpr int kNaturalStretch = 100;
  const QFont base = font();
  const QFontMetricsF natural(base);
  const form::TextWidth measure = [&base, &natural](std::u16string_view text, int stretch) {
    qreal advance = 0;
    if (stretch > 0) {
      QFont font = base;
      font.setStretch(stretch);
      advance = QFontMetricsF(font).horizontalAdvance(toQString(text));
    } else {
      advance = natural.horizontalAdvance(toQString(text));
    }
    return static_cast<int>(std::ceil(advance));
  };
  // In the order of form::kControls, with the width inside each.
  const std::array<std::pair<QWidget*, int>, form::kControlCount> controls{{
      {m_label1, m_label1->contentsRect().width()},
      {m_text1, innerWidth(*m_text1)},
      {m_label2, m_label2->contentsRect().width()},
      {m_text2, innerWidth(*m_text2)},
      {m_label3, m_label3->contentsRect().width()},
      {m_text3, innerWidth(*m_text3)},
  }};
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const auto [control, inner] = controls[i];
    QFont font = base;
    const int stretch =
        form::fittingWidthFor(i, inner, form::kFieldMargin, kNaturalStretch, measure);
    if (stretch > 0) font.setStretch(stretch);
    control->setFont(font);
  }
}

void Form1::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, m_background);
}
