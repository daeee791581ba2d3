// wmping WINDOW [SECONDS]
//
// Returns once the program that owns WINDOW has handled every event that reached it before the
// call: keys, clicks, pastes. It sends the window _NET_WM_PING and waits for the answer on the root
// window: the events before the ping have been read. A Qt program answers a ping while it reads its
// X events, though, and hands the key and mouse events read in that pass to its widgets only after
// the pass, so an answer does not say they were handled (a pass goes on while events keep arriving:
// on a busy machine further pings were answered before the copy keys were handled). So wmping then
// covers a pixel of the window with a small window of its own and takes that away again: the
// uncovered pixel keeps the cover's colour (the window has no background the server would paint)
// until the program paints it back, and the program handles that exposure after every event that
// came before it. Under a compositing manager no exposure reaches the program, and two more pings
// stand in for the repaint (as on a screen that does not show the cover): a strong hint there, not
// a proof.
//
// Exit status 0 once the program answered and painted, 1 when it did not within SECONDS (default
// 120), 2 on a usage or connection error.
//
//   wmping --owner SELECTION    prints the window that owns SELECTION (CLIPBOARD, PRIMARY), 0x0
//                               when none does
//   wmping --disown SELECTION   leaves SELECTION without an owner
//   wmping --close WINDOW       asks the window manager to close WINDOW (_NET_CLOSE_WINDOW), as
//                               a taskbar does; the window manager asks the program

#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

bool isPong(const xcb_generic_event_t* event, xcb_atom_t protocols, xcb_atom_t ping,
            uint32_t stamp) {
  if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) return false;
  const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
  return message->format == 32 && message->type == protocols && message->data.data32[0] == ping &&
         message->data.data32[1] == stamp;
}

// Sends one ping and waits for its answer until `deadline`.
bool pingOnce(xcb_connection_t* c, xcb_window_t window, xcb_atom_t protocols, xcb_atom_t ping,
              uint32_t stamp, std::chrono::steady_clock::time_point deadline) {
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = protocols;
  message.data.data32[0] = ping;
  message.data.data32[1] = stamp;
  message.data.data32[2] = window;
  // No event mask: the event goes to the client that created the window.
  xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
  xcb_flush(c);
  for (;;) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
      const bool answered = isPong(event, protocols, ping, stamp);
      std::free(event);
      if (answered) return true;
    }
    if (xcb_connection_has_error(c)) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(left.count()));
  }
}

// The colour of the pixel at (x, y) of `drawable`, or nullopt on an error (an unmapped window).
std::optional<uint32_t> pixelAt(xcb_connection_t* c, xcb_drawable_t drawable, int16_t x,
                                int16_t y) {
  xcb_get_image_reply_t* reply = xcb_get_image_reply(
      c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, x, y, 1, 1, 0xffffffffU), nullptr);
  if (!reply) return std::nullopt;
  uint32_t pixel = 0;
  std::memcpy(
      &pixel, xcb_get_image_data(reply),
      std::min<size_t>(sizeof pixel, static_cast<size_t>(xcb_get_image_data_length(reply))));
  std::free(reply);
  return pixel & 0xffffffU;
}

