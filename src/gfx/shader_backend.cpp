#include "gfx/shader_backend.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace shader {

struct Parameter {
    Context* context = nullptr;
    std::string name;
    GLenum type = 0;
    GLint unit = 0;
    GLuint texture = 0;
    GLint previousBinding = 0; // what the unit held before enable
    bool enabled = false;
    std::vector<const Program*> users; // the programs it was linked into
};

struct Program {
    Context* context = nullptr;
    Profile profile = Profile::fragment;
    std::string entry;
    GLuint shaderObject = 0;
    bool loaded = false;
};

struct LinkedPair {
    const Program* fragment;
    const Program* vertex;
    GLuint program;
};

struct Context {
    std::vector<std::unique_ptr<Program>> programs;
    std::vector<std::unique_ptr<Parameter>> samplers;
    std::vector<LinkedPair> pairs;
    std::string listing;
};

namespace {

// A shader source larger than this is not a shader.
constexpr long maxSourceBytes = 4 * 1024 * 1024;

std::vector<std::unique_ptr<Context>>& contexts()
{
    static std::vector<std::unique_ptr<Context>> all;
    return all;
}

ErrorCallback errorCallback = nullptr;

// Fixed ring: raising an error never allocates.
std::array<Error, 16> pending{};
size_t pendingHead = 0;
size_t pendingCount = 0;

struct Binding {
    bool enabled[2] = {false, false};
    Program* bound[2] = {nullptr, nullptr};
    GLuint inUse = 0;
} binding;

size_t slot(Profile profile) { return profile == Profile::fragment ? 0 : 1; }

void raise(Error error)
{
    if (pendingCount < pending.size()) {
        pending[(pendingHead + pendingCount) % pending.size()] = error;
        ++pendingCount;
    }
    if (errorCallback)
        errorCallback();
}

bool knownContext(const Context* context)
{
    if (!context)
        return false;
    for (const auto& c : contexts())
        if (c.get() == context)
            return true;
    return false;
}

bool knownProgram(const Program* program)
{
    if (!program || !knownContext(program->context))
        return false;
    for (const auto& p : program->context->programs)
        if (p.get() == program)
            return true;
    return false;
}

bool knownParameter(const Parameter* parameter)
{
    if (!parameter || !knownContext(parameter->context))
        return false;
    for (const auto& s : parameter->context->samplers)
        if (s.get() == parameter)
            return true;
    return false;
}

bool readFile(const char* path, std::string& text, std::string& why)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        why = std::string(path) + ": " + std::strerror(errno);
        return false;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(file, std::fclose);
    if (std::fseek(file, 0, SEEK_END) != 0) {
        why = std::string(path) + ": cannot seek";
        return false;
    }
    const long size = std::ftell(file);
    if (size < 0 || size > maxSourceBytes) {
        why = std::string(path) + (size < 0 ? ": cannot tell its size" : ": larger than 4 MiB");
        return false;
    }
    std::rewind(file);
    text.resize(static_cast<size_t>(size));
    if (size > 0 && std::fread(text.data(), 1, text.size(), file) != text.size()) {
        why = std::string(path) + ": read error";
        return false;
    }
    return true;
}

bool isIdentifierChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// True when `entry` appears outside comments as a name followed by "(".
// The compiler would accept a stage without main and only the link would
// notice, one stage too late; this names the missing entry at its own stage.
bool definesEntry(const std::string& src, const std::string& entry)
{
    size_t i = 0;
    const size_t n = src.size();
    while (i < n) {
        if (src.compare(i, 2, "//") == 0) {
            while (i < n && src[i] != '\n')
                ++i;
        } else if (src.compare(i, 2, "/*") == 0) {
            const size_t end = src.find("*/", i + 2);
            i = end == std::string::npos ? n : end + 2;
        } else if (isIdentifierChar(src[i])) {
            const size_t start = i;
            while (i < n && isIdentifierChar(src[i]))
                ++i;
            if (src.compare(start, i - start, entry) == 0 && i - start == entry.size()) {
                size_t j = i;
                while (j < n && (src[j] == ' ' || src[j] == '\t' || src[j] == '\r' || src[j] == '\n'))
                    ++j;
                if (j < n && src[j] == '(')
                    return true;
            }
        } else {
            ++i;
        }
    }
    return false;
}

