// A small shader runtime: programs compiled from one source file per stage,
// profiles switched on and off, samplers found by name. It runs on GLSL 1.20
// (OpenGL 2.0 shader objects, compatibility profile) and keeps the calling
// pattern of the classic vertex/fragment program runtimes, so a scene enables
// a profile, binds a program and sets named texture parameters.
//
// GLSL draws only with a linked program, so the two stages of one context
// are linked together when the second one is loaded; the linked program is
// in use while both profiles are enabled and both stages are bound, and
// drawing falls back to fixed function otherwise.
//
// Errors are queued (see getError) and reported to the error callback as
// they happen; a call that failed leaves GL state as it found it.
// Main thread only, with the GL context current.
#pragma once
#include "platform/gl.h"

namespace shader {

enum class Profile { fragment, vertex };

enum class Error {
    none,
    fileRead,
    unsupportedDriver,
    compile,
    entryMissing,
    link,
    invalidContext,
    invalidProgram,
    programNotLoaded,
    programsNotLinked,
    invalidParameter,
};

struct Context;
struct Program;
struct Parameter;

using ErrorCallback = void (*)();

// Contexts live until the process ends; GL objects die with the GL context.
Context* createContext();
// Called after each error is queued; null switches reporting off.
void setErrorCallback(ErrorCallback callback);

// Reads `path`, checks that `entry` is defined, and compiles it for the
// stage of `profile` with "#version 120", the stage's define
// (FRAGMENT_STAGE or VERTEX_STAGE) and "#define <entry> main" in front, so
// the file guards each entry with its stage define and holds no #version
// line of its own. Null on failure (the error is raised).
Program* createProgramFromFile(Context* context, const char* path, Profile profile, const char* entry);
// Makes the program ready to bind; links it with every loaded program of
// the other stage in its context and gives the samplers their units.
void loadProgram(Program* program);

void enableProfile(Profile profile);
void disableProfile(Profile profile);
void bindProgram(Program* program);
void unbindProgram(Profile profile);

// The 2D sampler `name` of a loaded, linked program; null when there is none
// (using a null parameter raises invalidParameter). Looks up without
// allocating.
Parameter* getNamedParameter(Program* program, const char* name);
// Chooses the texture object the sampler reads.
void setTextureParameter(Parameter* parameter, GLuint texture);
// Binds that texture on the sampler's unit; disable puts the unit's earlier
// binding back. No texture unit gets glEnable'd: samplers need none, and the
// fixed-function pipeline stays as it was. The active unit is restored.
void enableTextureParameter(Parameter* parameter);
void disableTextureParameter(Parameter* parameter);
// The texture unit the back end gave the sampler (for tests).
int parameterTextureUnit(const Parameter* parameter);

// Takes the oldest queued error; none when the queue is empty.
Error getError();
const char* getErrorString(Error error);
// The compiler or link log (or the reason a file could not be read) of the
// last program creation or load in `context`; empty when it had none.
const char* getLastListing(Context* context);

// Whether a GL_SHADING_LANGUAGE_VERSION string ("major.minor[ vendor]")
// names 1.20 or later; false for null or anything else.
bool shadingLanguageOffers120(const char* versionString);

} // namespace shader
