// No exception leaves a platform call or the run: the standard library throws when memory runs
// out, and the program knows only result codes.
#pragma once

namespace wbh {

// The body's result, or `failure` when it threw (running out of memory is all it can meet):
// the call then fails as it would for any other reason.
template <typename Result, typename Body>
Result NoThrow(Result failure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

}  // namespace wbh
