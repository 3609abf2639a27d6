// A desktop of the test's own: natively a fresh HOME with a Desktop folder, under Wine the
// user's "Desktop" shell folder redirected while the test runs.
#pragma once

#include <filesystem>
#include <memory>
#include <set>
#include <string>

namespace wbh::test {

class DesktopSandbox {
public:
    DesktopSandbox();
    ~DesktopSandbox();

    const std::filesystem::path& Folder() const;
    // The names of the files in it, sorted and joined by "|".
    std::string Names() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Folder()))
            names.insert(entry.path().filename().string());
        std::string list;
        for (const std::string& name : names) list += (list.empty() ? "" : "|") + name;
        return list;
    }

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace wbh::test
