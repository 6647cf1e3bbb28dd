#pragma once

// The toolbar wrapper moved to the window framework (ui/Toolbar.h), since the
// main window and the file list window both use it. This name stays until the
// main window includes ui/Toolbar.h itself.
#include "ui/Toolbar.h"

namespace app {
using ui::Toolbar;
} // namespace app
