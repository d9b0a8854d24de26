// Collecting escape sequences and control strings, and the C1 controls of the
// VT220 and VT320.
#include <algorithm>
#include <cstring>

#include "terminal/emulator.h"
#include "terminal/options.h"
#include "terminal/screen.h"
#include "terminal/terminal_type.h"
#include "terminal/vt_handlers.h"

EmulatorState emulator;

void emulatorReset() {
  emulator = EmulatorState{};
  emulator.autoRepeat = true;
  emulator.autowrap = true;
  emulator.emulation = TERM_VT100;
}

void emulatorConnectionStart() {
  emulator.g0Graphics = emulator.g1Graphics = false;
  emulator.activeSet = 0;
  emulator.autowrap = terminalOptions.autowrap;
  emulator.keypadApplication = terminalOptions.keypadApplication;
  emulator.bold = emulator.reverse = false;
  emulationSwitched(emulator.emulation);  // no sequence, cursor address or reset flag left over
  screen.attribute = DEFAULT_ATTRIBUTE;
  screen.scrollTop = 1;
  screen.scrollBottom = screen.rows;
  if (screen.row > screen.rows - 1) screen.row = screen.rows - 1;
}

static struct EmulatorInit {
  EmulatorInit() { emulatorReset(); }
} emulatorInit;

void startSequence() {
  emulator.sequence[0] = 0x1B;
  emulator.sequence[1] = 0;
  emulator.count = 1;
  emulator.inSequence = true;
  emulator.inControlString = false;
  emulator.controlStringEscape = false;
}

void endSequence() {
  emulator.inSequence = false;
  emulator.inControlString = false;
  emulator.controlStringEscape = false;
  emulator.count = 0;
  emulator.sequence[0] = 0;
}

// The sequence state is cleared before the handler runs: a reply written by the
// handler may let a nested receive pass start sequences of its own. Clearing
// leaves the collected bytes in place, and the dispatcher copies them before
// any handler runs.
static void finishAndDispatch() {
  int length = std::clamp(emulator.count - 1, 0, SEQUENCE_MAX);
  endSequence();
  dispatchSequence(emulator.sequence + 1, length);
}

static bool isOneOf(uint8_t b, const char* set) { return b != 0 && std::strchr(set, b) != nullptr; }

static void collect(uint8_t b, bool sco) {
  const uint8_t* s = emulator.sequence + 1;
  int length = emulator.count - 1;  // bytes after ESC, b included
  if (b == 0x1B) {
    startSequence();
    return;
  }
  const VtFinal* f = vtFinal(b, sco);
  if (f && !f->aloneDiffers) {
    finishAndDispatch();
    return;
  }
  if (b >= 'a' && b != 'g' && b != 'o' && b != 'p' && b != 'w' && b != 'y' && b != '|') return;
  if (b < '0' && b != 0x1B) return;  // intermediates and controls: go on
  switch (b) {
    case 'H':  // ESC H alone is tab set: no tab stops here
      if (length == 1) endSequence();
      else finishAndDispatch();
      return;
    case 'P':  // ESC P opens a device control string
      if (length == 1) emulator.inControlString = true;
      else finishAndDispatch();
      return;
    case '0':  // designate DEC line drawing
      if (length == 2 && (s[0] == '(' || s[0] == ')')) {
        if (emulator.emulation != TERM_ANSI_COLOR) (s[0] == '(' ? emulator.g0Graphics : emulator.g1Graphics) = true;
        endSequence();
      } else if (length == 2 && isOneOf(s[0], "*+-./")) {
        endSequence();
      }
      return;
    case '3': case '4': case '5': case '6':  // ESC # n: line size, not supported
      if (s[0] == '#') endSequence();
      return;
    case '7':  // DECSC
      if (length == 1) {
        saveCursorA();
        endSequence();
      }
      return;
    case '8':  // DECRC
      if (length == 1) {
        endSequence();
        restoreCursorA();
      }
      return;
    case '=':  // DECKPAM, wherever it occurs
      emulator.keypadApplication = true;
      endSequence();
      return;
    case '>':  // DECKPNM, wherever it occurs
      emulator.keypadApplication = false;
      endSequence();
      return;
    case '\\': case '<': case 'g': case 'o': case 'p': case 'w': case 'y': case '|':
      endSequence();
      return;
    default:
      return;
  }
}

void collectSequenceByte(uint8_t b) { collect(b, false); }
void collectScoSequenceByte(uint8_t b) { collect(b, true); }

// Nothing in a control string has a visible effect; only its end matters.
void controlStringByte(uint8_t b) {
  if (b == 0x9C || (emulator.controlStringEscape && b == '\\')) {
    endSequence();
    return;
  }
  emulator.controlStringEscape = (b == 0x1B);
}

static void openSequence(uint8_t introducer) {
  startSequence();
  emulator.sequence[1] = introducer;
  emulator.sequence[2] = 0;
  emulator.count = 2;
}

void eightBitControl(uint8_t b) {
  endSequence();
  switch (b) {
    case 0x84: indexDown(); break;       // IND
    case 0x85: nextLine(); break;        // NEL
    case 0x88: break;                    // HTS: no tab stops here
    case 0x8D: reverseIndex(); break;    // RI
    case 0x8E: openSequence('N'); break; // SS2
    case 0x8F: openSequence('O'); break; // SS3
    case 0x90:                           // DCS
      openSequence('P');
      emulator.inControlString = true;
      break;
    case 0x9B: openSequence('['); break; // CSI
    default: break;                      // ST ends what was open; others are dropped
  }
}
