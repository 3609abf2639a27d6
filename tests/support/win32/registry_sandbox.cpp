// The Windows sandbox: the tests run in a throwaway Wine prefix, so removing the program's keys
// before and after each test is enough.
#include "support/registry_sandbox.h"

#include <windows.h>

namespace wbh::test {
namespace {

void RemoveProgramKeys() {
    for (const char* key :
         {"Software\\Quarlo", "Software\\Classes\\.7xe", "Software\\Classes\\7xefile"}) {
        RegDeleteTreeA(HKEY_CURRENT_USER, key);
    }
    for (const char* key : {".7xe", "7xefile"}) RegDeleteTreeA(HKEY_CLASSES_ROOT, key);
}

}  // namespace

struct RegistrySandbox::State {};

RegistrySandbox::RegistrySandbox() : state_(std::make_unique<State>()) { RemoveProgramKeys(); }

RegistrySandbox::~RegistrySandbox() { RemoveProgramKeys(); }

}  // namespace wbh::test
