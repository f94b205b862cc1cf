#pragma once
// Puts a value in place of a process-wide setting for the lifetime of the
// object and puts the previous one back when it ends: how the tests replace
// a seam (today's date, the locale's separators, the connection state, a
// dialog's or a message box's hook) for one case. Overrides nest; each one
// restores what stood before it.
//
// Exchange installs the value it is given and returns the one it replaced,
// as in `TValue Set(TValue value)`.

#include <utility>

namespace tembrook::platform {

template <class TValue, auto Exchange>
class TScopedOverride {
public:
    explicit TScopedOverride(TValue value) : FPrevious(Exchange(std::move(value))) {}
    ~TScopedOverride() { Exchange(std::move(FPrevious)); }
    TScopedOverride(const TScopedOverride&) = delete;
    TScopedOverride& operator=(const TScopedOverride&) = delete;

private:
    TValue FPrevious;
};

}  // namespace tembrook::platform
