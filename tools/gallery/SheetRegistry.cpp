#include "tools/gallery/SheetRegistry.h"

namespace sorrel::gallery {

std::vector<SheetDefinition>& sheet_definitions()
{
    static std::vector<SheetDefinition> definitions;
    return definitions;
}

} // namespace sorrel::gallery
