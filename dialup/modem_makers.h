// The profiles delivered with the dial-up program: one row of Hayes command
// strings per maker, the same result texts for all. The ".mdm" files beside
// the programs are generated from this table at build time.
#pragma once
#include "shell/modem_profile.h"

// Fills profile with the delivered strings of maker (0 to 15; others give
// Custom's); every other byte is zero.
void makerProfile(int maker, ModemProfile& profile);
