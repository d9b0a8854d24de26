// modem_files DIR: writes the delivered modem profiles, one ".mdm" file per
// maker, into DIR.
#include <cstdio>
#include <string>

#include "dialup/modem_makers.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: modem_files DIR\n");
    return 2;
  }
  for (int maker = 0; maker < MODEM_MAKERS; ++maker) {
    ModemProfile profile;
    makerProfile(maker, profile);
    std::string path = std::string(argv[1]) + "/" + modemProfileFileName(maker);
    FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f && std::fwrite(profile.bytes, 1, sizeof profile.bytes, f) == sizeof profile.bytes;
    if (f) ok = std::fclose(f) == 0 && ok;
    if (!ok) {
      std::fprintf(stderr, "modem_files: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
