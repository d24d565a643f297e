// SPDX-License-Identifier: MIT
#pragma once

// The software renderer builds each frame's working data (binned triangles, copies of the drawing
// state) in fresh heap blocks and frees them all once the frame is drawn. Under the C library's
// default policy the freed top of the heap goes back to the system at once and must be faulted in
// again, page by page, in the next frame: with the many small draws of a playing frame that cost
// more than all of its drawing. Keeps freed memory in the process instead, so each frame reuses the
// pages of the one before. Once, before the first frame.
void keepFreedHeap();
