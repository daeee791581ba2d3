#include <QApplication>

#include "window/mainwindow.h"
#include "window/wmhints.h"

int main(int argc, char* argv[]) {
  wmhints::chooseXcbInWaylandSession();
  QApplication app(argc, argv);
  Form1 form;
  form.show();
  return app.exec();
}
