#include "platform/gdi/SystemColors.h"

namespace sorrel::gdi {

// Linux keeps the classic colours built into the drawing layer: there is no system scheme that
// the Windows colour indexes would mean anything in.
void load_system_colors()
{ }

} // namespace sorrel::gdi
