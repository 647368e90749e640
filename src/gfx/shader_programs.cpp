#include "gfx/shader_programs.h"

#include "platform/message_box.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

shader::Context* shaderContext = nullptr;

namespace {
ShaderErrorExit errorExit = nullptr;

constexpr const char* shaderFile = "data/shader.cg";

// Appends as much of `piece` as fits under `limit` bytes.
void appendLimited(std::string& text, const char* piece, size_t limit)
{
    if (!piece || text.size() >= limit)
        return;
    text.append(piece, std::min(std::strlen(piece), limit - text.size()));
}
} // namespace

std::string composeShaderErrorText(const char* first, const char* second, const char* listing)
{
    const size_t limit = shaderErrorBufferBytes - 1;
    std::string text;
    appendLimited(text, first, limit);
    appendLimited(text, "\n", limit);
    appendLimited(text, second, limit);
    appendLimited(text, "\n", limit);
    appendLimited(text, listing, limit);
    appendLimited(text, "\n\n", limit);
    if (text.size() == limit) {
        // Cut at a character boundary: drop a lead byte whose sequence was cut.
        size_t end = text.size();
        size_t start = end;
        while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80)
            --start;
        if (start > 0) {
            const auto lead = static_cast<unsigned char>(text[start - 1]);
            const size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            if (need > 1 && end - (start - 1) < need)
                text.resize(start - 1);
        }
    }
    return text;
}

void setShaderErrorExit(ShaderErrorExit exitFunction) { errorExit = exitFunction; }

void onCgError()
{
    const shader::Error first = shader::getError();
    const shader::Error second = shader::getError();
    const std::string text = composeShaderErrorText(
        shader::getErrorString(first), second != shader::Error::none ? shader::getErrorString(second) : nullptr,
        shaderContext ? shader::getLastListing(shaderContext) : nullptr);
    platform::showMessageBox(text.c_str(), "CG-Error", nullptr);
    if (errorExit)
        errorExit(1);
    else
        std::exit(1);
}

ShaderPrograms setupShaders()
{
    shaderContext = shader::createContext();
    shader::setErrorCallback(onCgError);
    ShaderPrograms programs;
    programs.psProgram = shader::createProgramFromFile(shaderContext, shaderFile, shader::Profile::fragment, "psMain");
    shader::loadProgram(programs.psProgram);
    programs.vsProgram = shader::createProgramFromFile(shaderContext, shaderFile, shader::Profile::vertex, "vsMain");
    shader::loadProgram(programs.vsProgram);
    return programs;
}
