#pragma once

// A headless host with a form, and a user control that writes down every notification it gets.

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/host/Host.h"
#include "platform/host/UserControl.h"

#include <memory>
#include <string>
#include <vector>

namespace sorrel::host::testing {

class RecordingControl : public UserControl {
public:
    std::string_view kind() const override { return "RecordingControl"; }

    std::vector<std::string> log;
    // Copy of the bag seen by ReadProperties.
    PropertyBag read_bag;
    std::function<void(PropertyBag&)> write;

    void UserControl_Initialize() override { log.push_back("Initialize"); }
    void UserControl_InitProperties() override { log.push_back("InitProperties"); }
    void UserControl_ReadProperties(PropertyBag& bag) override
    {
        log.push_back("ReadProperties");
        read_bag = bag;
    }
    void UserControl_WriteProperties(PropertyBag& bag) override
    {
        log.push_back("WriteProperties");
        if (write)
            write(bag);
    }
    void UserControl_Show() override { log.push_back("Show"); }
    void UserControl_Resize() override { log.push_back("Resize"); }
    void UserControl_Terminate() override { log.push_back("Terminate"); }
    void UserControl_MouseDown(int16_t b, int16_t s, float x, float y) override
    {
        mouse("MouseDown", b, s, x, y);
    }
    void UserControl_MouseMove(int16_t b, int16_t s, float x, float y) override
    {
        if (log_moves)
            mouse("MouseMove", b, s, x, y);
    }
    void UserControl_MouseUp(int16_t b, int16_t s, float x, float y) override
    {
        mouse("MouseUp", b, s, x, y);
    }
    void UserControl_Click() override { log.push_back("Click"); }
    void UserControl_DblClick() override { log.push_back("DblClick"); }
    void UserControl_KeyDown(int16_t& k, int16_t& s) override
    {
        log.push_back("KeyDown " + std::to_string(k) + " " + std::to_string(s));
    }
    void UserControl_KeyPress(int16_t& k) override { log.push_back("KeyPress " + std::to_string(k)); }
    void UserControl_KeyUp(int16_t& k, int16_t& s) override
    {
        log.push_back("KeyUp " + std::to_string(k) + " " + std::to_string(s));
    }
    void UserControl_AccessKeyPress(int16_t k) override
    {
        log.push_back("AccessKeyPress " + std::to_string(k));
    }
    void UserControl_EnterFocus() override { log.push_back("EnterFocus"); }
    void UserControl_ExitFocus() override { log.push_back("ExitFocus"); }
    void UserControl_AmbientChanged(const std::string& name) override
    {
        log.push_back("AmbientChanged " + name);
    }

    bool log_moves {false};

private:
    void mouse(const char* what, int16_t b, int16_t s, float x, float y)
    {
        log.push_back(std::string(what) + " " + std::to_string(b) + " " + std::to_string(s) + " "
            + std::to_string(int(x)) + " " + std::to_string(int(y)));
    }
};

// A host on the headless backend with an empty 300 x 200 pixel form.
struct HostFixture {
    HostFixture()
    {
        auto backend = backend::HeadlessBackend::create();
        headless = backend.get();
        host = std::make_unique<Host>(std::move(backend));
        form = std::make_unique<Form>();
        form->Caption("Test");
        form->set_client_size_twips(300 * 15, 200 * 15);
        form->BackColor(0x00FFFFFF);
    }
    ~HostFixture()
    {
        form.reset();
        host.reset();
    }

    // A recording control at (x, y, w, h) pixels, loaded as a new instance.
    RecordingControl& add(const std::string& name, int x, int y, int w, int h, Control* container = nullptr)
    {
        auto& c = form->add<RecordingControl>(name, container);
        c.Move(float(x * 15), float(y * 15), float(w * 15), float(h * 15));
        form->load_control(c, nullptr);
        return c;
    }

    backend::HeadlessBackend* headless {nullptr};
    std::unique_ptr<Host> host;
    std::unique_ptr<Form> form;
};

} // namespace sorrel::host::testing
