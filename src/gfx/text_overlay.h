// One line of text over the whole window, in a 1024 x 768 frame.
#pragma once

// Loads "demofont.glf" from the working directory into GL texture 0 on every
// call and draws `text` with the current colour, blended over the frame at
// depth 0.5. A text point (u, v) lands at frame point (s (u + 5), s (v + 6))
// with s = 18 x scale; the frame's origin is its bottom-left corner.
// Leaves texturing and blending (SRC_ALPHA, ONE_MINUS_SRC_ALPHA) on, texture
// 0 bound, both matrices identity and GL_PROJECTION current; without a
// readable font it draws nothing (texturing and blending are on all the same).
void drawOverlayText(double x, double y, double scale, const char* text);
