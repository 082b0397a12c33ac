// Start to mapped window: starts a program and prints, in microseconds, the
// time until the X server maps its first top-level window (the MapNotify
// that the window manager's frame or the window itself causes on the root
// window), then ends the program. One stated method, exact to the event.
//
// Run: map_time PROGRAM [ARGS...]   (DISPLAY must name a server with a
// window manager: bench/window_start.sh sets one up)

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

extern char** environ;

int main(int argc, char* argv[]) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: map_time PROGRAM [ARGS...]\n");
    return 2;
  }
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(connection)) {
    std::fprintf(stderr, "map_time: no X display\n");
    return 2;
  }
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  // Checked, so that the listener is surely in place before the start.
  if (std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error{
          xcb_request_check(connection, xcb_change_window_attributes_checked(connection, screen->root,
                                                                             XCB_CW_EVENT_MASK, &mask)),
          &std::free}) {
    std::fprintf(stderr, "map_time: cannot listen on the root window\n");
    return 2;
  }

  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  if (posix_spawn(&child, argv[1], nullptr, nullptr, argv + 1, environ) != 0) {
    std::fprintf(stderr, "map_time: cannot start %s\n", argv[1]);
    return 2;
  }
  int status = 1;
  while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
    const bool mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY &&
                        !reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect;
    std::free(event);
    if (!mapped) continue;
    const auto took = std::chrono::steady_clock::now() - start;
    std::printf("%lld\n", static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(took).count()));
    status = 0;
    break;
  }
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  xcb_disconnect(connection);
  return status;
}
