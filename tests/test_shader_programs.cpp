#include "gfx/shader_programs.h"
#include "gl_test_support.h"
#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Box {
    std::string caption, text;
};

struct ShaderExit {
    int status;
};

// A throw instead of exit, so a test sees the box and the status and the
// failed call never returns.
void throwInsteadOfExit(int status) { throw ShaderExit{status}; }

// Runs the test in a temp folder holding data/shader.cg with `source`
// (or no shader file at all), and collects every box.
class ShaderFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/q9_shader_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        std::filesystem::create_directory(folder / "data");
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        platform::setMessageBoxObserver([this](const std::string& c, const std::string& t) { boxes.push_back({c, t}); });
        setShaderErrorExit(throwInsteadOfExit);
    }
    void TearDown() override
    {
        setShaderErrorExit(nullptr);
        platform::setMessageBoxObserver(nullptr);
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
    }
    void writeShader(const std::string& source)
    {
        std::ofstream(folder / "data" / "shader.cg", std::ios::binary) << source;
    }
    // setupShaders, returning the exit status it ended with (-1: it returned).
    int runSetup()
    {
        try {
            programs = setupShaders();
        } catch (const ShaderExit& e) {
            return e.status;
        }
        return -1;
    }

    std::filesystem::path folder, previous;
    std::vector<Box> boxes;
    ShaderPrograms programs;
};

// Line 5 holds the syntax error.
const char* syntaxErrorInPsMain = "varying vec2 uv;\n"
                                  "#ifdef FRAGMENT_STAGE\n"
                                  "void psMain()\n"
                                  "{\n"
                                  "    gl_FragColor = vec4(1.0) +;\n"
                                  "}\n"
                                  "#endif\n"
                                  "#ifdef VERTEX_STAGE\n"
                                  "void vsMain() { gl_Position = ftransform(); }\n"
                                  "#endif\n";

const char* withoutVsMain = "// vsMain() would go here; this file has none on purpose.\n"
                            "#ifdef FRAGMENT_STAGE\n"
                            "void psMain() { gl_FragColor = vec4(1.0); }\n"
                            "#endif\n";

const char* percentInLog = "#ifdef FRAGMENT_STAGE\n"
                           "#error 100%s %d%% %n done\n"
                           "void psMain() { gl_FragColor = vec4(1.0); }\n"
                           "#endif\n";

// Red from "envmap", green from "bumpmap": yellow only when the two samplers
// read different units.
const char* twoSamplers = "#ifdef VERTEX_STAGE\n"
                          "void vsMain() { gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex; }\n"
                          "#endif\n"
                          "#ifdef FRAGMENT_STAGE\n"
                          "uniform sampler2D envmap;\n"
                          "uniform sampler2D bumpmap;\n"
                          "void psMain()\n"
                          "{\n"
                          "    vec2 c = vec2(0.5);\n"
                          "    gl_FragColor = vec4(texture2D(envmap, c).r, texture2D(bumpmap, c).g, 0.0, 1.0);\n"
                          "}\n"
                          "#endif\n";

GLuint solidTexture(uint8_t r, uint8_t g, uint8_t b)
{
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    const uint8_t px[4] = {r, g, b, 255};
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, px);
    return id;
}

GLint currentProgram()
{
    GLint id = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &id);
    return id;
}

} // namespace

TEST_F(ShaderFileTest, ShippedShaderLoadsWithBothSamplersOnTheirOwnUnits)
{
    GlTestWindow w;
    ASSERT_TRUE(w.isReady());
    std::filesystem::copy_file(std::string(Q9_RUN_DIR) + "/data/shader.cg", folder / "data" / "shader.cg");
    ASSERT_EQ(runSetup(), -1);
    EXPECT_TRUE(boxes.empty());
    ASSERT_NE(shaderContext, nullptr);
    ASSERT_NE(programs.psProgram, nullptr);
    ASSERT_NE(programs.vsProgram, nullptr);
    shader::Parameter* env = shader::getNamedParameter(programs.psProgram, "envmap");
    shader::Parameter* bump = shader::getNamedParameter(programs.psProgram, "bumpmap");
    ASSERT_NE(env, nullptr);
    ASSERT_NE(bump, nullptr);
    EXPECT_NE(shader::parameterTextureUnit(env), shader::parameterTextureUnit(bump));
    // Loading leaves everything unbound.
    EXPECT_EQ(currentProgram(), 0);
}

