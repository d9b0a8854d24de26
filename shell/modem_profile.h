// Modem profiles: one 2240-byte file per modem maker in the program
// directory, 28 slots of 80 bytes, each a NUL-terminated text of at most 78
// characters. One image is held per process.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

constexpr size_t MODEM_PROFILE_SIZE = 2240;
constexpr int PROFILE_SLOTS = 28;
constexpr int PROFILE_SLOT_SIZE = 80;
constexpr int PROFILE_TEXT_MAX = 78;
constexpr int MODEM_MAKERS = 16;

struct ModemProfile {
  uint8_t bytes[MODEM_PROFILE_SIZE];
};
static_assert(sizeof(ModemProfile) == MODEM_PROFILE_SIZE, "the modem profile file is 2240 bytes");
static_assert(PROFILE_SLOTS * PROFILE_SLOT_SIZE == MODEM_PROFILE_SIZE, "28 slots of 80 bytes");

// Slots with a meaning; 14 to 22 and 24 to 27 are reserved and kept as read.
enum ProfileSlot : int {
  SLOT_DIAL_SUFFIX = 0,
  SLOT_DIAL_PREFIX = 1,
  SLOT_INIT = 2,
  SLOT_HANGUP = 3,
  SLOT_RESET = 4,
  SLOT_ESCAPE = 5,
  SLOT_RESULT_BUSY = 6,
  SLOT_RESULT_DIALTONE = 7,
  SLOT_RESULT_CARRIER = 8,
  SLOT_RESULT_ANSWER = 9,
  SLOT_RESULT_TIMEOUT = 10,
  SLOT_RESULT_ERROR = 11,
  SLOT_RESULT_OK = 12,
  SLOT_RESULT_CONNECT = 13,
  SLOT_VALID_DIAL = 23,
};

// The current profile image of the process.
extern ModemProfile currentProfile;

// The text of a slot: at most 78 characters, up to its NUL, whatever the image
// holds. An index outside 0 to 27 reads as empty.
std::string profileSlot(const ModemProfile& profile, int slot);
// Sets a slot's text (cut to 78 characters, terminated; the rest of the slot
// is zeroed). Returns 0, or -1 when the text was cut or the index is bad.
int profileSetSlot(ModemProfile& profile, int slot, const char* text);

// "AT&T" ... "Custom"; an index outside 0 to 15 gives "Custom".
const char* modemMakerName(int maker);
// The maker's file name: its name cut to 8 characters plus ".mdm".
std::string modemProfileFileName(int maker);

// Reads the maker's file from the program directory into profile; when it
// cannot be opened the image stays as it was. A file that opens replaces the
// whole image; what a short file lacks is zero. Returns the bytes read, or -1.
int modemProfileLoad(int maker, ModemProfile& profile);
// Writes the whole image to the maker's file (created when missing). Returns
// 0, or -1; callers ignore a failure.
int modemProfileSave(int maker, const ModemProfile& profile);
