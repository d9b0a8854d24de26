// The steps the software modem's command reader and its modes share.
#pragma once
#include <cstdint>
#include <string>

#include "dialup/hayes_modem.h"

enum HayesResult : int { RESULT_OK = 0, RESULT_CONNECT = 1, RESULT_RING = 2, RESULT_NO_CARRIER = 3, RESULT_ERROR = 4,
                         RESULT_NO_DIALTONE = 6, RESULT_BUSY = 7 };

// A result code as the settings want it: verbal, numeric, or none (Q1).
void hayesResult(const HayesModem& m, int code, ModemActions& out);
// A line of information (S register, identity), shown even when quiet.
void hayesInfoLine(const HayesModem& m, const std::string& text, ModemActions& out);
void hayesHangUp(HayesModem& m, ModemActions& out);
void hayesFactorySettings(HayesModem& m);
void hayesAnswer(HayesModem& m, ModemActions& out);
void hayesDial(HayesModem& m, const std::string& text, uint32_t now);
// One byte typed in command mode: echo, line editing, and the command at CR.
void hayesCommandByte(HayesModem& m, uint8_t b, uint32_t now, ModemActions& out);
