// A test tool that writes book records into the user's registry through the platform's registry
// calls only, so that tests/e2e/registry_concurrency.sh can run several at once, natively and
// under Wine, and check that every write of every process is there afterwards.
//
//   registry_writer write NAME COUNT        books NAME-0 .. NAME-(COUNT-1)
//   registry_writer check NAME... COUNT     exit 0 only when all those books are complete
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/registry.h"

namespace {

namespace reg = wbh::platform::registry;

constexpr char kReferrals[] = "Software\\Quarlo\\UserData\\Referrals\\";
constexpr std::uint8_t kTrack[4] = {1, 0, 0, 0};  // REG_DWORD 1

bool Failed(long result, const char* call, const std::string& book) {
    if (result == reg::kSuccess) return false;
    std::fprintf(stderr, "registry_writer: %s for %s failed with %ld\n", call, book.c_str(),
                 result);
    return true;
}

// A REG_SZ as the program stores it: the text and its NUL.
long SetText(reg::Key key, const char* name, const std::string& text) {
    return reg::SetValue(key, name, reg::kTypeString,
                         reinterpret_cast<const std::uint8_t*>(text.c_str()),
                         static_cast<std::uint32_t>(text.size() + 1));
}

bool Write(const std::string& book) {
    reg::Key key = nullptr;
    const std::string path = kReferrals + book;
    if (Failed(reg::CreateKey(reg::RootKey(reg::Root::kCurrentUser), path.c_str(), reg::kAllAccess,
                              &key),
               "CreateKey", book)) {
        return false;
    }
    const bool ok = !Failed(SetText(key, "UserID", book), "SetValue UserID", book) &&
                    !Failed(reg::SetValue(key, "ReaderTrack", reg::kTypeDword, kTrack, 4),
                            "SetValue ReaderTrack", book);
    return !Failed(reg::CloseKey(key), "CloseKey", book) && ok;
}

// True when the value holds exactly `type` and `bytes`.
bool Holds(reg::Key key, const char* name, std::uint32_t type, const void* bytes,
           std::uint32_t size, const std::string& book) {
    std::uint8_t buffer[256];
    std::uint32_t stored_type = 0;
    std::uint32_t stored_size = sizeof buffer;
    if (Failed(reg::QueryValue(key, name, &stored_type, buffer, &stored_size), name, book)) {
        return false;
    }
    if (stored_type == type && stored_size == size && std::memcmp(buffer, bytes, size) == 0) {
        return true;
    }
    std::fprintf(stderr, "registry_writer: %s of %s holds type %u, %u bytes\n", name, book.c_str(),
                 static_cast<unsigned>(stored_type), static_cast<unsigned>(stored_size));
    return false;
}

bool Check(const std::string& book) {
    reg::Key key = nullptr;
    const std::string path = kReferrals + book;
    if (Failed(reg::OpenKey(reg::RootKey(reg::Root::kCurrentUser), path.c_str(), reg::kRead, &key),
               "OpenKey", book)) {
        return false;
    }
    const bool ok = Holds(key, "UserID", reg::kTypeString, book.c_str(),
                          static_cast<std::uint32_t>(book.size() + 1), book) &&
                    Holds(key, "ReaderTrack", reg::kTypeDword, kTrack, sizeof kTrack, book);
    reg::CloseKey(key);
    return ok;
}

int Usage() {
    std::fprintf(stderr, "usage: registry_writer write NAME COUNT | check NAME... COUNT\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return Usage();
    const std::string command = argv[1];
    char* end = nullptr;
    const long count = std::strtol(argv[argc - 1], &end, 10);
    if (end == argv[argc - 1] || *end != '\0' || count < 0) return Usage();
    if (command != "check" && (command != "write" || argc != 4)) return Usage();

    int failures = 0;
    for (int name = 2; name < argc - 1; ++name) {
        for (long i = 0; i < count; ++i) {
            const std::string book = std::string(argv[name]) + "-" + std::to_string(i);
            if (command == "write") {
                if (!Write(book)) return 1;  // the first failure says enough
            } else {
                failures += !Check(book);
            }
        }
    }
    if (failures > 0) {
        std::fprintf(stderr, "registry_writer: %d of %ld books missing or incomplete\n", failures,
                     count * (argc - 3));
    }
    return failures == 0 ? 0 : 1;
}
