#pragma once

namespace sorrel::gdi {

// Windows: GetSysColor answers with the system's own colours (the user's scheme: XP's Luna face,
// the light grey of Windows 7 and 10, a high-contrast scheme) in place of the built-in classic
// ones, which Linux keeps. Called again when the system says its colours changed.
void load_system_colors();

} // namespace sorrel::gdi
