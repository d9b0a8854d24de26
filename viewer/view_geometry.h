// Zoom and scrolling arithmetic of the viewer window. Scroll positions and
// ranges count units of 4 pixels; zoom index 0 is 100 % with scrolling.
#pragma once

constexpr int SCROLL_UNIT = 4;
constexpr int ZOOM_INDEXES = 8;

// Drawn size of an image side at a zoom index (index 0: the size itself).
int zoomedSize(int size, int zoomIndex);
// Scroll range for an image side in a client side: 0 when it fits.
int scrollRange(int imageSize, int clientSize);

enum class ScrollStep { LineBack, LineOn, PageBack, PageOn, Thumb, Top, Bottom };
// New position after a step; page steps move a client size's worth of units.
int scrollStep(int position, int range, ScrollStep step, int clientSize, int thumb);
// Keeps a position at the same fraction of its range when the range changes.
int keepFraction(int position, int oldRange, int newRange);
// The zoom index of a "Shrink/Stretch" menu command, -1 for other commands.
int zoomIndexForCommand(int command);
