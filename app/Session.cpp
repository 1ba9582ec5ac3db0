#include "app/Session.h"

#include "app/BuiltInForm.h"
#include "controls/button/QuillButton.h"
#include "controls/check/Check.h"
#include "controls/progressbar/ProgressBar.h"
#include "platform/lists/ListControls.h"

namespace sorrel::app {

host::ErrorOr<void> register_control_kinds()
{
    controls::register_quill_button();
    if (auto check = controls::register_check(); check.is_error())
        return check;
    if (auto bar = controls::register_progress_bar(); bar.is_error())
        return bar;
    lists::register_list_controls();
    return {};
}

host::ErrorOr<std::unique_ptr<Session>> Session::open(
    std::unique_ptr<host::Backend> backend, const std::string& form_path)
{
    std::unique_ptr<Session> session(new Session());
    session->m_host = std::make_unique<host::Host>(std::move(backend));
    if (auto registered = register_control_kinds(); registered.is_error())
        return registered.error();
    session->m_form = std::make_unique<host::Form>();
    auto loaded
        = form_path.empty() ? load_built_in_form(*session->m_form) : session->m_form->load_file(form_path);
    if (loaded.is_error())
        return loaded.error();
    auto window = FrmSorrel::attach(*session->m_form);
    if (window.is_error())
        return host::Error {form_path + ": " + window.error().message};
    session->m_window = window.release_value();
    session->m_host->show(*session->m_form);
    return session;
}

Session::~Session()
{
    m_window.reset();
    m_form.reset();
    m_host.reset();
}

} // namespace sorrel::app
