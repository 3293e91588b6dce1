// The text commands that steer a virtual reader's behaviour, shared by the
// simulator's control socket and command line. One line in, one reply out.
#pragma once

#include <string>

namespace kxsim {

class VirtualReader;

class VirtualReaderControl
{
public:
    // Commands (numbers decimal or 0x-hex, identifiers and keys as hex digits):
    //   tag place <type> <uid> [family <n>] [serial <hex>] [key <hex>] [noapp]
    //   tag remove <uid> | tag clear | tag list
    //   present <identifier> [antenna <n>] [at <yyyy-MM-ddTHH:mm[:ss]>]
    //   clock | clock set <yyyy-MM-ddTHH:mm[:ss]>
    //   inputs <n>
    //   status <command> <status> [count]   (count -1: every time) | status clear
    //   dump tables | dump blocks | dump events
    //   info
    // Replies start with "OK" or "ERROR"; dumps and lists follow on further lines.
    static std::string run(VirtualReader &reader, const std::string &line);
    static std::string help();
};

} // namespace kxsim
