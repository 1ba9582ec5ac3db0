// The Win32 window's client object in this process, under Wine with a display: the host's tree
// by child id, default actions queued for the host's loop, WinEvents for changes, and objects
// that outlive the window.
#include "platform/backend/win32/AccessibleObject.h"
#include "platform/backend/win32/Win32Backend.h"
#include "platform/host/CheckBox.h"
#include "platform/host/Form.h"
#include "platform/host/Frame.h"
#include "platform/host/Host.h"
#include "platform/host/TextBox.h"

#include <gtest/gtest.h>

#include <vector>

#include <windows.h>

#include <oleacc.h>

using namespace sorrel;

namespace {

VARIANT id(LONG child)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = child;
    return v;
}

std::wstring name_of(IAccessible* object, LONG child)
{
    BSTR name = nullptr;
    object->get_accName(id(child), &name);
    std::wstring text = name ? name : L"";
    SysFreeString(name);
    return text;
}

std::vector<std::pair<DWORD, LONG>> s_events;

void CALLBACK record_event(HWINEVENTHOOK, DWORD event, HWND, LONG object, LONG child, DWORD, DWORD)
{
    if (object == OBJID_CLIENT)
        s_events.emplace_back(event, child);
}

struct Win32Accessibility : ::testing::Test {
    backend::Win32Backend* window {nullptr};
    std::unique_ptr<host::Host> host;
    std::unique_ptr<host::Form> form;
    host::Frame* frame {nullptr};
    host::CheckBox* check {nullptr};
    host::TextBox* text {nullptr};

    // A form of 200 x 100 pixels at scale 2: a frame holding a check box, and a text.
    void SetUp() override
    {
        auto made = backend::Win32Backend::create(2);
        ASSERT_FALSE(made.is_error()) << made.error().message;
        window = made.value().get();
        host = std::make_unique<host::Host>(made.release_value());
        form = std::make_unique<host::Form>();
        form->Caption("Sorrel \x80");
        form->set_client_size_twips(3000, 1500);
        frame = &form->add<host::Frame>("Frame1");
        frame->Move(150, 150, 1500, 1200);
        frame->Caption("Options");
        check = &form->add<host::CheckBox>("Check1", frame);
        check->Move(150, 300, 1200, 300);
        check->Caption("Keep");
        text = &form->add<host::TextBox>("Text1");
        text->Move(1800, 150, 1050, 300);
        text->Text("Ready");
        host->show(*form);
        while (window->wait_event(50)) { }
    }
    void TearDown() override
    {
        form.reset();
        host.reset();
        EXPECT_EQ(backend::live_accessible_objects(), 0);
    }

    IAccessible* client_object()
    {
        LRESULT answer = SendMessageW(window->window(), WM_GETOBJECT, 0, LPARAM(OBJID_CLIENT));
        IAccessible* object = nullptr;
        EXPECT_TRUE(
            SUCCEEDED(ObjectFromLresult(answer, IID_IAccessible, 0, reinterpret_cast<void**>(&object))));
        return object;
    }
};

} // namespace

// The tree's shape and texts are the Wine program test's; here is what it cannot see.
TEST_F(Win32Accessibility, NodesAreFoundByIdPlacedInScreenPixelsActedOnLaterAndOutliveTheWindow)
{
    IAccessible* root = client_object();
    ASSERT_TRUE(root);
    EXPECT_EQ(name_of(root, CHILDID_SELF), L"Sorrel \u20AC");
    // The window's object answers for a nested node too: events name nodes by id alone.
    EXPECT_EQ(name_of(root, check->hWnd()), L"Keep");
    EXPECT_EQ(name_of(root, 12345), L""); // no such node
    // AccessibleChildren skips to its start: skipping to the end skips all that was asked.
    IEnumVARIANT* children = nullptr;
    ASSERT_EQ(root->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&children)), S_OK);
    EXPECT_EQ(children->Skip(2), S_OK);
    EXPECT_EQ(children->Skip(1), S_FALSE);
    children->Release();
    IDispatch* inner = nullptr;
    ASSERT_EQ(root->get_accChild(id(frame->hWnd()), &inner), S_OK);
    IAccessible* group = nullptr;
    inner->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&group));
    inner->Release();
    ASSERT_TRUE(group);

    // The check box lies at (20, 30) of the form, 80 x 20 pixels: twice that on the screen.
    POINT origin {0, 0};
    ClientToScreen(window->window(), &origin);
    LONG left = 0, top = 0, width = 0, height = 0;
    EXPECT_EQ(root->accLocation(&left, &top, &width, &height, id(check->hWnd())), S_OK);
    EXPECT_EQ(left, origin.x + 40);
    EXPECT_EQ(top, origin.y + 60);
    EXPECT_EQ(width, 160);
    EXPECT_EQ(height, 40);
    VARIANT hit;
    EXPECT_EQ(root->accHitTest(origin.x + 41, origin.y + 61, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_I4);
    EXPECT_EQ(hit.lVal, LONG(check->hWnd()));
    EXPECT_EQ(root->accHitTest(origin.x + 300, origin.y + 150, &hit), S_OK);
    EXPECT_EQ(hit.lVal, CHILDID_SELF);
    EXPECT_EQ(root->accHitTest(origin.x - 5, origin.y, &hit), S_FALSE);

    // The host takes the action to run from its loop (the program test sees it run); a node
    // without one, and the window itself, have none to take.
    EXPECT_EQ(group->accDoDefaultAction(id(check->hWnd())), S_OK);
    EXPECT_EQ(root->accDoDefaultAction(id(text->hWnd())), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(root->accDoDefaultAction(id(CHILDID_SELF)), DISP_E_MEMBERNOTFOUND);

    // A client may hold its objects after the window has gone.
    host->forget_form();
    window->close_window();
    LONG count = 0;
    EXPECT_EQ(root->get_accChildCount(&count), RPC_E_DISCONNECTED);
    EXPECT_EQ(group->accDoDefaultAction(id(check->hWnd())), RPC_E_DISCONNECTED);
    group->Release();
    root->Release();
}

TEST_F(Win32Accessibility, ChangesGoOutAsWinEventsOnTheirNodes)
{
    HWINEVENTHOOK hook = SetWinEventHook(
        EVENT_MIN, EVENT_MAX, nullptr, record_event, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_TRUE(hook);
    s_events.clear();
    // Coming back to the window, the reader learns which control has the keyboard.
    SetFocus(nullptr);
    SetFocus(window->window());
    text->Enabled(false);
    text->Text("Done");
    host->announce("Done");
    frame->Visible(false);
    while (window->wait_event(50)) { }
    UnhookWinEvent(hook);
    auto seen = [](DWORD event, LONG child) {
        return std::count(s_events.begin(), s_events.end(), std::make_pair(event, child));
    };
    EXPECT_EQ(seen(EVENT_OBJECT_STATECHANGE, LONG(text->hWnd())), 1);
    // The text's change, and the announcement of what it shows.
    EXPECT_EQ(seen(EVENT_OBJECT_NAMECHANGE, LONG(text->hWnd())), 2);
    EXPECT_EQ(seen(EVENT_OBJECT_HIDE, LONG(frame->hWnd())), 1);
    // The frame took the check box away with it: the window's children changed.
    EXPECT_EQ(seen(EVENT_OBJECT_REORDER, CHILDID_SELF), 1);
    EXPECT_EQ(seen(EVENT_OBJECT_FOCUS, LONG(text->hWnd())), 1);
}
