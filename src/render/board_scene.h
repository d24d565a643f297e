// SPDX-License-Identifier: MIT
#pragma once

// The unit cube every block is drawn with: one display list shared by the settled heap, the
// falling piece and the next-piece preview. Faces are wound counter-clockwise from outside, carry
// their normals and texture coordinates, and set the colour to white first; after a call the
// current normal is (-1, 0, 0).
//
// Drawing of Block, Piece and GameSession is defined in board_scene.cpp.

extern unsigned int cubeList;  // GLuint display list, 0 until buildCubeList

// Compiles cubeList. Called once at start-up, before any other display list is made.
void buildCubeList();
// Deletes cubeList while the context lives; a second call does nothing.
void releaseCubeList();