bool driverOffersGlsl120(std::string& why)
{
    if (!epoxy_is_desktop_gl()) {
        why = "GLSL 1.20 needs desktop OpenGL; this context is OpenGL ES";
        return false;
    }
    const int glVersion = epoxy_gl_version();
    const auto* glsl = reinterpret_cast<const char*>(glGetString(GL_SHADING_LANGUAGE_VERSION));
    if (glVersion >= 20 && shadingLanguageOffers120(glsl))
        return true;
    why = "GLSL 1.20 needs OpenGL 2.0; the driver offers OpenGL " + std::to_string(glVersion / 10) + "." +
          std::to_string(glVersion % 10) + " with GLSL \"" + (glsl ? glsl : "none") + "\"";
    return false;
}

std::string shaderLog(GLuint object)
{
    GLint length = 0;
    glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    if (length <= 1)
        return {};
    std::string log(static_cast<size_t>(length), '\0');
    GLsizei written = 0;
    glGetShaderInfoLog(object, length, &written, log.data());
    log.resize(static_cast<size_t>(written));
    return log;
}

std::string programLog(GLuint object)
{
    GLint length = 0;
    glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    if (length <= 1)
        return {};
    std::string log(static_cast<size_t>(length), '\0');
    GLsizei written = 0;
    glGetProgramInfoLog(object, length, &written, log.data());
    log.resize(static_cast<size_t>(written));
    return log;
}

bool isSamplerType(GLenum type)
{
    switch (type) {
    case GL_SAMPLER_1D:
    case GL_SAMPLER_2D:
    case GL_SAMPLER_3D:
    case GL_SAMPLER_CUBE:
    case GL_SAMPLER_1D_SHADOW:
    case GL_SAMPLER_2D_SHADOW: return true;
    default: return false;
    }
}

Parameter* samplerNamed(Context* context, const char* name)
{
    for (const auto& s : context->samplers)
        if (s->name == name)
            return s.get();
    return nullptr;
}

bool unitTaken(const Context* context, GLint unit)
{
    for (const auto& s : context->samplers)
        if (s->unit == unit)
            return true;
    return false;
}

// Gives every sampler of the linked program a unit (the same unit for the
// same name throughout the context) and stores it in the program.
bool assignSamplerUnits(Context* context, GLuint linked, const Program* a, const Program* b, std::string& why)
{
    GLint count = 0, maxName = 0, maxUnits = 0;
    glGetProgramiv(linked, GL_ACTIVE_UNIFORMS, &count);
    glGetProgramiv(linked, GL_ACTIVE_UNIFORM_MAX_LENGTH, &maxName);
    glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS, &maxUnits);
    std::string name(static_cast<size_t>(maxName > 0 ? maxName : 1), '\0');
    struct Assignment {
        GLint location;
        GLint unit;
    };
    std::vector<Assignment> assignments;
    for (GLint i = 0; i < count; ++i) {
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(linked, static_cast<GLuint>(i), static_cast<GLsizei>(name.size()), &length, &size, &type,
                           name.data());
        if (!isSamplerType(type))
            continue;
        const std::string uniform(name.data(), static_cast<size_t>(length));
        if (size != 1) {
            why = "sampler array \"" + uniform + "\": only single samplers get texture units";
            return false;
        }
        Parameter* sampler = samplerNamed(context, uniform.c_str());
        if (!sampler) {
            GLint unit = 0;
            while (unitTaken(context, unit))
                ++unit;
            if (unit >= maxUnits) {
                why = "sampler \"" + uniform + "\": all " + std::to_string(maxUnits) + " texture units are taken";
                return false;
            }
            auto created = std::make_unique<Parameter>();
            created->context = context;
            created->name = uniform;
            created->type = type;
            created->unit = unit;
            sampler = created.get();
            context->samplers.push_back(std::move(created));
        }
        sampler->users.push_back(a);
        sampler->users.push_back(b);
        assignments.push_back({glGetUniformLocation(linked, uniform.c_str()), sampler->unit});
    }
    glUseProgram(linked);
    for (const Assignment& s : assignments)
        glUniform1i(s.location, s.unit);
    glUseProgram(binding.inUse);
    return true;
}

