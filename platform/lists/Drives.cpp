#include "platform/lists/Drives.h"

namespace sorrel::lists {

namespace {
std::shared_ptr<const files::DriveMap>& slot()
{
    static std::shared_ptr<const files::DriveMap> drives = std::make_shared<files::DriveMap>();
    return drives;
}
} // namespace

void use_drives(files::DriveMap drives)
{
    slot() = std::make_shared<const files::DriveMap>(std::move(drives));
}

std::shared_ptr<const files::DriveMap> current_drives()
{
    return slot();
}

} // namespace sorrel::lists
