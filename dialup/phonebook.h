// The phonebook without its windows: the listing, the description line of an
// entry, the checks an entry must pass before it is saved or dialed, the
// values of the "General" page, the dialing options and the batch dial list.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "shell/phone_entry.h"

// Texts of the phonebook (string table numbers).
enum PhonebookText : int {
  TXT_PHONE_DATA_PARITY = 6,     // "Select either 7 databits or no parity."
  TXT_PHONE_NUMBER_NEEDED = 7,   // a dialed entry without a number
  TXT_PHONE_TYPE_INVALID = 8,    // a direct entry with a number
  TXT_PHONE_NUMBER_INVALID = 9,  // a character the modem does not dial
  TXT_SCRIPT_NOT_FOUND = 19,
  TXT_BATCH_EMPTY = 20,
};

constexpr int PHONE_NAME_MAX = 62;
constexpr int PHONE_NUMBER_MAX = 39;
constexpr int PHONE_PREFIX_MAX = 6;
constexpr int BATCH_NAME_SIZE = 64;  // one name of the dial list block

// The entry names of "*.phn" files (any case) in the program directory, sorted
// without regard to case. *stopped tells that an unreadable file ended it.
std::vector<std::string> phonebookNames(bool* stopped = nullptr);

// "COM2:9600,8,N,1": port, speed, data bits, parity and stop bits.
std::string phoneDescription(const PhoneEntry& entry);

// The characters a number may hold: the profile's valid dial characters, or,
// when the profile names none (no profile file), the usual Hayes ones.
std::string phoneDialCharacters(const std::string& profileValid);

// The entry's checks in their order: a name, 8 data bits only without parity,
// a number for pulse and tone, none for a direct line, and only dialable
// characters. 0, or a beep and its message and -1.
int phoneValidate(const PhoneEntry& entry, const std::string& dialCharacters);

// The entry's checks with the dial characters of its maker's profile, which
// becomes the current profile image (an unreadable file leaves it as it was).
int phoneValidateWithProfile(const PhoneEntry& entry);

// The "General" page ("SERVICE") as its controls hold it.
struct ServiceValues {
  std::string name, phone, prefix;
  int phoneType = 2;  // 0 pulse, 1 tone, 2 none
  int parity = 0;     // 0 none, 1 odd, 2 even
  int stopBits = 0;   // 0: 1, 2: 2
  int dataBits = 0;   // 0: 8, 1: 7
  int speedIndex = 0, portIndex = 0;
};
ServiceValues serviceFromRecord(const uint8_t* record);
// OK on the page: the values into record (the name only for a new entry),
// then the checks. 0, or the refusal's -1 with record holding the values.
int serviceApply(uint8_t* record, bool newEntry, const ServiceValues& v, const std::string& dialCharacters);

// A typed "Retry Dial Count" or "Timeout": a number below 256, else the old
// value (*refused set).
int dialOptionValue(const std::string& typed, int old, bool* refused);

// The dial list handed to the dialing: one 64-byte block per name, in order,
// each name cut to 63 characters and terminated.
std::vector<uint8_t> batchDialBlock(const std::vector<std::string>& names);