const LinkedPair* pairFor(const Program* fragment, const Program* vertex)
{
    if (fragment->context != vertex->context)
        return nullptr;
    for (const LinkedPair& p : fragment->context->pairs)
        if (p.fragment == fragment && p.vertex == vertex)
            return &p;
    return nullptr;
}

// Puts the linked program of the bound stages in use while both profiles are
// on; fixed function otherwise.
void applyBinding()
{
    GLuint wanted = 0;
    Program* fragment = binding.bound[0];
    Program* vertex = binding.bound[1];
    if (binding.enabled[0] && binding.enabled[1] && fragment && vertex) {
        const LinkedPair* pair = pairFor(fragment, vertex);
        if (pair)
            wanted = pair->program;
        else
            raise(Error::programsNotLinked);
    }
    if (wanted != binding.inUse) {
        glUseProgram(wanted);
        binding.inUse = wanted;
    }
}

} // namespace

bool shadingLanguageOffers120(const char* versionString)
{
    if (!versionString)
        return false;
    // "major.minor" first, vendor text may follow.
    int major = 0, minor = 0;
    const char* p = versionString;
    if (*p < '0' || *p > '9')
        return false;
    while (*p >= '0' && *p <= '9' && major < 1000)
        major = major * 10 + (*p++ - '0');
    if (*p++ != '.' || *p < '0' || *p > '9')
        return false;
    // The minor number has two digits: "1.2" would mean 1.20.
    minor = (*p++ - '0') * 10;
    if (*p >= '0' && *p <= '9')
        minor += *p - '0';
    return major > 1 || (major == 1 && minor >= 20);
}

Context* createContext()
{
    contexts().push_back(std::make_unique<Context>());
    return contexts().back().get();
}

void setErrorCallback(ErrorCallback callback) { errorCallback = callback; }

Program* createProgramFromFile(Context* context, const char* path, Profile profile, const char* entry)
{
    if (!knownContext(context)) {
        raise(Error::invalidContext);
        return nullptr;
    }
    context->listing.clear();
    if (!path) {
        context->listing = "no shader file named";
        raise(Error::fileRead);
        return nullptr;
    }
    std::string source;
    if (!readFile(path, source, context->listing)) {
        raise(Error::fileRead);
        return nullptr;
    }
    if (!driverOffersGlsl120(context->listing)) {
        raise(Error::unsupportedDriver);
        return nullptr;
    }
    const char* stage = profile == Profile::fragment ? "fragment" : "vertex";
    if (!entry || !definesEntry(source, entry)) {
        context->listing = std::string(path) + ": no " + stage + " entry function \"" + (entry ? entry : "") + "\"";
        raise(Error::entryMissing);
        return nullptr;
    }

    // "#line 0": in GLSL 1.20 the line after it is line 1, so the log counts
    // lines of the file as it stands.
    const std::string prefix = std::string("#version 120\n#define ") +
                               (profile == Profile::fragment ? "FRAGMENT_STAGE" : "VERTEX_STAGE") + " 1\n#define " +
                               entry + " main\n#line 0\n";
    const std::string full = prefix + source;
    const GLuint object = glCreateShader(profile == Profile::fragment ? GL_FRAGMENT_SHADER : GL_VERTEX_SHADER);
    const GLchar* text = full.c_str();
    const GLint length = static_cast<GLint>(full.size());
    glShaderSource(object, 1, &text, &length);
    glCompileShader(object);
    GLint compiled = GL_FALSE;
    glGetShaderiv(object, GL_COMPILE_STATUS, &compiled);
    context->listing = shaderLog(object);
    if (compiled != GL_TRUE) {
        glDeleteShader(object);
        raise(Error::compile);
        return nullptr;
    }
    auto program = std::make_unique<Program>();
    program->context = context;
    program->profile = profile;
    program->entry = entry;
    program->shaderObject = object;
    context->programs.push_back(std::move(program));
    return context->programs.back().get();
}

