#include "effects/star_field.h"

#include "effects/show_random.h"
#include "platform/gl.h"

#include <cmath>

uint32_t lastStarStep = 0;

void initStarField(Star* stars)
{
    for (int i = 0; i < starCount; ++i) {
        Star& s = stars[i];
        s.x = static_cast<float>((showRand() % 2000) / 1000.0 - 1.0);
        s.y = static_cast<float>((showRand() % 2000) / 1000.0 - 1.0);
        s.z = static_cast<float>((showRand() % 4000) / 1000.0 - 4.0);
        s.r = static_cast<float>((showRand() % 100) / 1000.0 + 0.7);
        s.g = static_cast<float>((showRand() % 100) / 1000.0 + 0.7);
        s.b = static_cast<float>((showRand() % 100) / 1000.0 + 0.7);
    }
}

float advanceStarClock(uint32_t elapsedMs)
{
    // Going backwards would make the unsigned gap nearly 2^32: billions of steps.
    if (elapsedMs < lastStarStep)
        lastStarStep = elapsedMs;
    float speed = 0.0f;
    while (elapsedMs - lastStarStep > 10) {
        lastStarStep += 10;
        speed = speed + 0.0065f;
    }
    return speed;
}

void stepStarField(Star* stars, float speed)
{
    for (int i = 0; i < starCount; ++i) {
        Star& s = stars[i];
        s.z = s.z + speed;
        if (s.z > 0.5f) {
            s.x = static_cast<float>((showRand() % 2400) / 1000.0 - 1.0);
            s.y = static_cast<float>((showRand() % 2000) / 1000.0 - 1.0);
            s.z = -4.0f;
        }
    }
}

void sceneStarField(uint32_t elapsedMs, Star* stars, GLWrapper::Texture* texture, uint32_t rollMs)
{
    glPushMatrix();
    gluPerspective(90.0, 16.0 / 9.0, 0.01, 3.0);
    const double a = rollMs / 1000.0;
    gluLookAt(0.0, 0.0, -1.0, 0.0, 0.0, -2.0, std::sin(a), std::cos(a), a);
    const float speed = advanceStarClock(elapsedMs);

    texture->enable();
    glBegin(GL_QUADS);
    for (int i = 0; i < starCount; ++i) {
        const Star& s = stars[i];
        const float f = static_cast<float>(s.z / 3.0 + 1.0);
        glColor3f(s.r * f, s.g * f, s.b * f);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(s.x, s.y, s.z);
        glTexCoord2f(0.0f, 1.0f);
        glVertex3f(s.x, s.y - 0.01f, s.z);
        glTexCoord2f(1.0f, 1.0f);
        glVertex3f(s.x + 0.01f, s.y - 0.01f, s.z);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(s.x + 0.01f, s.y, s.z);
    }
    glEnd();
    // Drawing first and moving after is the same as moving each star right
    // after drawing it: the respawn draws come in the same order.
    stepStarField(stars, speed);
    texture->disable();
    glPopMatrix();
}
