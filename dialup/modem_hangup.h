// Hanging up a dialed session: the modem back to command mode with the
// escape string, the hang-up string, DTR and RTS dropped, each after its
// pause, while the window keeps being served.
#pragma once
#include "shell/modem_profile.h"

// 100 ms, the escape string (with its pauses), 1500 ms, the hang-up string and
// DTR and RTS lowered, 2500 ms. The port stays open for the caller to close.
void modemHangup(const ModemProfile& profile);