void loadProgram(Program* program)
{
    if (!knownProgram(program)) {
        raise(Error::invalidProgram);
        return;
    }
    if (program->loaded)
        return;
    Context* context = program->context;
    context->listing.clear();
    for (const auto& other : context->programs) {
        if (!other->loaded || other->profile == program->profile)
            continue;
        const Program* fragment = program->profile == Profile::fragment ? program : other.get();
        const Program* vertex = program->profile == Profile::vertex ? program : other.get();
        const GLuint linked = glCreateProgram();
        glAttachShader(linked, fragment->shaderObject);
        glAttachShader(linked, vertex->shaderObject);
        glLinkProgram(linked);
        GLint ok = GL_FALSE;
        glGetProgramiv(linked, GL_LINK_STATUS, &ok);
        context->listing += programLog(linked);
        std::string why;
        if (ok != GL_TRUE || !assignSamplerUnits(context, linked, fragment, vertex, why)) {
            if (!why.empty())
                context->listing += why + "\n";
            glDeleteProgram(linked);
            raise(Error::link);
            return;
        }
        context->pairs.push_back({fragment, vertex, linked});
    }
    program->loaded = true;
}

void enableProfile(Profile profile)
{
    binding.enabled[slot(profile)] = true;
    applyBinding();
}

void disableProfile(Profile profile)
{
    binding.enabled[slot(profile)] = false;
    applyBinding();
}

void bindProgram(Program* program)
{
    if (!knownProgram(program)) {
        raise(Error::invalidProgram);
        return;
    }
    if (!program->loaded) {
        raise(Error::programNotLoaded);
        return;
    }
    binding.bound[slot(program->profile)] = program;
    applyBinding();
}

void unbindProgram(Profile profile)
{
    binding.bound[slot(profile)] = nullptr;
    applyBinding();
}

Parameter* getNamedParameter(Program* program, const char* name)
{
    if (!knownProgram(program) || !program->loaded || !name)
        return nullptr;
    Parameter* sampler = samplerNamed(program->context, name);
    if (!sampler || sampler->type != GL_SAMPLER_2D)
        return nullptr;
    for (const Program* user : sampler->users)
        if (user == program)
            return sampler;
    return nullptr;
}

void setTextureParameter(Parameter* parameter, GLuint texture)
{
    if (!knownParameter(parameter)) {
        raise(Error::invalidParameter);
        return;
    }
    parameter->texture = texture;
    if (parameter->enabled) {
        GLint active = GL_TEXTURE0;
        glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
        glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + parameter->unit));
        glBindTexture(GL_TEXTURE_2D, texture);
        glActiveTexture(static_cast<GLenum>(active));
    }
}

void enableTextureParameter(Parameter* parameter)
{
    if (!knownParameter(parameter)) {
        raise(Error::invalidParameter);
        return;
    }
    GLint active = GL_TEXTURE0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + parameter->unit));
    if (!parameter->enabled)
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &parameter->previousBinding);
    glBindTexture(GL_TEXTURE_2D, parameter->texture);
    glActiveTexture(static_cast<GLenum>(active));
    parameter->enabled = true;
}

void disableTextureParameter(Parameter* parameter)
{
    if (!knownParameter(parameter)) {
        raise(Error::invalidParameter);
        return;
    }
    if (!parameter->enabled)
        return;
    GLint active = GL_TEXTURE0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + parameter->unit));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(parameter->previousBinding));
    glActiveTexture(static_cast<GLenum>(active));
    parameter->enabled = false;
}

int parameterTextureUnit(const Parameter* parameter) { return knownParameter(parameter) ? parameter->unit : -1; }

Error getError()
{
    if (pendingCount == 0)
        return Error::none;
    const Error e = pending[pendingHead];
    pendingHead = (pendingHead + 1) % pending.size();
    --pendingCount;
    return e;
}

const char* getErrorString(Error error)
{
    switch (error) {
    case Error::none: return "No error.";
    case Error::fileRead: return "The shader file could not be read.";
    case Error::unsupportedDriver: return "The OpenGL driver does not offer GLSL 1.20.";
    case Error::compile: return "The compile returned an error.";
    case Error::entryMissing: return "The entry function was not found in the shader file.";
    case Error::link: return "The vertex and fragment programs could not be linked.";
    case Error::invalidContext: return "Invalid context handle.";
    case Error::invalidProgram: return "Invalid program handle.";
    case Error::programNotLoaded: return "The program has not been loaded.";
    case Error::programsNotLinked: return "The bound vertex and fragment programs were not linked together.";
    case Error::invalidParameter: return "Invalid parameter handle.";
    }
    return "Unknown error.";
}

const char* getLastListing(Context* context) { return knownContext(context) ? context->listing.c_str() : ""; }

} // namespace shader
