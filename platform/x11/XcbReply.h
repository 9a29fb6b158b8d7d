#pragma once
// An XCB reply, error or event: memory that XCB hands over with malloc, owned
// until the scope ends.
#include <cstdlib>
#include <memory>

struct XcbFree {
    void operator()(void* reply) const { std::free(reply); }
};
template <class T> using XcbReply = std::unique_ptr<T, XcbFree>;
