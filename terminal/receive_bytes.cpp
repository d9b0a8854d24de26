// The normal per-byte path: hooks first, then escape sequences, then the
// single-byte controls and the printable bytes.
#include <algorithm>
#include <cstring>

#include "terminal/colours.h"
#include "terminal/emulator.h"
#include "terminal/hooks.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/receive_state.h"
#include "terminal/screen.h"
#include "terminal/surface.h"
#include "terminal/terminal_type.h"
#include "terminal/vt_handlers.h"

static bool isC1(uint8_t b) { return b >= 0x84 && b <= 0x9F; }

static int currentEmulation() {
  int e = terminalOptions.emulation;
  if (e < 1 || e > TERMINAL_TYPE_COUNT) e = TERM_VT100;
  if (e != emulator.emulation) emulationSwitched(e);
  return e;
}

// A byte inside an escape sequence or control string.
static void sequenceByte(uint8_t b, int e) {
  if (b == 0x18) {  // CAN abandons the sequence
    endSequence();
    return;
  }
  if (isC1(b) && acceptsEightBitControls(e)) {
    eightBitControl(b);
    return;
  }
  if (emulator.count >= SEQUENCE_MAX) {
    // Too long: the sequence is dropped; an ESC here still opens the next one.
    endSequence();
    if (b == 0x1B && e != TERM_TTY) startSequence();
    return;
  }
  emulator.sequence[emulator.count++] = b;
  emulator.sequence[emulator.count] = 0;
  switch (e) {
    case TERM_ANSI_COLOR: case TERM_VT100: case TERM_VT102: case TERM_VT220: case TERM_VT320:
      if (emulator.inControlString) controlStringByte(b);
      else collectSequenceByte(b);
      break;
    case TERM_SCO_ANSI:
      if (emulator.inControlString) controlStringByte(b);
      else collectScoSequenceByte(b);
      break;
    case TERM_VT52: collectVt52Byte(b); break;
    case TERM_WYSE50: collectWyseByte(b); break;
    case TERM_IBM3151: collectIbmByte(b); break;
    default: endSequence(); break;  // TTY has no sequences
  }
}

static uint8_t lineDrawing(uint8_t b) {
  if (b >= 'j' && b <= 'n') return '|';
  if (b >= 't' && b <= 'x') return '|';
  if (b >= 'o' && b <= 's') return '-';
  return b;
}

static void insertCell() {
  ScreenBuffer& s = screen;
  int cell = cursorCell();
  ScreenLine& line = lineAt(s.row);
  int y = cellY(s.row);
  int left = std::max(0, cellX(cell));
  int right = s.horizontalOffset == 0 ? std::min(cellX(s.columns), s.textRight) : s.textRight;
  if (left < right) surfaceScroll(left, y, right, y + s.cellHeight, s.cellWidth, 0);
  int end = std::min<int>(line.used, s.columns);
  if (cell < end) {
    // Characters move, their attributes stay where they are.
    int last = std::min({end, s.columns - 1, LAST_CELL});  // the last column's character is lost
    for (int c = last; c > cell; --c) line.cells[c] = line.cells[c - 1];
    if (line.used < s.columns) ++line.used;
  }
}

// The wrap rule for the next printed character, for both the per-byte path
// and the fast runs: with autowrap, a character that finds the cursor past the
// last column starts the next line (the wrap waits until a character needs
// the cell); without it, characters pile up on the last allowed cell. Returns
// the end of the stretch of the row that characters may fill from here.
static int wrapForNextCharacter() {
  ScreenBuffer& s = screen;
  if (emulator.autowrap) {
    if (s.column >= s.columns) {
      s.column = 0;
      lineFeed();
    }
    return std::min(s.columns, LINE_CELLS);
  }
  int lastCell = std::clamp(terminalOptions.noWrapLastCell, 0, LAST_CELL);
  if (s.column > lastCell) s.column = lastCell;
  return std::min(lastCell + 1, LINE_CELLS);
}

// telnetLayer: a 0xFF opens a Telnet command (a Telnet connection, and not
// the data byte of a doubled IAC).
static void printable(uint8_t b, int e, bool telnetLayer) {
  if (b == 0xFF && telnetLayer) {  // IAC
    terminalHooks.telnetCommandStart();
    return;
  }
  if (isC1(b) && acceptsEightBitControls(e)) {
    eightBitControl(b);
    return;
  }
  if (terminalOptions.stripHighBit) b &= 0x7F;
  ScreenBuffer& s = screen;
  wrapForNextCharacter();
  if (emulator.insertMode) insertCell();
  if (emulator.activeSet ? emulator.g1Graphics : emulator.g0Graphics) b = lineDrawing(b);
  if (cursorInView()) {
    uint32_t text, back;
    cellColours(s.attribute, e, &text, &back);
    surfaceDrawCell(cellX(s.column), cellY(s.row), b, text, back);
  }
  int cell = cursorCell();
  putCell(b);
  if (terminalHooks.scriptRunning()) terminalHooks.scriptLineMatch(lineAt(s.row).cells, cell + 1);
}

