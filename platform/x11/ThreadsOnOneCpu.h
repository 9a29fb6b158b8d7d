#pragma once
// While the picker samples, the program's threads hand work to each other at
// every X event and every tick: the toolkit's reader thread wakes the main
// thread for each event it reads. When the scheduler puts the two on different
// CPUs, each hand-off is an inter-processor wake-up, which a virtual machine
// pays for dearly: the same pointer path over the window cost 2 % of a core in
// some runs and up to 8.5 % in others. Kept on one CPU, they hand off without.
#include <sched.h>
#include <sys/types.h>
#include <vector>

class ThreadsOnOneCpu {
public:
    // Keeps every thread of the process on the CPU the calling thread runs on.
    // Where the system refuses, the threads stay as they were.
    ThreadsOnOneCpu();
    // Gives each thread back the CPUs it had. Threads started meanwhile get
    // those of the thread that made this object.
    ~ThreadsOnOneCpu();
    ThreadsOnOneCpu(const ThreadsOnOneCpu&) = delete;
    ThreadsOnOneCpu& operator=(const ThreadsOnOneCpu&) = delete;

    // The process's threads, by their kernel ids.
    static std::vector<pid_t> Threads();

private:
    struct Allowed {
        pid_t thread;
        cpu_set_t cpus;
    };
    std::vector<Allowed> FBefore;
    cpu_set_t FOwnBefore{};
    bool FMoved = false;
};
