// The yardstick of the start-up benchmark: a plain Qt window of Form1's client size holding the
// same six standard controls at the same places, default font, nothing else.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle("Plain");
  window.setFixedSize(288, 95);
  (new QLabel("signedHEX", &window))->setGeometry(8, 0, 73, 17);
  (new QLabel("unsignedHEX", &window))->setGeometry(152, 0, 105, 17);
  (new QLineEdit(&window))->setGeometry(8, 16, 129, 22);
  (new QLineEdit(&window))->setGeometry(152, 16, 129, 22);
  (new QLabel("bitdata", &window))->setGeometry(8, 48, 105, 17);
  (new QLineEdit(&window))->setGeometry(8, 64, 273, 22);
  window.show();
  return app.exec();
}
