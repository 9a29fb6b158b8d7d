#pragma once
// While one lives, root obeys file permission bits like any user: the process
// lowers the capabilities that pass over them (they stay permitted, so the
// destructor raises them again). For other users it changes nothing.
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

class RootObeysPermissions {
public:
    RootObeysPermissions()
    {
        syscall(SYS_capget, &FHeader, FSaved);
        __user_cap_data_struct lowered[2] = {FSaved[0], FSaved[1]};
        lowered[0].effective &=
            ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        syscall(SYS_capset, &FHeader, lowered);
    }
    RootObeysPermissions(const RootObeysPermissions&) = delete;
    RootObeysPermissions& operator=(const RootObeysPermissions&) = delete;
    ~RootObeysPermissions() { syscall(SYS_capset, &FHeader, FSaved); }

private:
    __user_cap_header_struct FHeader{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct FSaved[2]{};
};