void zmodemCancelCheck() {
  if (!terminalOptions.zmodemAutoStart) return;
  int cell = cursorCell();
  const ScreenLine& line = lineAt(screen.row);
  if (cell >= 2 && line.cells[cell - 1] == '*' && line.cells[cell - 2] == '*') terminalHooks.zmodemArmCapture();
}

static void deleteBack(int e) {
  ScreenBuffer& s = screen;
  if (s.column <= 0) return;
  --s.column;
  int cell = cursorCell();
  s.column = cell;
  if (cursorInView()) {
    uint32_t text, back;
    cellColours(s.attribute, e, &text, &back);
    surfaceDrawCell(cellX(cell), cellY(s.row), ' ', text, back);
  }
  attributesAt(s.row)[cell] = s.attribute;
  ScreenLine& line = lineAt(s.row);
  if (line.used > 0) {
    // The cell that drops out of use is blanked, so it cannot come back as
    // ghost text when the line grows again.
    --line.used;
    line.cells[line.used] = ' ';
  }
}

static void wyseCursorRight() {
  ScreenBuffer& s = screen;
  if (s.column < s.columns - 1) {
    ++s.column;
  } else if (emulator.autowrap) {
    s.column = 0;
    lineFeed();
  }
}

static void controlOrPrintable(uint8_t b, int e, bool telnetLayer) {
  ScreenBuffer& s = screen;
  bool wyse = e == TERM_WYSE50;
  switch (b) {
    case 0x0A: lineFeed(); break;                                     // LF
    case 0x0B: if (wyse) s.row = std::max(0, s.row - 1); else lineFeed(); break;  // VT
    case 0x0C: if (wyse) wyseCursorRight(); else lineFeed(); break;   // FF
    case 0x1E: if (wyse) { s.column = 0; s.row = 0; } break;          // RS: Wyse home
    case 0x1A: if (wyse) clearScreen(); break;                        // SUB: Wyse clear
    case 0x0D: s.column = 0; break;                                   // CR
    case 0x0E: emulator.activeSet = 1; break;                         // SO
    case 0x0F: emulator.activeSet = 0; break;                         // SI
    case 0x7F: deleteBack(e); break;                                  // DEL
    case 0x08:                                                        // BS
      s.column = std::max(0, std::min(s.column, LINE_CELLS) - 1);
      moveCaretToCursor();
      break;
    case 0x07: surfaceBeep(); break;                                  // BEL
    case 0x1B: if (e != TERM_TTY) startSequence(); break;             // ESC
    case 0x18: zmodemCancelCheck(); break;                            // CAN
    case 0x09:                                                        // HT
      s.column = std::min((std::min(s.column, LINE_CELLS) / 8 + 1) * 8, s.columns - 1);
      moveCaretToCursor();
      break;
    default:
      if (b >= 0x20 && b != 0x7F) printable(b, e, telnetLayer);
      break;
  }
}

static void receiveByte(uint8_t b, bool telnetLayer) {
  if (terminalHooks.transparentPrinting()) {
    // Telnet sits below the printer too: its commands and the IAC that
    // doubles a data 255 belong to the link, not to the job.
    if (terminalHooks.telnetInCommand()) terminalHooks.telnetCommandByte(b);
    else if (b == 0xFF && telnetLayer) terminalHooks.telnetCommandStart();
    else terminalHooks.transparentPrintByte(b);
    return;
  }
  if (divertedUpward(b)) return;
  // A script's 7-bit mask is for data: on a Telnet connection an IAC still
  // opens a command, so a host negotiating before its prompt gets answers.
  const bool telnetCommand = b == 0xFF && telnetLayer && receiveEightBit;
  if ((!receiveEightBit || terminalHooks.scriptRunning()) && !telnetCommand) b &= 0x7F;
  int e = currentEmulation();
  emulator.emulation = e;
  if (b == '\r' && emulator.inSequence) endSequence();
  // Telnet sits below the terminal: an IAC inside an escape sequence still
  // opens a command, and the sequence goes on after it.
  if (b == 0xFF && telnetLayer && emulator.inSequence) {
    terminalHooks.telnetCommandStart();
    return;
  }
  if (emulator.inSequence) {
    sequenceByte(b, e);
    return;
  }
  if (terminalHooks.captureOn()) {
    if (e != TERM_TTY && b == 0x1B) {
      startSequence();
      return;
    }
    if (isC1(b) && acceptsEightBitControls(e)) {
      eightBitControl(b);
      return;
    }
    terminalHooks.captureByte(b);
  }
  controlOrPrintable(b, e, telnetLayer);
}

