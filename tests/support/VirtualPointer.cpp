// huvella-test-pointer: moves and clicks a pointer of its own on a wlroots
// compositor (zwlr_virtual_pointer_v1), since a headless one has no input
// devices, and on request types on a keyboard of its own too
// (zwp_virtual_keyboard_v1). Absolute positions are over the layout's bounding
// box, in units of the extent given (twice the layout's size reaches half
// pixels).
//   huvella-test-pointer EXTENT_W EXTENT_H [COMMAND ...]
// with the commands `move X Y`, `press B`, `release B`, `click B` (B: left or
// right), `wait MS`, `keyboard` (plugs the keyboard in, with a US layout) and
// `key NAME` (presses and lets go the key of that key symbol, "Return", "Down").
// With no command on the line it reads them from its input, a line at a time,
// answering "done" to each once the compositor has taken it, and keeps its
// pointer and keyboard until the input ends: a seat that loses its last
// pointer takes the pointer from every client, and a client told of a new
// device late misses what it did first, so a test plugs the keyboard in
// before it starts the program that is to hear it.
// Exits 0 once the compositor has taken every request, 2 on a usage error,
// 1 when there is no compositor or no virtual pointer or keyboard.
#include "virtual-keyboard-unstable-v1-client-protocol.h"
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
#include <sys/mman.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

namespace {

zwlr_virtual_pointer_manager_v1* Manager = nullptr;
zwp_virtual_keyboard_manager_v1* KeyboardManager = nullptr;
wl_seat* Seat = nullptr;

void Announced(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        Manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0)
        KeyboardManager = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
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
               "click B | wait MS | keyboard | key NAME] ... (B: left or right)\n",
               stderr);
    return 2;
}

// A keyboard of the seat's, with one keymap for its whole life: a keyboard
// whose keymap changes, or a second one, is a switch of keymaps for the
// client that hears it, and keys sent around the switch can be misread.
class Keyboard {
public:
    // False when the compositor offers no virtual keyboard or the keymap
    // cannot be made.
    bool plugIn()
    {
        if (FKeyboard != nullptr)
            return true;
        if (KeyboardManager == nullptr || Seat == nullptr)
            return false;
        const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
        FContext = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        FKeymap = FContext == nullptr ? nullptr
                                      : xkb_keymap_new_from_names(FContext, &names,
                                                                  XKB_KEYMAP_COMPILE_NO_FLAGS);
        if (FKeymap == nullptr)
            return false;
        char* text = xkb_keymap_get_as_string(FKeymap, XKB_KEYMAP_FORMAT_TEXT_V1);
        const std::size_t size = std::strlen(text) + 1;
        const int fd = memfd_create("huvella-test-keymap", MFD_CLOEXEC);
        const bool written =
            fd >= 0 && write(fd, text, size) == static_cast<ssize_t>(size);
        std::free(text);
        if (written) {
            FKeyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(KeyboardManager,
                                                                                Seat);
            zwp_virtual_keyboard_v1_keymap(FKeyboard, XKB_KEYMAP_FORMAT_TEXT_V1,
                                           fd, static_cast<uint32_t>(size));
        }
        if (fd >= 0)
            close(fd);
        return written;
    }
    // Presses and lets go the key that gives `name`, as two deliveries, as a
    // hand types. False when the keyboard is not plugged in or has no such key.
    bool type(wl_display* display, const std::string& name)
    {
        const uint32_t code = FKeyboard != nullptr ? codeOf(name) : 0;
        if (code == 0)
            return false;
        zwp_virtual_keyboard_v1_key(FKeyboard, Now(), code, WL_KEYBOARD_KEY_STATE_PRESSED);
        wl_display_roundtrip(display);
        zwp_virtual_keyboard_v1_key(FKeyboard, Now(), code, WL_KEYBOARD_KEY_STATE_RELEASED);
        return true;
    }

    // Before the connection closes.
    void unplug()
    {
        if (FKeyboard != nullptr)
            zwp_virtual_keyboard_v1_destroy(FKeyboard);
        FKeyboard = nullptr;
        if (KeyboardManager != nullptr)
            zwp_virtual_keyboard_manager_v1_destroy(KeyboardManager);
        KeyboardManager = nullptr;
    }

    ~Keyboard()
    {
        xkb_keymap_unref(FKeymap);
        xkb_context_unref(FContext);
    }

private:
    // The evdev code of the key that gives `name` unshifted, 0 when none does.
    uint32_t codeOf(const std::string& name) const
    {
        const xkb_keysym_t wanted = xkb_keysym_from_name(name.c_str(), XKB_KEYSYM_NO_FLAGS);
        if (wanted == XKB_KEY_NoSymbol)
            return 0;
        for (xkb_keycode_t key = xkb_keymap_min_keycode(FKeymap);
             key <= xkb_keymap_max_keycode(FKeymap); ++key) {
            const xkb_keysym_t* symbols = nullptr;
            const int count = xkb_keymap_key_get_syms_by_level(FKeymap, key, 0, 0, &symbols);
            if (count == 1 && symbols[0] == wanted)
                return key - 8; // xkb numbers keys 8 above evdev
        }
        return 0;
    }

    xkb_context* FContext = nullptr;
    xkb_keymap* FKeymap = nullptr;
    zwp_virtual_keyboard_v1* FKeyboard = nullptr;
};

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
    Keyboard keyboard;
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
            } else if (command == "keyboard") {
                if (!keyboard.plugIn()) {
                    std::fputs("huvella-test-pointer: the compositor offers no virtual keyboard\n",
                               stderr);
                    std::exit(1);
                }
            } else if (command == "key" && hasOne && keyboard.type(display, words[i + 1])) {
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
    keyboard.unplug();
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
