#include "platform/x11/ThreadsOnOneCpu.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <unistd.h>

std::vector<pid_t> ThreadsOnOneCpu::Threads()
{
    std::vector<pid_t> threads;
    DIR* tasks = opendir("/proc/self/task");
    if (tasks == nullptr)
        return threads;
    while (const dirent* entry = readdir(tasks)) {
        if (entry->d_name[0] != '.')
            threads.push_back(static_cast<pid_t>(std::atoi(entry->d_name)));
    }
    closedir(tasks);
    return threads;
}

ThreadsOnOneCpu::ThreadsOnOneCpu()
{
    const int cpu = sched_getcpu();
    // A machine with more CPUs than a cpu_set_t holds fails here: left alone.
    if (cpu < 0 || cpu >= CPU_SETSIZE || sched_getaffinity(0, sizeof FOwnBefore, &FOwnBefore) != 0)
        return;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(cpu, &one);
    for (const pid_t thread : Threads()) {
        Allowed before{thread, {}};
        // A thread that ended meanwhile, or that the system won't move, keeps its CPUs.
        if (sched_getaffinity(thread, sizeof before.cpus, &before.cpus) == 0) {
            FBefore.push_back(before);
            sched_setaffinity(thread, sizeof one, &one);
        }
    }
    FMoved = true;
}

ThreadsOnOneCpu::~ThreadsOnOneCpu()
{
    if (!FMoved)
        return;
    for (const pid_t thread : Threads()) {
        const auto before = std::find_if(FBefore.begin(), FBefore.end(),
                                         [thread](const Allowed& a) { return a.thread == thread; });
        const cpu_set_t& cpus = before != FBefore.end() ? before->cpus : FOwnBefore;
        sched_setaffinity(thread, sizeof cpus, &cpus);
    }
}