TEST_F(ShaderFileTest, SyntaxErrorInPsMainShowsTheCompilerLog)
{
    GlTestWindow w;
    ASSERT_TRUE(w.isReady());
    writeShader(syntaxErrorInPsMain);
    EXPECT_EQ(runSetup(), 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "CG-Error");
    const std::string listing = shader::getLastListing(shaderContext);
    // The log counts the lines of the file itself, not the loader's prefix.
    EXPECT_NE(listing.find("0:5("), std::string::npos) << listing;
    EXPECT_NE(listing.find("error"), std::string::npos) << listing;
    EXPECT_EQ(boxes[0].text, std::string("The compile returned an error.\n\n") + listing + "\n\n");
    EXPECT_EQ(programs.psProgram, nullptr);
    EXPECT_EQ(programs.vsProgram, nullptr);
}

TEST_F(ShaderFileTest, FileWithoutVsMainFailsAtTheVertexProgram)
{
    GlTestWindow w;
    ASSERT_TRUE(w.isReady());
    writeShader(withoutVsMain);
    EXPECT_EQ(runSetup(), 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "CG-Error");
    EXPECT_EQ(boxes[0].text, "The entry function was not found in the shader file.\n\n"
                             "data/shader.cg: no vertex entry function \"vsMain\"\n\n");
}

TEST_F(ShaderFileTest, PercentSignsInTheLogStayAsTheyAre)
{
    GlTestWindow w;
    ASSERT_TRUE(w.isReady());
    writeShader(percentInLog);
    EXPECT_EQ(runSetup(), 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("100%s %d%% %n done"), std::string::npos) << boxes[0].text;
}

TEST_F(ShaderFileTest, MissingFileNamesThePathAndTheReason)
{
    GlTestWindow w;
    ASSERT_TRUE(w.isReady());
    EXPECT_EQ(runSetup(), 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "The shader file could not be read.\n\ndata/shader.cg: No such file or directory\n\n");
}

// The real exit, in a child process: status 1, the box on stderr, and
// nothing after setupShaders runs.
struct FailingFile {
    const char* name;
    const char* source; // null: no file
    const char* stderrPattern;
};

void PrintTo(const FailingFile& f, std::ostream* os) { *os << f.name; }

class ShaderExitStatus : public ShaderFileTest, public ::testing::WithParamInterface<FailingFile> {};

TEST_P(ShaderExitStatus, ExitsWithStatusOneBeforeAnyScene)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    GlTestWindow w;
    ASSERT_TRUE(w.isReady());
    if (GetParam().source)
        writeShader(GetParam().source);
    EXPECT_EXIT(
        {
            // The child never reaches TearDown: clear its folder on exit.
            static std::filesystem::path childFolder;
            childFolder = folder;
            std::atexit([] { std::filesystem::remove_all(childFolder); });
            setShaderErrorExit(nullptr);
            setupShaders();
            std::fputs("scene drawn\n", stderr);
            std::exit(7);
        },
        ::testing::ExitedWithCode(1), GetParam().stderrPattern);
}

