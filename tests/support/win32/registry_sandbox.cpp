// The Windows sandbox: the tests run in a throwaway Wine prefix, so removing the program's keys
// before and after each test is enough.
#include "support/registry_sandbox.h"

#include <windows.h>

namespace wbh::test {
namespace {

void RemoveProgramKeys() {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quarlo");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\.7xe");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\7xefile");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Classes\\.7xe");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Classes\\7xefile");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".7xe");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "7xefile");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, ".7xe");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "7xefile");
}

}  // namespace

struct RegistrySandbox::State {};

RegistrySandbox::RegistrySandbox() : state_(std::make_unique<State>()) { RemoveProgramKeys(); }

RegistrySandbox::~RegistrySandbox() { RemoveProgramKeys(); }

}  // namespace wbh::test
