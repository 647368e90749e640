#include "gl_test_support.h"
#include "platform/message_box.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

namespace {

TEST(GLWindowPresent, EmptyQueuePresents)
{
    GlTestWindow w(32, 32);
    ASSERT_TRUE(w.isReady());
    int presented = 0;
    w.window.setPresentHook([&] { ++presented; });
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    EXPECT_TRUE(w.window.presentAndPump());
    EXPECT_EQ(presented, 1);
    EXPECT_FALSE(w.window.quitRequested());
}

TEST(GLWindowPresent, QueuedQuitIsConsumedWithoutPresenting)
{
    GlTestWindow w(32, 32);
    ASSERT_TRUE(w.isReady());
    int presented = 0;
    w.window.setPresentHook([&] { ++presented; });
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&quit), 1);
    EXPECT_FALSE(w.window.presentAndPump());
    EXPECT_EQ(presented, 0);
    EXPECT_TRUE(w.window.quitRequested());
    // The request was consumed: the next call presents again.
    EXPECT_TRUE(w.window.presentAndPump());
    EXPECT_EQ(presented, 1);
}

TEST(GLWindowPresent, EscapeKeyIsAQuitRequest)
{
    GlTestWindow w(32, 32);
    ASSERT_TRUE(w.isReady());
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_ESCAPE;
    key.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    ASSERT_EQ(SDL_PushEvent(&key), 1);
    EXPECT_FALSE(w.window.presentAndPump());
    EXPECT_TRUE(w.window.quitRequested());
}

TEST(GLWindowCreate, InitialStateAndViewport)
{
    GlTestWindow w(96, 48);
    ASSERT_TRUE(w.isReady());
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 96);
    EXPECT_EQ(viewport[3], 48);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint depthBits = 0, stencilBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
    EXPECT_GE(depthBits, 16);
    EXPECT_GE(stencilBits, 8);
}

TEST(GLWindowCreate, RefusesSizesBelowOne)
{
    std::vector<std::pair<std::string, std::string>> boxes;
    platform::setMessageBoxObserver([&](const std::string& c, const std::string& t) { boxes.emplace_back(c, t); });
    GLWindow w(0, 1080, 32, false, "q9 test", true);
    EXPECT_FALSE(w.isReady());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, "GLWindow::GLWindow");
    EXPECT_NE(boxes[0].second.find("0 x 1080"), std::string::npos) << boxes[0].second;
    platform::setMessageBoxObserver(nullptr);
}

} // namespace
