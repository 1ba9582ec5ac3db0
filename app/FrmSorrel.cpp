#include "app/FrmSorrel.h"

#include "platform/host/Host.h"
#include "platform/lists/Drives.h"

namespace sorrel::app {

// [SECTION] Binding

struct FrmSorrel::Controls {
    host::Frame *Frame1, *Frame2, *Frame3, *Frame4;
    host::TextBox *Text1, *Text2, *Text3, *Text4, *Text5, *Text6, *Text7, *Text8;
    controls::QuillButton *CmdSCan, *CmdRemove, *CmdExit, *CmdUnistall;
    controls::ProgressBar *ProgressBar1, *ProgressBar2;
    controls::Check *ChkOld, *ChkNew;
    host::Timer* Timer1;
    lists::ListView* ListView1;
    lists::DriveListBox *Drive1, *Drive2;
    lists::FileListBox *File1, *File2;
};

namespace {

class Finder {
public:
    explicit Finder(host::Form& form)
        : m_form(form)
    { }

    template<class T> void operator()(T*& slot, std::string_view name)
    {
        slot = dynamic_cast<T*>(m_form.find(name));
        if (!slot && m_missing.empty())
            m_missing = std::string(name);
    }
    const std::string& missing() const { return m_missing; }

private:
    host::Form& m_form;
    std::string m_missing;
};

} // namespace

host::ErrorOr<std::unique_ptr<FrmSorrel>> FrmSorrel::attach(host::Form& form)
{
    Controls c {};
    Finder find(form);
    find(c.Frame1, "Frame1");
    find(c.Frame2, "Frame2");
    find(c.Frame3, "Frame3");
    find(c.Frame4, "Frame4");
    find(c.Text1, "Text1");
    find(c.Text2, "Text2");
    find(c.Text3, "Text3");
    find(c.Text4, "Text4");
    find(c.Text5, "Text5");
    find(c.Text6, "Text6");
    find(c.Text7, "Text7");
    find(c.Text8, "Text8");
    find(c.CmdSCan, "CmdSCan");
    find(c.CmdRemove, "CmdRemove");
    find(c.CmdExit, "CmdExit");
    find(c.CmdUnistall, "CmdUnistall");
    find(c.ProgressBar1, "ProgressBar1");
    find(c.ProgressBar2, "ProgressBar2");
    find(c.ChkOld, "ChkOld");
    find(c.ChkNew, "ChkNew");
    find(c.Timer1, "Timer1");
    find(c.ListView1, "ListView1");
    find(c.Drive1, "Drive1");
    find(c.Drive2, "Drive2");
    find(c.File1, "File1");
    find(c.File2, "File2");
    if (!find.missing().empty())
        return host::Error {"the window has no control " + find.missing() + " of the expected kind"};
    std::unique_ptr<FrmSorrel> window(new FrmSorrel(form, c));
    window->connect();
    return window;
}

FrmSorrel::FrmSorrel(host::Form& form, const Controls& c)
    : Frame1(*c.Frame1)
    , Frame2(*c.Frame2)
    , Frame3(*c.Frame3)
    , Frame4(*c.Frame4)
    , Text1(*c.Text1)
    , Text2(*c.Text2)
    , Text3(*c.Text3)
    , Text4(*c.Text4)
    , Text5(*c.Text5)
    , Text6(*c.Text6)
    , Text7(*c.Text7)
    , Text8(*c.Text8)
    , CmdSCan(*c.CmdSCan)
    , CmdRemove(*c.CmdRemove)
    , CmdExit(*c.CmdExit)
    , CmdUnistall(*c.CmdUnistall)
    , ProgressBar1(*c.ProgressBar1)
    , ProgressBar2(*c.ProgressBar2)
    , ChkOld(*c.ChkOld)
    , ChkNew(*c.ChkNew)
    , Timer1(*c.Timer1)
    , ListView1(*c.ListView1)
    , Drive1(*c.Drive1)
    , Drive2(*c.Drive2)
    , File1(*c.File1)
    , File2(*c.File2)
    , m_form(form)
{ }

void FrmSorrel::connect()
{
    m_form.on_event("CmdSCan", "Click", [this](host::EventArgs) { CmdSCan_Click(); });
    m_form.on_event("CmdRemove", "Click", [this](host::EventArgs) { CmdRemove_Click(); });
    m_form.on_event("CmdExit", "Click", [this](host::EventArgs) { CmdExit_Click(); });
    m_form.on_event("ChkOld", "Click", [this](host::EventArgs) { ChkOld_Click(); });
    m_form.on_event("ChkNew", "Click", [this](host::EventArgs) { ChkNew_Click(); });
    m_form.on_event("CmdUnistall", "Click", [this](host::EventArgs) { CmdUnistall_Click(); });
    Timer1.on_tick = [this] { Timer1_Timer(); };
    // Working controls: the lists lie below the client area and Text8 is hidden storage. A
    // screen reader must not offer them as if the user could see them.
    for (host::Control* working :
        std::initializer_list<host::Control*> {&Drive1, &Drive2, &File1, &File2, &Text8})
        working->accessible_offered(false);
}

files::FileSystemObject& FrmSorrel::fso()
{
    if (!m_fso) {
        m_fso_drives = lists::current_drives();
        m_fso.emplace(*m_fso_drives);
    }
    return *m_fso;
}

// [SECTION] Pages and remove options

void FrmSorrel::CmdRemove_Click()
{
    Frame3.Visible(false);
    Frame2.Visible(false);
    Frame1.Visible(true);
    FocusFirstButton(Frame1);
}

void FrmSorrel::FocusFirstButton(host::Control& page)
{
    for (host::Control* c : host::Host::current().tab_order()) {
        if (!dynamic_cast<controls::QuillButton*>(c))
            continue;
        for (host::Control* holder = c->Container(); holder; holder = holder->Container()) {
            if (holder == &page) {
                c->SetFocus();
                return;
            }
        }
    }
}

void FrmSorrel::CmdExit_Click()
{
    host::Host::current().End();
}

// After any click exactly one box is ticked; unticking one ticks the other, even the disabled
// ChkNew. Setting Value from code raises no Click.
void FrmSorrel::ChkOld_Click()
{
    if (ChkOld.Value() == 1) {
        ChkNew.Value(0);
        ChkOld.Value(1);
    } else {
        ChkOld.Value(0);
        ChkNew.Value(1);
    }
}

void FrmSorrel::ChkNew_Click()
{
    if (ChkNew.Value() == 1) {
        ChkNew.Value(1);
        ChkOld.Value(0);
    } else {
        ChkOld.Value(1);
        ChkNew.Value(0);
    }
}

} // namespace sorrel::app
