// Environment variables given back as they were (set or unset) when the holder goes away.
#pragma once

#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

namespace wbh::test {

class SavedEnvironment {
public:
    SavedEnvironment(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            const char* value = std::getenv(name);
            saved_.push_back({name, value != nullptr, value != nullptr ? value : ""});
        }
    }
    ~SavedEnvironment() {
        for (const auto& [name, set, value] : saved_) {
            set ? setenv(name.c_str(), value.c_str(), 1) : unsetenv(name.c_str());
        }
    }
    SavedEnvironment(const SavedEnvironment&) = delete;
    SavedEnvironment& operator=(const SavedEnvironment&) = delete;

private:
    struct Variable {
        std::string name;
        bool set;
        std::string value;
    };
    std::vector<Variable> saved_;
};

}  // namespace wbh::test
