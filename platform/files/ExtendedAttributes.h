#pragma once
// A file's extended attributes (its access control list is one of them:
// system.posix_acl_access), so that a file that replaces another can carry
// exactly what the old one carried.
#include <map>
#include <optional>
#include <string>

class PosixCalls;

// Name to value.
using ExtendedAttributes = std::map<std::string, std::string>;

// Every attribute of the open file `fd`; none on a file system that has no
// such attributes; nullopt when they cannot be read.
std::optional<ExtendedAttributes> ReadExtendedAttributes(PosixCalls& calls, int fd);

// Gives the open file `fd` exactly `wanted`: what it lacks is set, what it has
// beyond them (a folder's default access list, say) removed. False when the
// file does not then carry exactly those: the system refused one (only root
// may set some kinds), or this file system keeps none.
bool GiveExtendedAttributes(PosixCalls& calls, int fd, const ExtendedAttributes& wanted);
