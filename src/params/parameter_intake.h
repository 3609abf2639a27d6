// The one parameter intake of every level (the launch, mode 1, mode 2): a level's table of the
// options it reads, and the scan of the command line and then the parameters file into its
// fields. The file is read after the command line, so its values win; a level's own
// "parametersfilepath" names the file, which can never name another.
#pragma once

#include <cstddef>
#include <string_view>

#include "common/ascii.h"
#include "common/bounded_text.h"
#include "common/function_ref.h"

namespace wbh {

// The option that names the parameters file, which every level reads from the command line.
inline constexpr char kParametersFileOption[] = "parametersfilepath";

// One text field of a level's parameters, of whatever size, or none.
class FieldRef {
public:
    FieldRef() = default;
    template <std::size_t N>
    FieldRef(BoundedText<N>& field) noexcept  // NOLINT(google-explicit-constructor)
        : field_(&field),
          assign_([](void* f, std::string_view value) {
              return static_cast<BoundedText<N>*>(f)->Assign(value);
          }),
          text_([](const void* f) { return static_cast<const BoundedText<N>*>(f)->CStr(); }) {}

    explicit operator bool() const { return field_ != nullptr; }
    // Refused whole, the field keeping its text, when the value does not fit.
    bool Assign(std::string_view value) const { return assign_(field_, value); }
    const char* CStr() const { return text_(field_); }

private:
    void* field_ = nullptr;
    bool (*assign_)(void*, std::string_view) = nullptr;
    const char* (*text_)(const void*) = nullptr;
};

template <class Member>
struct MemberOf;
template <class Params, class Field>
struct MemberOf<Field Params::*> {
    using Owner = Params;
};

// The field `Member` (&Params::field) of a parameter set, as a table's entry names it.
template <auto Member>
FieldRef FieldOf(typename MemberOf<decltype(Member)>::Owner& params) {
    return params.*Member;
}

// One option a level reads: its name (compared case-insensitively in ASCII), whether a
// parameters file's [parameters] section may set it too, and its field.
template <class Params>
struct Option {
    const char* name;
    bool from_file;
    FieldRef (*field)(Params&);
};

// The field an option name or a file's key sets (`from_file`), or none.
using FieldFinder = FunctionRef<FieldRef(std::string_view name, bool from_file)>;

// Scans the command line into the fields, then reads the parameters file that the level's
// "parametersfilepath" names (when not empty) into the fields the file may set; a later
// occurrence replaces an earlier one. Returns 0 when the parameters file ended the reading (a
// value that reads back as the sentinel): the level then does nothing more; else 1.
int TakeParameters(const char* command_line, FieldFinder find);

template <class Params, std::size_t N>
int TakeParameters(const char* command_line, const Option<Params> (&table)[N], Params& params) {
    return TakeParameters(command_line, [&](std::string_view name, bool from_file) {
        for (const Option<Params>& option : table) {
            if ((option.from_file || !from_file) && EqualsNoCase(name, option.name)) {
                return option.field(params);
            }
        }
        return FieldRef();
    });
}

// Whether the table has an option of that name.
template <class Params, std::size_t N>
bool HasOption(const Option<Params> (&table)[N], std::string_view name) {
    for (const Option<Params>& option : table) {
        if (EqualsNoCase(name, option.name)) return true;
    }
    return false;
}

}  // namespace wbh
