#include "platform/host/ControlRegistry.h"

#include "platform/host/CheckBox.h"
#include "platform/host/Frame.h"
#include "platform/host/Image.h"
#include "platform/host/PictureBox.h"
#include "platform/host/PropertyBag.h"
#include "platform/host/TextBox.h"
#include "platform/host/Timer.h"

#include <algorithm>

namespace sorrel::host {

namespace {
struct Kind {
    std::string name;
    ControlFactory factory;
};
std::vector<Kind>& kinds()
{
    static std::vector<Kind> registry;
    return registry;
}
} // namespace

void register_control_kind(std::string kind, ControlFactory factory)
{
    for (auto& k : kinds()) {
        if (keys_match(k.name, kind)) {
            k.factory = std::move(factory);
            return;
        }
    }
    kinds().push_back({std::move(kind), std::move(factory)});
}

bool is_control_kind_registered(std::string_view kind)
{
    return std::any_of(kinds().begin(), kinds().end(), [&](auto& k) { return keys_match(k.name, kind); });
}

std::unique_ptr<Control> create_control(std::string_view kind)
{
    for (auto& k : kinds()) {
        if (keys_match(k.name, kind) && k.factory)
            return k.factory();
    }
    return nullptr;
}

std::vector<std::string> registered_control_kinds()
{
    std::vector<std::string> names;
    for (auto& k : kinds())
        names.push_back(k.name);
    return names;
}

void register_standard_control_kinds()
{
    register_control_kind("Frame", [] { return std::make_unique<Frame>(); });
    register_control_kind("TextBox", [] { return std::make_unique<TextBox>(); });
    register_control_kind("PictureBox", [] { return std::make_unique<PictureBox>(); });
    register_control_kind("CheckBox", [] { return std::make_unique<CheckBox>(); });
    register_control_kind("Image", [] { return std::make_unique<Image>(); });
    register_control_kind("Timer", [] {
        auto timer = std::make_unique<Timer>();
        timer->Enabled(true); // a new timer on a form starts enabled
        return timer;
    });
}

} // namespace sorrel::host
