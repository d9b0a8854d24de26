// Deferred painting of received data. While a block (or a whole receive pass)
// is processed, the screen operations do not draw: each change is only noted
// by view row, together with how the window's existing rows could be moved to
// match. When the block or pass ends, the window scrolls what still holds and
// repaints only the rows that changed, from the buffer.
#pragma once

// Deferral on or off (off: every operation draws at once). Forgets all notes.
void damageDefer(bool on);
// The operations' notes: each returns true when deferred (the caller must not
// draw), false when the caller draws as usual. Pixel rectangles as the surface
// takes them (right and bottom exclusive).
bool damageRect(int left, int top, int right, int bottom);
bool damageScroll(int left, int top, int right, int bottom, int dx, int dy);
bool damageAll();
// A received block starts (the caret is hidden) or ends. True when the block's
// changes are to be shown now: it ended, nothing holds them and something changed.
bool damageBlock(bool starts);
// Holds block ends back while more input waits (a receive pass). Releasing
// returns true when held changes are to be shown now.
bool damageHold(bool held);
// Something was noted and not shown yet.
bool damagePending();
// Shows the noted changes through the platform: first at most one scroll of
// the text area's rows (pixels top..bottom, by dy), then a repaint of each run
// of changed rows (pixels top..bottom, the whole width). Forgets the notes.
void damageShow(void (*scroll)(int top, int bottom, int dy), void (*repaint)(int top, int bottom));
