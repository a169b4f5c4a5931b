// The running copy's lock and the control channel other starts reach it through: the types the platform
// interface uses for them. No Qt and no OS headers here.
#pragma once

#include <functional>
#include <string>

namespace vantor {

// Held for as long as the object lives; the system lets go of it when the process ends, however it ends.
class InstanceLock {
public:
    virtual ~InstanceLock() = default;
};

// What trying the lock gave: held by this process (the lock object is returned), held by a running
// process, or the file cannot serve as a lock (a folder, a link, no right to make it).
enum class LockOutcome { Held, HeldByOther, Unusable };

// Serves the channel until the object is destroyed.
class ControlServer {
public:
    virtual ~ControlServer() = default;
};

// Gets one request line (without its line end, at most a few hundred bytes) on the channel's own thread
// and returns the answer to send back. It may take its time: the channel serves one client at a time, and
// the program's window never waits for a client.
using ControlHandler = std::function<std::string(const std::string& request)>;

// What asking the running copy gave.
struct ControlReply {
    enum class Status { Answered, NoServer, NoAnswer };
    Status status = Status::NoServer;
    std::string answer;
};

} // namespace vantor
