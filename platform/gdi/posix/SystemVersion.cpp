#include "platform/gdi/SystemVersion.h"

namespace sorrel::gdi {

SystemVersion system_version()
{
    return {10, 0, 19045, 2, {}};
}

} // namespace sorrel::gdi
