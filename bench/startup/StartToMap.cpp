// Start-up seen from outside: an X client that starts each program in turn and
// waits for its window's MapNotify, the moment the X server puts the window on
// the screen. The programs alternate pair by pair, in swapped order every
// other pair, so that a slow spell of the machine falls on both.
//   StartToMap PAIRS PROGRAM YARDSTICK
// Prints the median launch-to-map time of each, in microseconds, and the ratio;
// and the median processor time each used up to then, which a busy machine
// disturbs far less than the time on the clock.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int PatienceMs = 20000;

struct FreeEvent {
    void operator()(void* event) const { std::free(event); }
};

// Waits until the X server has handled everything asked so far.
void Sync(xcb_connection_t* xcb)
{
    std::free(xcb_get_input_focus_reply(xcb, xcb_get_input_focus(xcb), nullptr));
}

struct Sample {
    long long micros = -1;   // launch to map
    long long cpuMicros = 0; // user and system time, up to the map and a little after
};

// Launch to the first top-level window mapped afterwards; -1 when no window came.
Sample LaunchToMap(xcb_connection_t* xcb, const char* program)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(program), nullptr};
    pid_t child = 0;
    const Clock::time_point start = Clock::now();
    const int spawned = posix_spawn(&child, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        std::fprintf(stderr, "cannot start %s\n", program);
        return {};
    }

    long long micros = -1;
    pollfd fd{xcb_get_file_descriptor(xcb), POLLIN, 0};
    while (micros < 0) {
        std::unique_ptr<xcb_generic_event_t, FreeEvent> event(xcb_poll_for_event(xcb));
        if (!event) {
            if (xcb_connection_has_error(xcb) || poll(&fd, 1, PatienceMs) <= 0)
                break;
            continue;
        }
        if ((event->response_type & 0x7F) != XCB_MAP_NOTIFY)
            continue;
        const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event.get());
        if (map->override_redirect) // a tool-tip or menu, not the window
            continue;
        micros =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
    }
    kill(child, SIGTERM);
    rusage usage{};
    wait4(child, nullptr, 0, &usage);
    const auto toMicros = [](timeval t) { return t.tv_sec * 1000000LL + t.tv_usec; };
    // Whatever the program mapped on its way out belongs to no measurement.
    Sync(xcb);
    while (std::unique_ptr<xcb_generic_event_t, FreeEvent>(xcb_poll_for_event(xcb))) {
    }
    return {micros, toMicros(usage.ru_utime) + toMicros(usage.ru_stime)};
}

long long Median(std::vector<long long> values)
{
    std::sort(values.begin(), values.end());
    return values[(values.size() - 1) / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4 || std::atoi(argv[1]) < 1) {
        std::fprintf(stderr, "usage: %s PAIRS PROGRAM YARDSTICK\n", argv[0]);
        return 2;
    }
    const int pairs = std::atoi(argv[1]);
    xcb_connection_t* xcb = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(xcb)) {
        std::fprintf(stderr, "%s: no X display\n", argv[0]);
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(xcb)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(xcb, root, XCB_CW_EVENT_MASK, &mask);
    Sync(xcb);

    // One of each first, to bring the files into the page cache.
    LaunchToMap(xcb, argv[2]);
    LaunchToMap(xcb, argv[3]);
    std::vector<Sample> program, yardstick;
    for (int pair = 0; pair < pairs; ++pair) {
        const bool programFirst = pair % 2 == 0;
        const Sample first = LaunchToMap(xcb, argv[programFirst ? 2 : 3]);
        const Sample second = LaunchToMap(xcb, argv[programFirst ? 3 : 2]);
        if (first.micros < 0 || second.micros < 0)
            return 1;
        program.push_back(programFirst ? first : second);
        yardstick.push_back(programFirst ? second : first);
    }
    const auto median = [](const std::vector<Sample>& samples, long long Sample::*field) {
        std::vector<long long> values;
        for (const Sample& sample : samples)
            values.push_back(sample.*field);
        return Median(values);
    };
    std::vector<long long> ratios; // per pair, in thousandths
    for (int pair = 0; pair < pairs; ++pair)
        ratios.push_back(program[pair].micros * 1000 / yardstick[pair].micros);
    const long long p = median(program, &Sample::micros), y = median(yardstick, &Sample::micros);
    std::printf("launch to map (median of %d pairs): program %lld us, yardstick %lld us, "
                "ratio %.3f (median of the pairs' ratios %.3f)\n",
                pairs, p, y, double(p) / double(y), double(Median(ratios)) / 1000.0);
    const long long pc = median(program, &Sample::cpuMicros);
    const long long yc = median(yardstick, &Sample::cpuMicros);
    std::printf("processor time to map (median): program %lld us, yardstick %lld us, ratio %.3f\n",
                pc, yc, double(pc) / double(yc));
    xcb_disconnect(xcb);
    return 0;
}
