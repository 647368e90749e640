#include "effects/bump_env.h"

#include "platform/gl.h"

void sceneBumpEnv(uint32_t showTime, Model* model, GLWrapper::Texture* environment, GLWrapper::Texture* bump,
                  ShaderProgram* fragmentProgram, ShaderProgram* vertexProgram)
{
    using shader::Profile;

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.333f, 1.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, 0.0, 0.0, 0.0, 0.0, 100.0, 0.0, 1.0, 0.0);
    glTranslatef(0.0f, 0.0f, 555.0f);
    glRotatef(static_cast<float>(static_cast<double>(showTime) / 3.0), 0.0f, 1.0f, 0.0f);

    shader::enableProfile(Profile::fragment);
    shader::bindProgram(*fragmentProgram);
    shader::enableProfile(Profile::vertex);
    shader::bindProgram(*vertexProgram);

    // Looked up every frame: the lookup is a short name compare, no caching.
    shader::Parameter* envmap = shader::getNamedParameter(*fragmentProgram, "envmap");
    shader::setTextureParameter(envmap, environment->textureId);
    shader::enableTextureParameter(envmap);
    shader::Parameter* bumpmap = shader::getNamedParameter(*fragmentProgram, "bumpmap");
    shader::setTextureParameter(bumpmap, bump->textureId);
    shader::enableTextureParameter(bumpmap);

    model->draw();

    shader::disableTextureParameter(envmap);
    shader::disableTextureParameter(bumpmap);
    shader::disableProfile(Profile::fragment);
    shader::unbindProgram(Profile::fragment);
    shader::disableProfile(Profile::vertex);
    shader::unbindProgram(Profile::vertex);
}
