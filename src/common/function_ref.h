// FunctionRef: a reference to something callable (a lambda with its captures, a function), for
// handlers that carry their caller's context. It owns nothing and allocates nothing, so what it
// refers to must outlive it: pass lambdas straight to the call that uses them.
#pragma once

#include <memory>
#include <type_traits>
#include <utility>

namespace wbh {

template <typename Signature>
class FunctionRef;

template <typename Result, typename... Args>
class FunctionRef<Result(Args...)> {
public:
    FunctionRef(Result (*function)(Args...)) noexcept : call_(CallFunction) {
        target_.function = function;
    }

    template <typename Callable,
              typename = std::enable_if_t<!std::is_same_v<std::decay_t<Callable>, FunctionRef> &&
                                          !std::is_function_v<std::remove_reference_t<Callable>>>>
    FunctionRef(Callable&& callable) noexcept
        : call_(CallObject<std::remove_reference_t<Callable>>) {
        target_.object = const_cast<void*>(static_cast<const void*>(std::addressof(callable)));
    }

    // Only an argument: copied into the call that uses it, never rebound to another target.
    FunctionRef(const FunctionRef&) noexcept = default;
    FunctionRef& operator=(const FunctionRef&) = delete;

    Result operator()(Args... args) const { return call_(target_, std::forward<Args>(args)...); }

private:
    union Target {
        void* object;
        Result (*function)(Args...);
    };

    static Result CallFunction(Target target, Args... args) {
        return target.function(std::forward<Args>(args)...);
    }
    template <typename Callable>
    static Result CallObject(Target target, Args... args) {
        return (*static_cast<Callable*>(target.object))(std::forward<Args>(args)...);
    }

    Target target_;
    Result (*call_)(Target, Args...);
};

}  // namespace wbh