// Covers a pixel near the window's top-left corner (left of every control at any scale) with a
// small window of another colour, takes it away again and waits until the program has painted
// the pixel back. The server leaves the uncovered pixel as it was (the program's window has no
// background of its own), and the program handles that exposure after everything that came
// before it, keys and clicks included: once the pixel is back, those are handled too. Returns
// whether the program painted it back before `deadline`, or nullopt when the screen does not show
// the cover (a server that keeps windows' images apart, as a rootless one does).
std::optional<bool> exposeOnce(xcb_connection_t* c, const xcb_screen_t* screen, xcb_window_t window,
                               std::chrono::steady_clock::time_point deadline) {
  constexpr int16_t x = 2;
  constexpr int16_t y = 2;
  xcb_translate_coordinates_reply_t* where = xcb_translate_coordinates_reply(
      c, xcb_translate_coordinates(c, window, screen->root, x, y), nullptr);
  if (!where) return std::nullopt;
  // Read from the screen: a window's own image is undefined where another window covers it.
  const auto px = static_cast<int16_t>(where->dst_x);
  const auto py = static_cast<int16_t>(where->dst_y);
  std::free(where);
  const std::optional<uint32_t> before = pixelAt(c, screen->root, px, py);
  if (!before) return std::nullopt;
  // Colours the window never shows there; the second for a pixel a run before left covered.
  const uint32_t cover = *before == 0x00ff01U ? 0xfe00ffU : 0x00ff01U;
  const xcb_window_t lid = xcb_generate_id(c);
  const uint32_t values[] = {cover, 1};
  xcb_create_window(c, XCB_COPY_FROM_PARENT, lid, screen->root, px, py, 4, 4, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                    XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
  xcb_map_window(c, lid);
  const bool covered = pixelAt(c, screen->root, px, py) == cover;
  xcb_destroy_window(c, lid);
  xcb_flush(c);
  if (!covered) return std::nullopt;
  for (;;) {
    const std::optional<uint32_t> now = pixelAt(c, screen->root, px, py);
    if (!now) return std::nullopt;
    if (*now != cover) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    usleep(2000);
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2 || argc > 3) {
    std::fputs("usage: wmping WINDOW [SECONDS] | --owner|--disown SELECTION | --close WINDOW\n",
               stderr);
    return 2;
  }
  int screenNumber = 0;
  xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(c)) {
    std::fputs("wmping: cannot open the display\n", stderr);
    return 2;
  }
  const bool owner = std::strcmp(argv[1], "--owner") == 0;
  if ((owner || std::strcmp(argv[1], "--disown") == 0) && argc == 3) {
    const xcb_atom_t selection = internAtom(c, argv[2]);
    if (owner) {
      xcb_get_selection_owner_reply_t* reply =
          xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
      std::printf("0x%x\n", reply ? reply->owner : 0U);
      std::free(reply);
    } else {
      xcb_set_selection_owner(c, XCB_WINDOW_NONE, selection, XCB_CURRENT_TIME);
      std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));  // done
    }
    xcb_disconnect(c);
    return 0;
  }
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
  for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
    xcb_screen_next(&screens);
  const xcb_window_t root = screens.data->root;
  if (std::strcmp(argv[1], "--close") == 0 && argc == 3) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(std::strtoul(argv[2], nullptr, 0));
    message.type = internAtom(c, "_NET_CLOSE_WINDOW");
    message.data.data32[1] = 2;  // from a pager or taskbar, at no particular time
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));  // sent
    xcb_disconnect(c);
    return 0;
  }
  const auto window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
  const int seconds = argc == 3 ? std::atoi(argv[2]) : 120;

  // Qt sends its answer to the root window for the clients that select StructureNotify there
  // (and for the window manager, which holds SubstructureRedirect).
  const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
  const xcb_atom_t protocols = internAtom(c, "WM_PROTOCOLS");
  const xcb_atom_t ping = internAtom(c, "_NET_WM_PING");

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  // Stamps of our own, so that the window manager's pings are not taken for ours.
  const auto base = static_cast<uint32_t>(getpid()) << 2;
  if (!pingOnce(c, window, protocols, ping, base + 1, deadline)) {
    std::fprintf(stderr, "wmping: window 0x%x did not answer a ping within %d s\n", window,
                 seconds);
    xcb_disconnect(c);
    return 1;
  }
  // A compositing manager keeps every window's image apart and repaints the screen itself: no
  // exposure reaches the program. There, as where the screen does not show the cover, two more
  // pings stand in for the repaint.
  const std::string manager = "_NET_WM_CM_S" + std::to_string(screenNumber);
  xcb_get_selection_owner_reply_t* compositor = xcb_get_selection_owner_reply(
      c, xcb_get_selection_owner(c, internAtom(c, manager.c_str())), nullptr);
  const bool composited = compositor && compositor->owner != XCB_WINDOW_NONE;
  std::free(compositor);
  const std::optional<bool> painted =
      composited ? std::nullopt : exposeOnce(c, screens.data, window, deadline);
  const bool handled = painted ? *painted
                               : pingOnce(c, window, protocols, ping, base + 2, deadline) &&
                                     pingOnce(c, window, protocols, ping, base + 3, deadline);
  if (!handled) {
    std::fprintf(stderr, "wmping: window 0x%x did not %s within %d s\n", window,
                 painted ? "paint an uncovered pixel back" : "answer the pings", seconds);
    xcb_disconnect(c);
    return 1;
  }
  xcb_disconnect(c);
  return 0;
}
