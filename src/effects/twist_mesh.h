// The twisting, sphere-mapped mesh: every vertex of a rest pose is turned
// about the three axes by angles that swing with time and shrink with the
// square root of the vertex's distance from the origin.
#pragma once
#include "gfx/model.h"
#include "gfx/texture.h"

#include <cstdint>

// Rotations about one axis by `angle` radians, in single precision with the
// sine and cosine narrowed to float. rotateX turns counter-clockwise in a
// right-handed frame; rotateY and rotateZ turn the other way.
Vec3 rotateX(Vec3 v, float angle);
Vec3 rotateY(Vec3 v, float angle);
Vec3 rotateZ(Vec3 v, float angle);

// The CPU half of the scene, callable without GL: overwrites the positions of
// model's first mesh with the rest pose from reference's first mesh, twisted
// for showTime (milliseconds), then recomputes model's normals. weights and
// angles are scratch arrays of at least model's first-mesh vertex count.
// A vertex at the origin is left unrotated. Returns false and touches
// nothing when model has no mesh or reference's first mesh is missing or
// has fewer vertices. Allocates nothing.
bool twistMesh(int32_t showTime, Model* model, const Model* reference, float* weights, Vec3* angles,
               float twistScale);

// One frame: twistMesh, then the camera (45 degrees, eye at (200, 200, 200))
// and the model drawn with `texture` as a sphere map, modulated by the
// current colour. A model twistMesh refuses is drawn as it is. Leaves both
// matrices holding the camera, GL_MODELVIEW current. The show passes
// twistScale 1e-05.
void sceneTwistMesh(int32_t showTime, Model* model, Model* reference, float* weights, Vec3* angles,
                    GLWrapper::Texture texture, float twistScale);
