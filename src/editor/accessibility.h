#pragma once
// What assistive technology (a screen reader through AT-SPI) is shown of the window:
// each shown picture cell as a check box named by what it shows, with its choice as
// its checked state and a toggle action; hidden cells, labels and work surfaces not
// at all.

namespace velnor {

// Puts the window's own accessible interfaces in place; may be called again.
void InstallAccessibility();

}  // namespace velnor
