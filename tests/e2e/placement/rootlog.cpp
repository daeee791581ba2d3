// rootlog: prints, one line each, the maps, unmaps and moves of the root window's children on
// $DISPLAY, with the time each event arrived, until it is stopped. A window manager's frame is
// named together with the client window it holds (however deep the frame holds it) and that
// client's process id, so a test can tell when and where the frame of one program's window first
// appeared and whether it moved afterwards. The unmaps and configure notifies of framed clients
// are printed too, with win the client: a window manager that hides a window unmaps the client,
// whatever it does with the frame, and answers every configure request with a configure notify.
// A client's request for its frame's extents (_NET_REQUEST_FRAME_EXTENTS) is printed when it is
// sent, so that a test can tell how long the client waited for the answer before its map.
//
//   ready <usec>
//   <usec> map|unmap|configure win=0x... client=0x... pid=N x=X y=Y w=W h=H
//   <usec> unmap|client-configure win=0x... client=0x... pid=N x=X y=Y w=W h=H   (a client)
//   <usec> frame-request win=0x... client=0x... pid=N x=X y=Y w=W h=H           (the client)
//
//   rootlog --now      prints the current <usec> and ends
//
// <usec> is CLOCK_MONOTONIC in microseconds (the clock of the start-up benchmark); client is the
// window itself when nothing frames it, pid is 0 when the client names none; x, y, w, h are the
// window's outer position and size on the root window, border included.

#include <xcb/xcb.h>

#include <time.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace {

struct Box {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

long long nowMicroseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

unsigned long processOf(xcb_connection_t* c, xcb_atom_t pidAtom, xcb_window_t window) {
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      c, xcb_get_property(c, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
  unsigned long pid = 0;
  if (reply && reply->format == 32 && xcb_get_property_value_length(reply) >= 4) {
    pid = *static_cast<const uint32_t*>(xcb_get_property_value(reply));
  }
  std::free(reply);
  return pid;
}

class RootLog {
 public:
  RootLog(xcb_connection_t* c, xcb_window_t root)
      : m_c(c),
        m_root(root),
        m_pidAtom(internAtom(c, "_NET_WM_PID")),
        m_frameRequestAtom(internAtom(c, "_NET_REQUEST_FRAME_EXTENTS")) {}

  void handle(const xcb_generic_event_t* event, long long at) {
    switch (event->response_type & 0x7f) {
      case XCB_CREATE_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_create_notify_event_t*>(event);
        if (e->parent == m_root)
          m_boxes[e->window] = boxOf(e->x, e->y, e->width, e->height, e->border_width);
        break;
      }
      case XCB_REPARENT_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_reparent_notify_event_t*>(event);
        if (e->parent != m_root) {
          m_clients[frameOf(e->parent)] = e->window;
          const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
          xcb_change_window_attributes(m_c, e->window, XCB_CW_EVENT_MASK, &mask);
          xcb_flush(m_c);
        }
        break;
      }
      case XCB_CONFIGURE_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
        if (e->event != m_root && e->event != e->window) break;
        if (e->event == e->window) {
          // Real or synthetic: its position is on the frame or on the root window.
          print(at, "client-configure", e->window,
                boxOf(e->x, e->y, e->width, e->height, e->border_width));
          break;
        }
        m_boxes[e->window] = boxOf(e->x, e->y, e->width, e->height, e->border_width);
        print(at, "configure", e->window);
        break;
      }
      case XCB_MAP_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_map_notify_event_t*>(event);
        if (e->event == m_root) print(at, "map", e->window);
        break;
      }
      case XCB_UNMAP_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_unmap_notify_event_t*>(event);
        if (e->event == m_root || e->event == e->window) print(at, "unmap", e->window);
        break;
      }
      case XCB_CLIENT_MESSAGE: {
        const auto* e = reinterpret_cast<const xcb_client_message_event_t*>(event);
        if (e->type == m_frameRequestAtom) print(at, "frame-request", e->window);
        break;
      }
      case XCB_DESTROY_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
        m_boxes.erase(e->window);
        m_clients.erase(e->window);
        break;
      }
      default:
        break;
    }
  }

 private:
  static Box boxOf(int x, int y, int width, int height, int border) {
    return {x, y, width + 2 * border, height + 2 * border};
  }

  // The child of the root window that holds `window`: a window manager may frame a client in
  // windows of its own inside the frame.
  xcb_window_t frameOf(xcb_window_t window) {
    for (;;) {
      xcb_query_tree_reply_t* tree =
          xcb_query_tree_reply(m_c, xcb_query_tree(m_c, window), nullptr);
      const xcb_window_t parent = tree ? tree->parent : xcb_window_t{XCB_WINDOW_NONE};
      std::free(tree);
      if (parent == XCB_WINDOW_NONE || parent == m_root) return window;
      window = parent;
    }
  }

  void print(long long at, const char* what, xcb_window_t window) {
    const auto known = m_boxes.find(window);
    print(at, what, window, known != m_boxes.end() ? known->second : Box{});
  }

  void print(long long at, const char* what, xcb_window_t window, const Box& box) {
    const auto client = m_clients.find(window);
    const xcb_window_t held = client != m_clients.end() ? client->second : window;
    std::printf("%lld %s win=0x%x client=0x%x pid=%lu x=%d y=%d w=%d h=%d\n", at, what, window,
                held, processOf(m_c, m_pidAtom, held), box.x, box.y, box.width, box.height);
    std::fflush(stdout);
  }

  xcb_connection_t* m_c = nullptr;
  xcb_window_t m_root = XCB_WINDOW_NONE;
  xcb_atom_t m_pidAtom = XCB_ATOM_NONE;
  xcb_atom_t m_frameRequestAtom = XCB_ATOM_NONE;
  std::unordered_map<xcb_window_t, Box> m_boxes;
  std::unordered_map<xcb_window_t, xcb_window_t> m_clients;
};

}  // namespace

int main(int argc, char* argv[]) {
  // `rootlog --now` prints the clock's reading and ends: the start of a measured interval.
  if (argc > 1 && std::strcmp(argv[1], "--now") == 0) {
    std::printf("%lld\n", nowMicroseconds());
    return 0;
  }
  int screenNumber = 0;
  xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(c)) {
    std::fprintf(stderr, "rootlog: cannot open the display\n");
    return 1;
  }
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
  for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
    xcb_screen_next(&screens);
  const xcb_window_t root = screens.data->root;

  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
  RootLog log(c, root);
  std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));  // selection in force
  std::printf("ready %lld\n", nowMicroseconds());
  std::fflush(stdout);

  while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
    log.handle(event, nowMicroseconds());
    std::free(event);
  }
  xcb_disconnect(c);
  return 0;
}
