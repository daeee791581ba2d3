// form_print [DPI]
//
// Prints Form1's pixel geometry at DPI dots per inch (default 96) as the shared description gives
// it, for the end-to-end scripts and benchmarks to read instead of writing the numbers again:
//
//   client WIDTH HEIGHT
//   NAME LEFT TOP WIDTH HEIGHT      one line a control, Label1 ... Text3, in kControls' order

#include <cstdio>
#include <cstdlib>

#include "window/form.h"

int main(int argc, char* argv[]) {
  int dpi = form::kBaseDpi;
  if (argc > 2 || (argc == 2 && (dpi = std::atoi(argv[1])) <= 0)) {
    std::fputs("usage: form_print [DPI]\n", stderr);
    return 2;
  }
  const auto px = [dpi](int twips) { return form::toPixels(twips, dpi); };
  std::printf("client %d %d\n", px(form::kClientWidthTwips), px(form::kClientHeightTwips));
  for (const form::Control& c : form::kControls) {
    std::printf("%.*s %d %d %d %d\n", static_cast<int>(c.name.size()), c.name.data(),
                px(c.twips.left), px(c.twips.top), px(c.twips.width), px(c.twips.height));
  }
  return 0;
}
