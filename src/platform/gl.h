// The one way the show reaches OpenGL: libepoxy for the entry points beyond
// 1.1, GLU for the camera and mipmap helpers. Scenes include this, never SDL.
#pragma once
#include <epoxy/gl.h>
#include <GL/glu.h>
