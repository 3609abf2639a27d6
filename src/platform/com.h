// The owner of the COM apartment on the program's one thread: the run holds one for its whole
// length, and the Windows reader component nests one inside it. On Windows this is CoInitialize
// / CoUninitialize; POSIX has no COM, and its scope is always Ok.
#pragma once

namespace wbh::platform {

class ComScope {
public:
    ComScope();
    ~ComScope();  // uninitialises only when the initialisation succeeded
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

    bool Ok() const { return ok_; }

private:
    bool ok_;
};

}  // namespace wbh::platform
