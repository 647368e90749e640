// Every picture the texture generator writes, one maker each.
#pragma once

#include "image.hpp"

namespace q9tex {

Image makeBumpmap();   // 512x512 tiling height field
Image makeDoom();      // 512x512 lava
Image makeBlue();      // 512x512 blue chrome sphere map
Image makeDoor();      // 512x512 gold sphere map
Image makeStar();      // 64x64 sprite
Image makeAnsiGirl();  // 640x400 text-mode art

// Retro home computer screens, drawn at 320x200 and returned scaled x4.
Image makeRetroTitle();      // c64_1: demo title screen
Image makeRetroBoot();       // c64_2: power-on screen
Image makeRetroTape();       // c64_3: tape loader
Image makeRetroDirectory();  // c64_4: disk directory listing
Image makeRetroPicture();    // c64_5: multicolour loader picture
Image makeRetroPlayer();     // c64_6: music player

}  // namespace q9tex
