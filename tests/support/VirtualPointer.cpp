// huvella-test-pointer: moves and clicks a pointer of its own on a wlroots
// compositor (zwlr_virtual_pointer_v1), since a headless one has no input
// devices. Absolute positions are over the layout's bounding box, in units
// of the extent given (twice the layout's size reaches half pixels).
//   huvella-test-pointer EXTENT_W EXTENT_H [COMMAND ...]
// with the commands `move X Y`, `press B`, `release B`, `click B` (B: left or
// right) and `wait MS`. With no command on the line it reads them from its
// input, a line at a time, answering "done" to each once the compositor has
// taken it, and keeps its pointer until the input ends: a seat
// that loses its last pointer takes the pointer from every client, and a
// client told of a new one late misses what it did first.
// Exits 0 once the compositor has taken every request, 2 on a usage error,
// 1 when there is no compositor or no virtual pointer.
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <linux/input-event-codes.h>
#include <sstream>
#include <string>
#include <thread>
#include <vector>
#include <wayland-client.h>

namespace {

zwlr_virtual_pointer_manager_v1* Manager = nullptr;
wl_seat* Seat = nullptr;

void Announced(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        Manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    else if (std::strcmp(interface, wl_seat_interface.name) == 0 && Seat == nullptr)
        Seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
}
void Removed(void*, wl_registry*, uint32_t) {}
const wl_registry_listener Listener{Announced, Removed};

uint32_t Now()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int Usage()
{
    std::fputs("usage: huvella-test-pointer EXTENT_W EXTENT_H [move X Y | press B | release B | "
               "click B | wait MS] ... (B: left or right)\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    const auto extentW = static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10));
    const auto extentH = static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10));
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fputs("huvella-test-pointer: no Wayland compositor\n", stderr);
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &Listener, nullptr);
    wl_display_roundtrip(display);
    if (Manager == nullptr) {
        std::fputs("huvella-test-pointer: the compositor offers no virtual pointer\n", stderr);
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(Manager, Seat);
    const auto button = [](const std::string& name) -> uint32_t {
        if (name == "left")
            return BTN_LEFT;
        if (name == "right")
            return BTN_RIGHT;
        return 0;
    };
    // Runs the commands in `words`; false on a usage error.
    const auto run = [&](const std::vector<std::string>& words) {
        for (std::size_t i = 0; i < words.size(); ++i) {
            const std::string& command = words[i];
            const bool hasOne = i + 1 < words.size();
            if (command == "move" && i + 2 < words.size()) {
                const auto x = static_cast<uint32_t>(std::stoul(words[i + 1]));
                const auto y = static_cast<uint32_t>(std::stoul(words[i + 2]));
                zwlr_virtual_pointer_v1_motion_absolute(pointer, Now(), x, y, extentW, extentH);
                zwlr_virtual_pointer_v1_frame(pointer);
                i += 2;
            } else if ((command == "press" || command == "release" || command == "click") &&
                       hasOne && button(words[i + 1]) != 0) {
                const uint32_t which = button(words[i + 1]);
                if (command != "release") {
                    zwlr_virtual_pointer_v1_button(pointer, Now(), which,
                                                   WL_POINTER_BUTTON_STATE_PRESSED);
                    zwlr_virtual_pointer_v1_frame(pointer);
                }
                if (command != "press") {
                    zwlr_virtual_pointer_v1_button(pointer, Now(), which,
                                                   WL_POINTER_BUTTON_STATE_RELEASED);
                    zwlr_virtual_pointer_v1_frame(pointer);
                }
                i += 1;
            } else if (command == "wait" && hasOne) {
                wl_display_roundtrip(display);
                std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(words[i + 1])));
                i += 1;
            } else {
                return false;
            }
            wl_display_roundtrip(display);
        }
        return true;
    };
    bool ok = true;
    if (argc > 3) {
        ok = run(std::vector<std::string>(argv + 3, argv + argc));
    } else {
        wl_display_roundtrip(display);
        for (std::string line; ok && std::getline(std::cin, line);) {
            std::istringstream words(line);
            ok = run({std::istream_iterator<std::string>(words), {}});
            // The compositor has taken the line's requests.
            std::cout << "done" << std::endl;
        }
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    if (!ok)
        return Usage();
    wl_display_roundtrip(display);
    zwlr_virtual_pointer_manager_v1_destroy(Manager);
    if (Seat != nullptr)
        wl_seat_destroy(Seat);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return 0;
}
