// The yardstick of the start-up benchmark: a plain Qt window of Form1's client size holding the
// same six standard controls at the same places (from the shared description), default font,
// nothing else.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "window/form.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const auto px = [](int twips) { return form::toPixels(twips, form::kBaseDpi); };
  QWidget window;
  window.setWindowTitle("Plain");
  window.setFixedSize(px(form::kClientWidthTwips), px(form::kClientHeightTwips));
  for (const form::Control& c : form::kControls) {
    QWidget* control = nullptr;
    if (c.kind == form::Kind::Label) {
      control = new QLabel(
          QString::fromUtf16(c.caption.data(), static_cast<qsizetype>(c.caption.size())), &window);
    } else {
      control = new QLineEdit(&window);
    }
    control->setGeometry(px(c.twips.left), px(c.twips.top), px(c.twips.width), px(c.twips.height));
  }
  window.show();
  return app.exec();
}
