#pragma once

// The gallery's sheets by name. A file of sheets registers each at start-up:
//
//   static const SheetRegistration types("button-types", "every ButtonType in every state",
//       [] { Sheet s("..."); ...; return s; });
//
// and adds itself to tools/gallery/CMakeLists.txt; nothing else needs to change.

#include "tools/gallery/Sheet.h"

#include <functional>
#include <string>
#include <vector>

namespace sorrel::gallery {

struct SheetDefinition {
    std::string name;
    std::string about;
    std::function<Sheet()> build;
};

// In registration order, which follows the link order of the sheet files.
std::vector<SheetDefinition>& sheet_definitions();

struct SheetRegistration {
    SheetRegistration(std::string name, std::string about, std::function<Sheet()> build)
    {
        sheet_definitions().push_back({std::move(name), std::move(about), std::move(build)});
    }
};

} // namespace sorrel::gallery
