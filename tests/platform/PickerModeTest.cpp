// Which picker the program uses: the one asked for, or for Auto the one the
// session allows. Only a Wayland session takes the portal.
#include "platform/PickerMode.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

TEST(PickerMode, ResolvedFromTheSession)
{
    using Variables = std::vector<std::pair<const char*, const char*>>;
    struct Row {
        const char* name;
        PickerMode asked;
        Variables environment;
        PickerMode resolved;
    };
    const Row rows[] = {
        {"no session", PickerMode::Auto, {}, PickerMode::Live},
        {"X11",
         PickerMode::Auto,
         {{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "x11"}},
         PickerMode::Live},
        {"Wayland", PickerMode::Auto, {{"WAYLAND_DISPLAY", "wayland-0"}}, PickerMode::Portal},
        {"XWayland",
         PickerMode::Auto,
         {{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}},
         PickerMode::Portal},
        {"Wayland session type",
         PickerMode::Auto,
         {{"XDG_SESSION_TYPE", "wayland"}},
         PickerMode::Portal},
        {"empty Wayland display", PickerMode::Auto, {{"WAYLAND_DISPLAY", ""}}, PickerMode::Live},
        {"text console", PickerMode::Auto, {{"XDG_SESSION_TYPE", "tty"}}, PickerMode::Live},
        {"live asked on Wayland",
         PickerMode::Live,
         {{"WAYLAND_DISPLAY", "wayland-0"}},
         PickerMode::Live},
        {"portal asked on X11", PickerMode::Portal, {{"DISPLAY", ":0"}}, PickerMode::Portal},
    };
    for (const Row& row : rows) {
        QProcessEnvironment environment;
        for (const auto& [name, value] : row.environment)
            environment.insert(name, value);
        EXPECT_EQ(ResolvePickerMode(row.asked, environment), row.resolved) << row.name;
    }
}
