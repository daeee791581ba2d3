// Stands in for Form1 until the window exists: a window of Form1's size, title and frame flags
// that goes through the same start-up steps (top-most, no taskbar entry, top-right corner).

#include <QApplication>
#include <QWidget>

#include "wmhints.h"

int main(int argc, char* argv[]) {
  wmhints::chooseXcbInWaylandSession();
  QApplication app(argc, argv);
  QWidget window(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint);
  window.setWindowTitle("Tovrel");
  window.setFixedSize(288, 95);
  wmhints::keepAbove(window);
  wmhints::skipTaskbar(window);
  wmhints::placeTopRight(window);
  window.show();
  return app.exec();
}
