#include "dialup/modem_makers.h"

#include <cstring>

namespace {
struct MakerStrings {
  const char* init;
  const char* reset;
  const char* hangup;
};

// Every maker resets with its stored profile; the initialisation restores the
// factory settings and asks for verbal, echoed, extended result codes with
// carrier following DCD and DTR hanging up, in each maker's dialect. No init
// string turns on the intermediate CARRIER/PROTOCOL reports: a dialer waiting
// for CONNECT must not take them for a failed call.
const MakerStrings rows[MODEM_MAKERS] = {
    {"AT&FE1V1Q0X4&C1&D2^M", "ATZ^M", "ATH0^M"},          // AT&T
    {"AT&FE1V1Q0X4&C1&D2^M", "ATZ^M", "ATH0^M"},          // BlackBox
    {"AT&FE1V1Q0X4&C1&D2W0^M", "ATZ^M", "ATH0^M"},        // BOCA
    {"AT&FE1V1Q0X4&C1&D2^M", "ATZ^M", "ATH0^M"},          // Dallas
    {"AT&FE1V1Q0X4&C1&D2^M", "ATZ^M", "ATH0^M"},          // Hayes
    {"AT&FE1V1Q0X4&C1&D2^M", "ATZ^M", "ATH0^M"},          // Infotel
    {"AT&FE1V1Q0X4&C1&D2\\N3^M", "ATZ^M", "ATH0^M"},      // Microcom (MNP auto-reliable)
    {"AT&FE1V1Q0X4&C1&D2W0^M", "ATZ^M", "ATH0^M"},        // Practical
    {"AT&FE1V1Q0X4&C1&D2W0^M", "ATZ^M", "ATH0^M"},        // Promethus
    {"AT&FE1V1Q0X4&C1&D2W0^M", "ATZ^M", "ATH0^M"},        // Rockwell
    {"AT&FE1V1Q0X4&C1&D2W0^M", "ATZ^M", "ATH0^M"},        // Sierra
    {"AT&FE1V1Q0X4&C1&D2S0=0^M", "ATZ^M", "ATH0^M"},      // Telebit
    {"AT&FE1V1Q0X4&C1&D2^M", "ATZ^M", "ATH0^M"},          // Twincom
    {"AT&F1E1V1Q0X4&C1&D2&A0^M", "ATZ^M", "ATH0^M"},      // USRobotics (&F1: hardware flow)
    {"AT&FE1V1Q0X4&C1&D2W0^M", "ATZ^M", "ATH0^M"},        // Zoom
    {"ATE1V1Q0^M", "ATZ^M", "ATH0^M"},                    // Custom: the least a Hayes modem takes
};

// Result texts in slot order (busy, dial tone, carrier, answer, time-out,
// error, OK, connect). Classification takes the first text found in a line,
// so none may be contained in a later one: "NO CARRIER" rather than
// "CARRIER", whose bare word would also catch the carrier reports.
const char* const results[8] = {"BUSY", "NO DIALTONE", "NO CARRIER", "RING",
                                "NO ANSWER", "ERROR", "OK", "CONNECT"};

// Digits, the tone keys, pauses and modifiers, and the punctuation people
// write numbers with (the dialer drops brackets, hyphens and blanks).
const char* const validDial = "0123456789*#ABCD,;!@WwPpTt()- ";
}  // namespace

void makerProfile(int maker, ModemProfile& profile) {
  const MakerStrings& m = rows[maker >= 0 && maker < MODEM_MAKERS ? maker : MODEM_MAKERS - 1];
  memset(profile.bytes, 0, sizeof profile.bytes);
  profileSetSlot(profile, SLOT_DIAL_SUFFIX, "^M");
  profileSetSlot(profile, SLOT_DIAL_PREFIX, "ATD");
  profileSetSlot(profile, SLOT_INIT, m.init);
  profileSetSlot(profile, SLOT_HANGUP, m.hangup);
  profileSetSlot(profile, SLOT_RESET, m.reset);
  // Guard time of silence on both sides of "+++", two seconds each way.
  profileSetSlot(profile, SLOT_ESCAPE, "~~~+++~~~");
  for (int i = 0; i < 8; ++i) profileSetSlot(profile, SLOT_RESULT_BUSY + i, results[i]);
  profileSetSlot(profile, SLOT_VALID_DIAL, validDial);
}
