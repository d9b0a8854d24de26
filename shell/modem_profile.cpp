#include "shell/modem_profile.h"

#include <cstring>

#include "shell/book_files.h"

ModemProfile currentProfile;

namespace {
const char* const makers[MODEM_MAKERS] = {
    "AT&T",     "BlackBox",  "BOCA",     "Dallas",  "Hayes",   "Infotel",    "Microcom", "Practical",
    "Promethus", "Rockwell", "Sierra",   "Telebit", "Twincom", "USRobotics", "Zoom",     "Custom"};

// Profiles follow the entry files' naming rules (found without regard to case).
const BookKind PROFILE_FILES = {".mdm", ".mdm", MODEM_PROFILE_SIZE, FieldSpec{"", 0, 0, FIELD_TEXT}};

std::string profilePath(int maker) {
  return entryFilePath(PROFILE_FILES, std::string(modemMakerName(maker)).substr(0, 8).c_str());
}
}  // namespace

std::string profileSlot(const ModemProfile& profile, int slot) {
  if (slot < 0 || slot >= PROFILE_SLOTS) return std::string();
  const uint8_t* p = profile.bytes + slot * PROFILE_SLOT_SIZE;
  size_t n = 0;
  while (n < PROFILE_TEXT_MAX && p[n] != 0) ++n;
  return std::string(reinterpret_cast<const char*>(p), n);
}

int profileSetSlot(ModemProfile& profile, int slot, const char* text) {
  if (slot < 0 || slot >= PROFILE_SLOTS) return -1;
  const char* t = text ? text : "";
  size_t len = strlen(t);
  size_t n = len < PROFILE_TEXT_MAX ? len : PROFILE_TEXT_MAX;
  uint8_t* p = profile.bytes + slot * PROFILE_SLOT_SIZE;
  memcpy(p, t, n);
  memset(p + n, 0, PROFILE_SLOT_SIZE - n);
  return n == len ? 0 : -1;
}

const char* modemMakerName(int maker) {
  return maker >= 0 && maker < MODEM_MAKERS ? makers[maker] : makers[MODEM_MAKERS - 1];
}

std::string modemProfileFileName(int maker) {
  return std::string(modemMakerName(maker)).substr(0, 8) + ".mdm";
}

int modemProfileLoad(int maker, ModemProfile& profile) {
  // A file that opens replaces the whole image: what a short file lacks is
  // zero, never another maker's strings.
  ModemProfile loaded{};
  int n = recordFileRead(profilePath(maker), loaded.bytes, MODEM_PROFILE_SIZE);
  if (n >= 0) profile = loaded;
  return n;
}

int modemProfileSave(int maker, const ModemProfile& profile) {
  return recordFileWrite(profilePath(maker), profile.bytes, MODEM_PROFILE_SIZE);
}
