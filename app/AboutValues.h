// The program's own About box values: its name, its footer and its version.
#pragma once

#include "AboutForm.h"

class QWidget;

namespace tembrook {

// The main window's About box, AboutForm1: owned by the window, centred over
// it, titled "Tembrook" with the footer "[α version]", the program's version, both
// links on, the title font in window text at 32 pixels.
TAboutForm* CreateTembrookAboutForm(QWidget* mainWindow);

}  // namespace tembrook