static bool plainAscii(uint8_t b) { return b >= 0x20 && b <= 0x7E; }

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the word scans read the first byte from the low end");

// Length of the run of plain ASCII at the start of bytes, at most limit;
// eight bytes are tested at a time.
static int plainRunLength(const uint8_t* bytes, int limit) {
  constexpr uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
  int n = 0;
  for (; n + 8 <= limit; n += 8) {
    uint64_t x;
    std::memcpy(&x, bytes + n, 8);
    // High bits flag a byte below 0x20 or above 0x7E, and now and then a plain
    // one after it (a borrow or carry moves up only from a flagged byte): the
    // lowest flag is exact.
    uint64_t flagged = (((x - ones * 0x20) & ~x) | ((x + ones) | x)) & highs;
    if (flagged) return n + __builtin_ctzll(flagged) / 8;
  }
  while (n < limit && plainAscii(bytes[n])) ++n;
  return n;
}

// Whether no layer above diverts the bytes or watches them. Only the per-byte
// path and the handlers of sequences that reach beyond the screen can change
// that, never a run of plain text: the receive loop asks again only after one
// of those ran.
static bool layersQuiet() {
  return !terminalHooks.transparentPrinting() && !terminalHooks.telnetInCommand() &&
         !terminalHooks.zmodemCaptureActive() && !terminalHooks.scriptRunning() && !terminalHooks.captureOn();
}

// Whether a run of plain ASCII can skip the per-byte steps: nothing diverts
// bytes, nothing watches them (the layers are quiet), and printing is a plain
// overwrite. None of these can change in the middle of such a run.
static bool fastRunAllowed() {
  return !emulator.inSequence && !emulator.insertMode && !terminalOptions.displayControls &&
         !(emulator.activeSet ? emulator.g1Graphics : emulator.g0Graphics);
}

// Stores a stretch of plain ASCII that fits on the cursor's row, from the
// cursor on, and draws it with one surface call.
static void printStretch(const uint8_t* bytes, int count, uint32_t text, uint32_t back) {
  ScreenBuffer& s = screen;
  int cell = cursorCell();
  ScreenLine& line = lineAt(s.row);
  copyCells(line.cells + cell, bytes, count);
  fillCells(attributesAt(s.row) + cell, s.attribute, count);
  if (line.used < cell + count) line.used = static_cast<int16_t>(cell + count);
  // Only the cells right of the horizontal offset are on the window.
  int first = std::max(s.column, s.horizontalOffset);
  int shown = s.column + count - first;
  if (shown > 0)
    surfaceDrawCells(cellX(first), cellY(s.row), s.cellWidth, bytes + (first - s.column), shown, text, back);
  s.column = std::min(s.column + count, LINE_CELLS);
}

// Prints a run of plain ASCII exactly as the printable path would, without
// asking the hooks again: stretch by stretch up to the end of the row.
// Returns the bytes taken.
static int printRun(const uint8_t* bytes, int length) {
  ScreenBuffer& s = screen;
  int e = currentEmulation();
  emulator.emulation = e;
  uint32_t text, back;
  cellColours(s.attribute, e, &text, &back);
  int i = 0;
  while (i < length && plainAscii(bytes[i])) {
    int rowEnd = wrapForNextCharacter();
    int room = std::min(std::max(1, rowEnd - cursorCell()), length - i);
    int count = plainRunLength(bytes + i, room);
    printStretch(bytes + i, count, text, back);
    i += count;
  }
  return i;
}

static bool parameterByte(uint8_t b) { return (b >= '0' && b <= '9') || b == ';'; }

// Length of the run of digits and semicolons at the start of bytes, at most
// limit, eight bytes at a time: 0x30..0x3B less ':' are the wanted bytes.
static int parameterRunLength(const uint8_t* bytes, int limit) {
  constexpr uint64_t ones = 0x0101010101010101ull;
  int n = 0;
  for (; n + 8 <= limit; n += 8) {
    uint64_t x;
    std::memcpy(&x, bytes + n, 8);
    uint64_t y = x ^ (ones * 0x30);          // wanted bytes become 0x00..0x0B
    uint64_t v = y & (ones * 0x0F);
    uint64_t other = (y & (ones * 0xF0))     // not 0x30..0x3F
                     | ((v + ones * 0x04) & (ones * 0x10))           // 0x3C..0x3F
                     | (~((v ^ (ones * 0x0A)) + ones * 0x0F) & (ones * 0x10));  // ':'
    if (other) return n + __builtin_ctzll(other) / 8;
  }
  while (n < limit && parameterByte(bytes[n])) ++n;
  return n;
}

