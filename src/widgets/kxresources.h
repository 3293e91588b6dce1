#pragma once

// Registers the icons compiled into the GUI library (":/tab-kelvara-48.png"
// and the others). A static library's resources are not linked in unless
// something asks for them, so every program calls this once at start.
void kxInitResources();
