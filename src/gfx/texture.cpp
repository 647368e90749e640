#include "gfx/texture.h"

#include "gfx/texel_reorder.h"
#include "platform/image_decoder.h"

#include <cstdio>
#include <vector>

namespace GLWrapper {

Texture::Texture(const char* path)
{
    loaded = true; // set before decoding, so it stays true after a failure
    textureId = 0;

    std::vector<uint8_t> texels;
    int bytesPerPixel = 0;
    {
        // The decoded copy goes away as soon as the texels are packed.
        const platform::DecodedImage image = platform::decodeImage(path);
        width = image.width;
        height = image.height;
        bytesPerPixel = image.bitsPerPixel / 8;
        if (bytesPerPixel == 3 || bytesPerPixel == 4) {
            texels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * bytesPerPixel);
            if (!reorderTexels(image.topRow, image.pitch, width, height, bytesPerPixel, texels.data()))
                texels.clear();
        }
        if (texels.empty())
            std::fprintf(stderr, "warning: picture %s not loaded (%s); drawing it untextured\n",
                         path ? path : "(null)", image.error.empty() ? "no pixels" : image.error.c_str());
    }

    glGenTextures(1, &textureId);
    glBindTexture(GL_TEXTURE_2D, textureId);
    if (!texels.empty()) {
        // Packed rows are width x 3 bytes, not padded to GL's default of 4.
        GLint previousAlignment = 4;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        gluBuild2DMipmaps(GL_TEXTURE_2D, bytesPerPixel, width, height, bytesPerPixel == 3 ? GL_RGB : GL_RGBA,
                          GL_UNSIGNED_BYTE, texels.data());
        glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    }
    // Without an image the texture stays incomplete, which GL draws as untextured.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
}

void Texture::setClamp()
{
    glBindTexture(GL_TEXTURE_2D, textureId);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
}

void Texture::setRepeat()
{
    glBindTexture(GL_TEXTURE_2D, textureId);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

void Texture::enable()
{
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureId);
}

void Texture::disable()
{
    glDisable(GL_TEXTURE_2D);
}

} // namespace GLWrapper
