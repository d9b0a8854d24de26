// The delivered key strings of every emulation, written into the key-map file
// at build time. Each terminal family sends what its own keyboard sends.
#include <cstring>

#include "terminal/keymap.h"
#include "terminal/terminal_type.h"

namespace {
struct KeyString {
  int slot;
  const char* bytes;
};

// Slots: 0 PgUp, 1 PgDn, 2 End, 3 Home, 4 Left, 5 Up, 6 Right, 7 Down,
// 8 keypad Enter, 12 Insert, 15..24 keypad 0..9, 25 *, 26 +, 27 separator,
// 28 -, 29 ., 30 /, 31..42 F1..F12, 43..54 F13..F24, 74..85 shifted F1..F12.
const KeyString vtKeys[] = {
    {0, "\033[5~"},   {1, "\033[6~"},   {2, "\033[4~"},   {3, "\033[1~"},   {4, "\033[D"},
    {5, "\033[A"},    {6, "\033[C"},    {7, "\033[B"},    {8, "\033OM"},    {12, "\033[2~"},
    {15, "\033Op"},   {16, "\033Oq"},   {17, "\033Or"},   {18, "\033Os"},   {19, "\033Ot"},
    {20, "\033Ou"},   {21, "\033Ov"},   {22, "\033Ow"},   {23, "\033Ox"},   {24, "\033Oy"},
    {25, "\033Oj"},   {26, "\033Ok"},   {27, "\033Ol"},   {28, "\033Om"},   {29, "\033On"},
    {30, "\033Oo"},   {31, "\033OP"},   {32, "\033OQ"},   {33, "\033OR"},   {34, "\033OS"},
    {35, "\033[15~"}, {36, "\033[17~"}, {37, "\033[18~"}, {38, "\033[19~"}, {39, "\033[20~"},
    {40, "\033[21~"}, {41, "\033[23~"}, {42, "\033[24~"}, {43, "\033[25~"}, {44, "\033[26~"},
    {45, "\033[28~"}, {46, "\033[29~"}, {47, "\033[31~"}, {48, "\033[32~"}, {49, "\033[33~"},
    {50, "\033[34~"},
    // Shifted F1..F10 are the upper function keys F11..F20.
    {74, "\033[23~"}, {75, "\033[24~"}, {76, "\033[25~"}, {77, "\033[26~"}, {78, "\033[28~"},
    {79, "\033[29~"}, {80, "\033[31~"}, {81, "\033[32~"}, {82, "\033[33~"}, {83, "\033[34~"},
};

const KeyString vt52Keys[] = {
    {4, "\033D"},   {5, "\033A"},   {6, "\033C"},   {7, "\033B"},   {8, "\033?M"},  {15, "\033?p"},
    {16, "\033?q"}, {17, "\033?r"}, {18, "\033?s"}, {19, "\033?t"}, {20, "\033?u"}, {21, "\033?v"},
    {22, "\033?w"}, {23, "\033?x"}, {24, "\033?y"}, {28, "\033?m"}, {29, "\033?n"}, {27, "\033?l"},
    {31, "\033P"},  {32, "\033Q"},  {33, "\033R"},  {34, "\033S"},
};

// Wyse 50: control codes for the cursor keys, SOH code CR for the function keys.
const KeyString wyseKeys[] = {
    {0, "\033J"},       {1, "\033K"},       {3, "\036"},        {4, "\010"},        {5, "\013"},
    {6, "\014"},        {7, "\012"},        {8, "\r"},          {12, "\033Q"},      {31, "\001@\r"},
    {32, "\001A\r"},    {33, "\001B\r"},    {34, "\001C\r"},    {35, "\001D\r"},    {36, "\001E\r"},
    {37, "\001F\r"},    {38, "\001G\r"},    {39, "\001H\r"},    {40, "\001I\r"},    {41, "\001J\r"},
    {42, "\001K\r"},    {43, "\001L\r"},    {44, "\001M\r"},    {45, "\001N\r"},    {46, "\001O\r"},
    {74, "\001`\r"},    {75, "\001a\r"},    {76, "\001b\r"},    {77, "\001c\r"},    {78, "\001d\r"},
    {79, "\001e\r"},    {80, "\001f\r"},    {81, "\001g\r"},    {82, "\001h\r"},    {83, "\001i\r"},
    {84, "\001j\r"},    {85, "\001k\r"},
};

const KeyString scoKeys[] = {
    {0, "\033[I"},  {1, "\033[G"},  {2, "\033[F"},  {3, "\033[H"},  {4, "\033[D"},  {5, "\033[A"},
    {6, "\033[C"},  {7, "\033[B"},  {8, "\r"},      {12, "\033[L"}, {31, "\033[M"}, {32, "\033[N"},
    {33, "\033[O"}, {34, "\033[P"}, {35, "\033[Q"}, {36, "\033[R"}, {37, "\033[S"}, {38, "\033[T"},
    {39, "\033[U"}, {40, "\033[V"}, {41, "\033[W"}, {42, "\033[X"}, {74, "\033[Y"}, {75, "\033[Z"},
    {76, "\033[a"}, {77, "\033[b"}, {78, "\033[c"}, {79, "\033[d"}, {80, "\033[e"}, {81, "\033[f"},
    {82, "\033[g"}, {83, "\033[h"}, {84, "\033[i"}, {85, "\033[j"},
};

// IBM 3151: ESC and a letter for the cursor keys, ESC letter CR for PF keys.
const KeyString ibmKeys[] = {
    {3, "\033H"},      {4, "\033D"},      {5, "\033A"},      {6, "\033C"},      {7, "\033B"},
    {8, "\r"},         {31, "\033a\r"},   {32, "\033b\r"},   {33, "\033c\r"},   {34, "\033d\r"},
    {35, "\033e\r"},   {36, "\033f\r"},   {37, "\033g\r"},   {38, "\033h\r"},   {39, "\033i\r"},
    {40, "\033j\r"},   {41, "\033k\r"},   {42, "\033l\r"},   {74, "\033!a\r"},  {75, "\033!b\r"},
    {76, "\033!c\r"},  {77, "\033!d\r"},  {78, "\033!e\r"},  {79, "\033!f\r"},  {80, "\033!g\r"},
    {81, "\033!h\r"},  {82, "\033!i\r"},  {83, "\033!j\r"},  {84, "\033!k\r"},  {85, "\033!l\r"},
};

template <size_t N>
void fill(const KeyString (&keys)[N], KeyMap* map) {
  for (const KeyString& k : keys) std::strncpy(reinterpret_cast<char*>(map->slots[k.slot]), k.bytes, 15);
}
}  // namespace

void defaultKeyMap(int emulation, KeyMap* map) {
  std::memset(map, 0, sizeof *map);
  switch (emulation) {
    case TERM_VT52: fill(vt52Keys, map); break;
    case TERM_WYSE50: fill(wyseKeys, map); break;
    case TERM_SCO_ANSI: fill(scoKeys, map); break;
    case TERM_IBM3151: fill(ibmKeys, map); break;
    default: fill(vtKeys, map); break;  // TTY, the VT family and the ANSI colour terminal
  }
}

void defaultKeyMapFile(uint8_t out[KEYMAP_FILE_BYTES]) {
  for (int e = 1; e <= KEYMAP_BLOCKS / 2; ++e) {
    KeyMap map;
    defaultKeyMap(e, &map);
    for (int block = 0; block < 2; ++block)
      std::memcpy(out + ((e - 1) * 2 + block) * KEYMAP_BLOCK_BYTES, map.slots, KEYMAP_BLOCK_BYTES);
  }
}
