// Host settings store: an in-memory map with the registry's rules (string
// values, names compared without regard to case).
#pragma once

void settingsReset();
// Number of values held.
int settingsCount();
