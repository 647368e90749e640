// Textured rectangles straight in clip space, the roll-up wipe, and the
// sphere-map switch.
#pragma once
#include "gfx/texture.h"

#include <cstdint>

// Both matrices are left at identity with GL_MODELVIEW current; texturing
// ends disabled with the texture still bound.
void drawScreenQuad(double x1, double y1, double z, double x2, double y2, GLWrapper::Texture texture, double s1,
                    double t1, double s2, double t2);
void drawScreenImage(double x1, double y1, double x2, double y2, GLWrapper::Texture texture);
void drawImageRollUp(uint32_t elapsedMs, int mode, double x1, double y1, double z, double x2, double y2,
                     GLWrapper::Texture texture, double s1, double t1, double s2, double t2);

void enableSphereMap();
void disableSphereMap();
