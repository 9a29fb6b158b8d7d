// huvella-test-kwin-input: the pointer and keys of a headless KWin, through
// its fake input (org_kde_kwin_fake_input), which KWin grants only to a
// program its desktop file names (with-kwin --fake-input PATH). Commands, a
// line at a time from its input, each answered "ok" once KWin has taken it
// (or "error: ..."), after "ready":
//   move OUTPUT X Y   the pointer to physical pixel (X, Y) of that output
//                     (named as wl_output names it: Virtual-0, ...)
//   press | release | click [left|right]
//   key NAME          a key pressed and released: Return Escape space Tab
//                     Left Right Up Down Shift_L
#include "fake-input-client-protocol.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <linux/input-event-codes.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>
#include <wayland-client.h>

namespace {

struct Output {
    wl_output* output = nullptr;
    std::string name;
    int x = 0, y = 0, scale = 1;
};

org_kde_kwin_fake_input* Input = nullptr;
std::vector<Output*> Outputs;

void Geometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t, const char*,
              const char*, int32_t)
{
    auto* o = static_cast<Output*>(data);
    o->x = x;
    o->y = y;
}
void Mode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {}
void Done(void*, wl_output*) {}
void Scale(void* data, wl_output*, int32_t scale)
{
    static_cast<Output*>(data)->scale = scale;
}
void Name(void* data, wl_output*, const char* name)
{
    static_cast<Output*>(data)->name = name;
}
void Description(void*, wl_output*, const char*) {}
const wl_output_listener OutputListener{Geometry, Mode, Done, Scale, Name, Description};

void Announced(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t version)
{
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0) {
        Input = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        auto* o = new Output;
        o->name = "output-" + std::to_string(Outputs.size());
        o->output = static_cast<wl_output*>(
            wl_registry_bind(registry, name, &wl_output_interface, version < 4 ? version : 4));
        wl_output_add_listener(o->output, &OutputListener, o);
        Outputs.push_back(o);
    }
}
void Removed(void*, wl_registry*, uint32_t) {}
const wl_registry_listener Listener{Announced, Removed};

const std::map<std::string, uint32_t> Keys{
    {"Return", KEY_ENTER}, {"Escape", KEY_ESC}, {"space", KEY_SPACE},
    {"Tab", KEY_TAB},      {"Left", KEY_LEFT},  {"Right", KEY_RIGHT},
    {"Up", KEY_UP},        {"Down", KEY_DOWN},  {"Shift_L", KEY_LEFTSHIFT}};

uint32_t ButtonOf(const std::string& name)
{
    return name == "right" ? BTN_RIGHT : BTN_LEFT;
}

// One command; an error message, or empty.
std::string Run(const std::string& line)
{
    std::istringstream in(line);
    std::string command, arg;
    in >> command;
    if (command == "move") {
        double x = 0, y = 0;
        in >> arg >> x >> y;
        for (const Output* o : Outputs)
            if (o->name == arg) {
                org_kde_kwin_fake_input_pointer_motion_absolute(
                    Input, wl_fixed_from_double(o->x + x / o->scale),
                    wl_fixed_from_double(o->y + y / o->scale));
                return {};
            }
        return "no output " + arg;
    }
    if (command == "press" || command == "release" || command == "click") {
        in >> arg;
        const uint32_t button = ButtonOf(arg);
        if (command != "release")
            org_kde_kwin_fake_input_button(Input, button, WL_POINTER_BUTTON_STATE_PRESSED);
        if (command != "press")
            org_kde_kwin_fake_input_button(Input, button, WL_POINTER_BUTTON_STATE_RELEASED);
        return {};
    }
    if (command == "key") {
        in >> arg;
        const auto key = Keys.find(arg);
        if (key == Keys.end())
            return "unknown key " + arg;
        org_kde_kwin_fake_input_keyboard_key(Input, key->second, 1);
        org_kde_kwin_fake_input_keyboard_key(Input, key->second, 0);
        return {};
    }
    return "unknown command " + command;
}

} // namespace

int main()
{
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fputs("huvella-test-kwin-input: no compositor\n", stderr);
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &Listener, nullptr);
    wl_display_roundtrip(display);
    wl_display_roundtrip(display); // the outputs' places and names
    if (Input == nullptr) {
        std::fputs("huvella-test-kwin-input: KWin offers no fake input\n", stderr);
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(Input, "huvella tests", "moves the test's pointer");
    wl_display_roundtrip(display);
    std::cout << "ready" << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line.empty())
            continue;
        const std::string error = Run(line);
        if (wl_display_roundtrip(display) < 0) {
            std::cout << "error: the connection broke" << std::endl;
            return 1;
        }
        std::cout << (error.empty() ? "ok" : "error: " + error) << std::endl;
    }
    for (Output* o : Outputs) {
        wl_output_destroy(o->output);
        delete o;
    }
    org_kde_kwin_fake_input_destroy(Input);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return 0;
}
