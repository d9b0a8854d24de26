// The dial-up program: its description for the frame.
#pragma once
#include "frame/frame_win32.h"

extern const FrameProgram KELVRO32_PROGRAM;
