// The transfer settings of the current session come with its profile (every
// record kind decoded once, in shell/); this adds what only transfers use.
#pragma once
#include "shell/session_profile.h"

constexpr int TRANSFER_PATH_MAX = 260;

// The byte a two-character field stands for: one plain character, or "^" and c
// for (code of c) - 64. An empty field gives -1.
int caretByte(const char* field);
