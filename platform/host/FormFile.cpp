#include "platform/host/Form.h"

namespace sorrel::host {

ErrorOr<void> Form::load_file(const std::string& path, bool)
{
    return Error {path + ": form files cannot be read yet"};
}

ErrorOr<void> Form::load_text(std::string_view, const std::string&, bool, const std::string& file_name)
{
    return Error {file_name + ": form files cannot be read yet"};
}

ErrorOr<void> Form::save_file(const std::string& path)
{
    return Error {path + ": form files cannot be written yet"};
}

ErrorOr<std::string> Form::save_text(const std::string&)
{
    return Error {"form files cannot be written yet"};
}

} // namespace sorrel::host
