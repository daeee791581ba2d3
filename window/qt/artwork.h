// The embedded artwork (resources/, built into the window library): the one place that names its
// resource paths.

#ifndef TOVREL_WINDOW_QT_ARTWORK_H_
#define TOVREL_WINDOW_QT_ARTWORK_H_

namespace artwork {

// 294 x 128, drawn unscaled at the client area's top-left; the part beyond 288 x 95 is not seen.
inline constexpr char kBackground[] = ":/resources/background.bmp";
// The window icon, and its 32 x 32 companion for task switchers and docks.
inline constexpr char kIcon16[] = ":/resources/icon16.bmp";
inline constexpr char kIcon32[] = ":/resources/icon32.bmp";

}  // namespace artwork

#endif  // TOVREL_WINDOW_QT_ARTWORK_H_
