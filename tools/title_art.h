// SPDX-License-Identifier: MIT
#pragma once

#include "image.h"
#include "text_renderer.h"

// The DejaVu faces the pictures are lettered in.
struct TitleFaces {
    TextRenderer& serifBold;
    TextRenderer& serifBoldItalic;
    TextRenderer& serifItalic;
    TextRenderer& sansBold;
};

// The intro and farewell pictures. Each is drawn for the shape it has on screen (the projection
// shows everything 4/3 wider than in the scene) and squeezed into its file size:
// snowflake 128 x 128 (on screen 4:3), logo and "presents" 512 x 256 (8:3), game logo
// 512 x 512 (4:3), "Merry Christmas" banner 1024 x 256 (16:3).
Image makeSnowflakeImage();
Image makeLogo(const TitleFaces& faces);
Image makePresentsImage(const TitleFaces& faces);
Image makeGameLogo(const TitleFaces& faces);
Image makeBanner(const TitleFaces& faces);
