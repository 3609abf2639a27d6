// A registry of the test's own: natively a fresh registry database in a temporary directory,
// under Wine the program's keys removed before and after the test.
#pragma once

#include <memory>

namespace wbh::test {

class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace wbh::test
