#include "platform/files/FileProtection.h"

namespace sorrel::files {

namespace {

// Nothing on Linux puts deleted files back.
class NoProtection final : public FileProtection {
public:
    bool is_protected(std::string_view) const override { return false; }
    void wait_for_restoring() const override { }
};

} // namespace

FileProtection const& system_file_protection()
{
    static NoProtection const none;
    return none;
}

} // namespace sorrel::files
