// The main window's title: the program's name, and the host while connected,
// so that windows of several sessions can be told apart.
#pragma once
#include <string>

// "Kelvro32-Telnet - HOST" while connected to host, else "Kelvro32-Telnet".
std::string telnetWindowTitle(const char* host, bool connected);
