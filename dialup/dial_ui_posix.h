// The dialing's host side: what a dialog and the terminal would show, kept
// for whoever drives the machine (tests, tools).
#pragma once
#include <string>

#include "dialup/dial_machine.h"

// Bytes shown on the terminal, in order.
std::string& dialUiTerminal();
// Every status text shown, each followed by "|".
std::string& dialUiStatuses();
// How many times the run ended (a run reports its end once).
int& dialUiEnds();
