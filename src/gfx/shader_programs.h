// The show's one pair of shader programs, loaded from "data/shader.cg", and
// the error handler that turns any shader error into a message box and the
// end of the process.
#pragma once
#include "gfx/shader_backend.h"

#include <cstddef>
#include <string>

// A program handle; the programs live until the process ends.
using ShaderProgram = shader::Program*;

// The one shader context; made by setupShaders, read by onCgError.
extern shader::Context* shaderContext;

struct ShaderPrograms {
    ShaderProgram psProgram = nullptr; // "psMain", fragment stage
    ShaderProgram vsProgram = nullptr; // "vsMain", vertex stage
};

// Makes shaderContext, installs onCgError, then creates and loads the
// fragment program and after it the vertex program, each compiled from
// "data/shader.cg" (relative to the working directory). Needs the GL context
// current. Any failure ends the process through onCgError; there is no
// failure result.
ShaderPrograms setupShaders();

// The error callback: shows the pending errors and the last compile or link
// log in the "CG-Error" box, then ends the process with status 1 (a shader
// that failed is a failure).
void onCgError();

// How onCgError ends the process; null restores std::exit. Tests put a
// function here that throws instead.
using ShaderErrorExit = void (*)(int status);
void setShaderErrorExit(ShaderErrorExit exitFunction);

// The box text: first + "\n" + second (when given) + "\n" + listing +
// "\n\n", each copied as it stands, cut to fit a 65,536-byte buffer with its
// terminating NUL and never inside a UTF-8 sequence.
constexpr size_t shaderErrorBufferBytes = 65536;
std::string composeShaderErrorText(const char* first, const char* second, const char* listing);
