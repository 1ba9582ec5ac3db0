#pragma once

// A host for the progress bar's and the check box's tests: the scripted host with a 300 x 200
// pixel form and controls of any kind placed in twips.

#include "tests/support/ScriptedHost.h"

#include <memory>
#include <string>

namespace sorrel::controls::testing {

class ControlTestHost : public test_support::ScriptedHost {
public:
    explicit ControlTestHost(bool design = false)
        : ScriptedHost(300, 200, design)
    { }

    // A control at (left, top, width, height) twips, loaded new or from `stored`.
    template<class T>
    T& add(std::string name, float left, float top, float width, float height,
        const host::PropertyBag* stored = nullptr)
    {
        auto& control = static_cast<T&>(form->add(std::make_unique<T>(), std::move(name)));
        control.Move(left, top, width, height);
        form->load_control(control, stored);
        return control;
    }
};

} // namespace sorrel::controls::testing
