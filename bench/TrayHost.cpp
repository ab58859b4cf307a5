// A bare notification area for measuring under Xvfb: it owns the system-tray selection of the
// default screen and takes in every icon docked into it, so a program that hides into the tray
// can be measured hidden, as on a desktop. Like a window manager, it gives the keyboard focus to
// each window that is mapped, so a shown window is the active one (as its user would have it). It exits at
// once (status 0) when another tray already owns the selection; it runs until it is killed or the display
// goes away.
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr std::uint32_t kRequestDock = 0;
constexpr std::uint16_t kIconSize = 24;

xcb_atom_t Atom(xcb_connection_t* c, const std::string& name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.c_str()), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

}  // namespace

int main() {
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "bench_tray_host: cannot connect to the X display\n");
        return 1;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&it);
    xcb_screen_t* screen = it.data;

    const xcb_atom_t selection = Atom(c, "_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber));
    const xcb_atom_t manager = Atom(c, "MANAGER");
    const xcb_atom_t opcode = Atom(c, "_NET_SYSTEM_TRAY_OPCODE");
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
    const bool taken = owner && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    if (taken) {
        xcb_disconnect(c);
        return 0;
    }

    const xcb_window_t tray = xcb_generate_id(c);
    const std::uint32_t mask = XCB_CW_EVENT_MASK;
    const std::uint32_t events[] = {XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, tray, screen->root, 0, 0, kIconSize * 8, kIconSize, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, mask, events);
    xcb_map_window(c, tray);
    // Top-level windows being mapped: they get the focus.
    const std::uint32_t rootEvents[] = {XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
    xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, rootEvents);
    xcb_set_selection_owner(c, tray, selection, XCB_CURRENT_TIME);

    // Tell the clients waiting for a tray that there is one now.
    xcb_client_message_event_t announce{};
    announce.response_type = XCB_CLIENT_MESSAGE;
    announce.format = 32;
    announce.window = screen->root;
    announce.type = manager;
    announce.data.data32[0] = XCB_CURRENT_TIME;
    announce.data.data32[1] = selection;
    announce.data.data32[2] = tray;
    xcb_send_event(c, 0, screen->root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&announce));
    xcb_flush(c);

    std::printf("bench_tray_host: tray on screen %d\n", screenNumber);
    std::fflush(stdout);

    std::int16_t nextX = 0;
    for (;;) {
        xcb_generic_event_t* event = xcb_wait_for_event(c);
        if (!event) break;  // the display went away
        if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY) {
            auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            if (map->event == screen->root && !map->override_redirect && map->window != tray) {
                xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, map->window, XCB_CURRENT_TIME);
                xcb_flush(c);
            }
        } else if ((event->response_type & 0x7F) == XCB_CLIENT_MESSAGE) {
            auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
            if (message->type == opcode && message->data.data32[1] == kRequestDock) {
                const xcb_window_t icon = message->data.data32[2];
                xcb_reparent_window(c, icon, tray, nextX, 0);
                const std::uint32_t size[] = {kIconSize, kIconSize};
                xcb_configure_window(c, icon, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
                xcb_map_window(c, icon);
                xcb_flush(c);
                nextX = static_cast<std::int16_t>(nextX + kIconSize);
            }
        }
        std::free(event);
    }
    xcb_disconnect(c);
    return 0;
}
