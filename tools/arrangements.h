// SPDX-License-Identifier: MIT
#pragma once

#include "mixdown.h"

// The two tunes, arranged for bells, lead, strings, electric piano, bass, sleigh bells and a
// soft drum.

// "Jingle Bells" (traditional, public domain): verse and chorus in C major, 4/4 at 144 beats per
// minute, 32 bars (53.3 s). The mixdown loops: the last bar leads back into the first and the
// ringing of the end is heard over the start.
Mixdown arrangeJingleBells();

// "We Wish You a Merry Christmas" (traditional): one bar of introduction, both halves in G major,
// 3/4, slowing into a final chord that rings out (about 27 s). Plays once.
Mixdown arrangeMerryChristmas();