// Digits and semicolons of a control sequence (ESC [ ...) only go on being
// collected, whatever the emulation's collector: take a run of them at once.
// Returns the bytes taken.
static int collectParameters(const uint8_t* bytes, int length) {
  if (emulator.count < 2 || emulator.sequence[1] != '[') return 0;
  int room = std::min(length, SEQUENCE_MAX - emulator.count);
  int n = parameterRunLength(bytes, room);
  std::memcpy(emulator.sequence + emulator.count, bytes, n);
  emulator.count += n;
  emulator.sequence[emulator.count] = 0;
  return n;
}

// Whether a VT-family escape sequence can be collected without the per-byte
// steps: nothing diverts bytes and no control string is open.
static bool sequenceRunAllowed(int e, bool quiet) {
  return (isVtFamily(e) || e == TERM_SCO_ANSI) && !emulator.inControlString &&
         (quiet || (!terminalHooks.transparentPrinting() && !terminalHooks.telnetInCommand() &&
                    !terminalHooks.zmodemCaptureActive()));
}

// A control sequence that lies whole in the block (ESC [, parameters, then a
// byte that ends it in this emulation) is dispatched from the block itself,
// as collecting it byte by byte would end. Returns the bytes taken, 0 when
// the sequence is not whole or not that simple; *screenOnly tells whether its
// handler changed only the screen and the emulator.
static int wholeControlSequence(const uint8_t* bytes, int length, int e, bool* screenOnly) {
  if (length < 3 || bytes[0] != 0x1B || bytes[1] != '[') return 0;
  // The collector holds ESC, '[', the parameters and the final byte.
  int end = 2 + parameterRunLength(bytes + 2, std::min(length - 2, SEQUENCE_MAX - 3));
  if (end >= length || !plainAscii(bytes[end])) return 0;
  const VtFinal* f = vtFinal(bytes[end], e == TERM_SCO_ANSI);
  if (!f) return 0;
  *screenOnly = f->screenOnly;
  runSequence(f, bytes + 1, end);
  return end + 1;
}

// Takes ESC, the '[' after it and the parameters of an escape sequence in one
// go, as they only fill the sequence buffer, then the next plain byte. That
// byte may end the sequence and its handler may change what diverts the
// following bytes, so the run stops there. Returns the bytes taken (0 when
// the per-byte path must take the first one). *screenOnly is set when a
// whole sequence ran that changed only the screen and the emulator.
static int sequenceRun(const uint8_t* bytes, int length, bool quiet, bool* screenOnly) {
  int e = currentEmulation();
  if (!sequenceRunAllowed(e, quiet)) return 0;
  emulator.emulation = e;
  if (!emulator.inSequence) {
    int whole = wholeControlSequence(bytes, length, e, screenOnly);
    if (whole > 0) return whole;
  }
  int i = 0;
  if (bytes[0] == 0x1B) {  // ESC: a new sequence, or the one in progress starts again
    if (emulator.inSequence) sequenceByte(0x1B, e);
    else startSequence();
    i = 1;
  }
  if (!emulator.inSequence) return i;
  if (i < length && bytes[i] == '[' && emulator.count == 1) {  // CSI: collected, nothing more
    emulator.sequence[emulator.count++] = '[';
    emulator.sequence[emulator.count] = 0;
    ++i;
  }
  i += collectParameters(bytes + i, length - i);
  if (i < length && plainAscii(bytes[i])) sequenceByte(bytes[i++], e);
  return i;
}

void processReceived(const uint8_t* bytes, int length) {
  surfaceShowCaret(false);
  returnToLive();
  int quiet = -1;  // what layersQuiet() answers; -1: ask again
  for (int i = 0; i < length;) {
    int taken = 0;
    if (emulator.inSequence || bytes[i] == 0x1B) {
      bool screenOnly = false;
      taken = sequenceRun(bytes + i, length - i, quiet > 0, &screenOnly);
      if (!screenOnly) quiet = -1;
    } else if (plainAscii(bytes[i]) && fastRunAllowed()) {
      if (quiet < 0) quiet = layersQuiet();
      if (quiet) taken = printRun(bytes + i, length - i);
    }
    if (taken > 0) {
      i += taken;
    } else {
      receiveByte(bytes[i++], terminalOptions.telnet);
      quiet = -1;
    }
  }
  moveCaretToCursor();
  surfaceShowCaret(true);
  if (terminalOptions.zmodemAutoStart && terminalHooks.zmodemCaptureActive()) terminalHooks.zmodemAutoStartCheck();
}

void processDataByte(uint8_t b) {
  if (terminalOptions.displayControls) {
    processControlsVisibleData(b);
    return;
  }
  surfaceShowCaret(false);
  returnToLive();
  receiveByte(b, false);
  moveCaretToCursor();
  surfaceShowCaret(true);
  if (terminalOptions.zmodemAutoStart && terminalHooks.zmodemCaptureActive()) terminalHooks.zmodemAutoStartCheck();
}
