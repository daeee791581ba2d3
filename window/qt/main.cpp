#include <QApplication>
#include <QGuiApplication>

#include "window/qt/mainwindow.h"
#include "window/qt/wmhints.h"

int main(int argc, char* argv[]) {
  wmhints::chooseXcbInWaylandSession();
  QApplication app(argc, argv);
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tovrel.Tovrel"));
  Form1 form;
  form.show();
  return app.exec();
}
