// A 2D texture made from an image file, with a full mipmap chain, and the
// small copyable handle through which it is bound.
#pragma once
#include "platform/gl.h"

#include <cstdint>

namespace GLWrapper {

// A handle: copies share the GL texture and nothing ever deletes it (it
// lives until the GL context goes away), so a Texture can be passed by value.
class Texture final {
public:
    // Loads the picture at `path` (relative to the working directory). Never
    // fails loudly: a missing or undecodable file leaves width = height = 0
    // and a texture that draws as untextured.
    explicit Texture(const char* path);
    Texture(const Texture& other) = default;
    Texture& operator=(const Texture& other) = default;
    ~Texture() = default;

    virtual void setClamp();
    virtual void setRepeat();
    virtual void enable();
    virtual void disable();

    int32_t width = 0;
    int32_t height = 0;
    bool loaded = false;
    GLuint textureId = 0;
};

} // namespace GLWrapper