INSTANTIATE_TEST_SUITE_P(
    ShaderFailures, ShaderExitStatus,
    ::testing::Values(FailingFile{"syntaxError", syntaxErrorInPsMain, "CG-Error: The compile returned an error"},
                      FailingFile{"noVsMain", withoutVsMain, "CG-Error: The entry function was not found"},
                      FailingFile{"noFile", nullptr, "CG-Error: The shader file could not be read"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShaderFileTest, LinkedProgramIsInUseOnlyWhileBothStagesAreOn)
{
    GlTestWindow w;
    ASSERT_TRUE(w.isReady());
    writeShader(twoSamplers);
    ASSERT_EQ(runSetup(), -1);
    using shader::Profile;
    shader::enableProfile(Profile::fragment);
    shader::bindProgram(programs.psProgram);
    EXPECT_EQ(currentProgram(), 0);
    shader::enableProfile(Profile::vertex);
    shader::bindProgram(programs.vsProgram);
    const GLint linked = currentProgram();
    EXPECT_NE(linked, 0);
    shader::disableProfile(Profile::fragment);
    EXPECT_EQ(currentProgram(), 0);
    shader::enableProfile(Profile::fragment);
    EXPECT_EQ(currentProgram(), linked);
    shader::unbindProgram(Profile::vertex);
    EXPECT_EQ(currentProgram(), 0);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ShaderFileTest, SamplersReadTheirOwnTexturesAndUnitsAreRestored)
{
    GlTestWindow w(16, 16);
    ASSERT_TRUE(w.isReady());
    writeShader(twoSamplers);
    ASSERT_EQ(runSetup(), -1);
    const GLuint red = solidTexture(255, 0, 0);
    const GLuint green = solidTexture(0, 255, 0);
    const GLuint marker0 = solidTexture(1, 2, 3);
    const GLuint marker1 = solidTexture(4, 5, 6);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, marker1);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, marker0);

    using shader::Profile;
    shader::enableProfile(Profile::fragment);
    shader::bindProgram(programs.psProgram);
    shader::enableProfile(Profile::vertex);
    shader::bindProgram(programs.vsProgram);
    shader::Parameter* env = shader::getNamedParameter(programs.psProgram, "envmap");
    shader::setTextureParameter(env, red);
    shader::enableTextureParameter(env);
    shader::Parameter* bump = shader::getNamedParameter(programs.psProgram, "bumpmap");
    shader::setTextureParameter(bump, green);
    shader::enableTextureParameter(bump);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
    const auto px = readPixel(8, 8);
    EXPECT_EQ(px[0], 255);
    EXPECT_EQ(px[1], 255);
    EXPECT_EQ(px[2], 0);

    shader::disableTextureParameter(env);
    shader::disableTextureParameter(bump);
    shader::disableProfile(Profile::fragment);
    shader::unbindProgram(Profile::fragment);
    shader::disableProfile(Profile::vertex);
    shader::unbindProgram(Profile::vertex);
    GLint active = 0, binding0 = 0, binding1 = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &binding0);
    glActiveTexture(GL_TEXTURE1);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &binding1);
    EXPECT_EQ(active, GL_TEXTURE0);
    EXPECT_EQ(static_cast<GLuint>(binding0), marker0);
    EXPECT_EQ(static_cast<GLuint>(binding1), marker1);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ShaderFileTest, UnknownSamplerNameEndsTheShowWhenUsed)
{
    GlTestWindow w;
    ASSERT_TRUE(w.isReady());
    writeShader(twoSamplers);
    ASSERT_EQ(runSetup(), -1);
    shader::Parameter* none = shader::getNamedParameter(programs.psProgram, "nosuch");
    EXPECT_EQ(none, nullptr);
    int status = -1;
    try {
        shader::setTextureParameter(none, 1);
    } catch (const ShaderExit& e) {
        status = e.status;
    }
    EXPECT_EQ(status, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.rfind("Invalid parameter handle.\n", 0), 0u) << boxes[0].text;
}

TEST_F(ShaderFileTest, SecondPendingErrorFollowsTheFirst)
{
    GlTestWindow w;
    ASSERT_TRUE(w.isReady());
    writeShader(twoSamplers);
    ASSERT_EQ(runSetup(), -1);
    // Queue two errors without reporting, then report them together.
    shader::setErrorCallback(nullptr);
    shader::bindProgram(nullptr);
    shader::enableTextureParameter(nullptr);
    int status = -1;
    try {
        onCgError();
    } catch (const ShaderExit& e) {
        status = e.status;
    }
    EXPECT_EQ(status, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, std::string("Invalid program handle.\nInvalid parameter handle.\n") +
                                 shader::getLastListing(shaderContext) + "\n\n");
    EXPECT_EQ(shader::getError(), shader::Error::none);
}

TEST(ShaderErrorText, LongListingIsCutInsideTheBufferAtACharacterBoundary)
{
    // 2-byte characters, so the cut lands in the middle of one.
    std::string listing;
    for (int i = 0; i < 40000; ++i)
        listing += "\xC3\xA9";
    const std::string text = composeShaderErrorText("first", "second", listing.c_str());
    EXPECT_LT(text.size(), shaderErrorBufferBytes);
    EXPECT_GE(text.size(), shaderErrorBufferBytes - 3);
    EXPECT_EQ(text.rfind("first\nsecond\n\xC3\xA9", 0), 0u);
    // Everything after the header is whole characters.
    EXPECT_EQ((text.size() - std::string("first\nsecond\n").size()) % 2, 0u);
}

TEST(ShaderErrorText, ShortTextsKeepTheirLayout)
{
    EXPECT_EQ(composeShaderErrorText("a", nullptr, "log %s"), "a\n\nlog %s\n\n");
    EXPECT_EQ(composeShaderErrorText("a", "b", nullptr), "a\nb\n\n\n");
}

TEST(ShaderDriver, ShadingLanguageVersionStrings)
{
    struct Case {
        const char* version;
        bool offers;
    };
    const Case cases[] = {{"1.20", true},  {"1.10", false},       {"4.50", true},
                          {"1.30 NVIDIA", true}, {"1.2", true},  {"1.00", false},
                          {"", false},     {"GLSL 1.20", false}, {nullptr, false}};
    for (const Case& c : cases)
        EXPECT_EQ(shader::shadingLanguageOffers120(c.version), c.offers) << (c.version ? c.version : "null");
}
