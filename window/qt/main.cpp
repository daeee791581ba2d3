#include <QApplication>
#include <QGuiApplication>

#include "window/qt/heap.h"
#include "window/qt/mainwindow.h"
#include "window/qt/wmhints.h"

int main(int argc, char* argv[]) {
  heap::reuseLargeBlocks();
  wmhints::chooseXcbInWaylandSession();
  QApplication app(argc, argv);
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tovrel.Tovrel"));
  Form1 form;
  form.show();
  return app.exec();
}
