// recompute_print INPUT SIGNED BITS
//
// Reads INPUT as UTF-8, runs one recompute on it, and writes the signed reading to the file SIGNED
// and the bit pattern to the file BITS, as UTF-8 without a line end: what Text2 and Text3 must show
// when Text1 holds that text.

#include <QFile>
#include <QString>
#include <cstdio>

#include "conversion/recompute.h"

namespace {

bool writeUtf8(const char* path, const std::u16string& text) {
  QFile file(QString::fromLocal8Bit(path));
  return file.open(QIODevice::WriteOnly) &&
         file.write(QString::fromStdU16String(text).toUtf8()) >= 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 4) {
    std::fputs("usage: recompute_print INPUT SIGNED BITS\n", stderr);
    return 2;
  }
  QFile input(QString::fromLocal8Bit(argv[1]));
  if (!input.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "recompute_print: cannot read %s\n", argv[1]);
    return 1;
  }
  const conversion::Readings readings =
      conversion::Recompute(QString::fromUtf8(input.readAll()).toStdU16String());
  if (!writeUtf8(argv[2], readings.signedText) || !writeUtf8(argv[3], readings.bitText)) {
    std::fputs("recompute_print: cannot write the readings\n", stderr);
    return 1;
  }
  return 0;
}
