// Test tool: how long a window of another program goes without answering. Pings the window as a
// window manager does (_NET_WM_PING) every 10 ms for the seconds given and prints the longest
// wait for an answer, in milliseconds. A program answers only from its event loop, so this is
// the longest time its windows were frozen.
//
//   vx_pingprobe WINDOW SECONDS
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <poll.h>
#include <xcb/xcb.h>

namespace
{

using Clock = std::chrono::steady_clock;

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s WINDOW SECONDS\n", argv[0]);
        return 2;
    }
    const auto window = xcb_window_t(std::strtoul(argv[1], nullptr, 0));
    const auto length = std::chrono::duration<double>(std::atof(argv[2]));
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    // Answers go to the root window, to whoever listens for its structure changes.
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t protocols = atom(connection, "WM_PROTOCOLS");
    const xcb_atom_t ping = atom(connection, "_NET_WM_PING");

    std::map<uint32_t, Clock::time_point> unanswered;
    Clock::duration longest{};
    uint32_t serial = 0;
    const Clock::time_point start = Clock::now();
    Clock::time_point next = start;
    while (Clock::now() - start < length) {
        if (Clock::now() >= next) {
            xcb_client_message_event_t message{};
            message.response_type = XCB_CLIENT_MESSAGE;
            message.format = 32;
            message.window = window;
            message.type = protocols;
            message.data.data32[0] = ping;
            message.data.data32[1] = ++serial;
            message.data.data32[2] = window;
            xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char*>(&message));
            xcb_flush(connection);
            unanswered[serial] = Clock::now();
            next += std::chrono::milliseconds(10);
        }
        pollfd readable{xcb_get_file_descriptor(connection), POLLIN, 0};
        ::poll(&readable, 1, 5);
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const auto* reply = reinterpret_cast<const xcb_client_message_event_t*>(event);
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE && reply->type == protocols &&
                reply->data.data32[0] == ping && reply->data.data32[2] == window) {
                const auto sent = unanswered.find(reply->data.data32[1]);
                if (sent != unanswered.end()) {
                    longest = std::max(longest, Clock::now() - sent->second);
                    unanswered.erase(sent);
                }
            }
            std::free(event);
        }
        if (xcb_connection_has_error(connection))
            return 2;
    }
    for (const auto& waiting : unanswered)
        longest = std::max(longest, Clock::now() - waiting.second);
    std::printf("%lld\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(longest).count()));
    xcb_disconnect(connection);
    return 0;
}
