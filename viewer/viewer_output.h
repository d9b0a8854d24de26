// Where the decoder's output goes as it is produced: the window (scroll
// ranges, palette, rows drawn at once, progress title) or, on the host, a
// record that tools and tests read.
#pragma once
#include "viewer/viewer_image.h"

// The bitmap exists (size known, all zero).
void viewerOutputStart(ViewerImage& image);
// The colour table is filled; -1 when no palette could be made.
int viewerOutputPalette(ViewerImage& image);
// Rows first .. first + count - 1 (from the top) are filled; rowsDone is set.
void viewerOutputRows(ViewerImage& image, int first, int count);
