// modem_files DIR: writes the delivered modem profiles, one ".mdm" file per
// maker, into DIR. A profile in which a result text shadows a later class is
// refused, so a bad table fails the build.
#include <cstdio>
#include <string>

#include "dialup/modem_makers.h"
#include "dialup/reply_class.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: modem_files DIR\n");
    return 2;
  }
  for (int maker = 0; maker < MODEM_MAKERS; ++maker) {
    ModemProfile profile;
    makerProfile(maker, profile);
    int shadowed = profileShadowedSlot(profile);
    if (shadowed >= 0) {
      std::fprintf(stderr, "modem_files: %s: result slot %d can never be recognised\n", modemMakerName(maker), shadowed);
      return 1;
    }
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
