// The message boxes a headless show run showed, read back from its stderr
// (a headless box prints "caption: text"), and a scratch run folder whose
// asset files can be removed or replaced one at a time.
#pragma once
#include <filesystem>
#include <sstream>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

struct ShownBox {
    std::string caption;
    std::string text;
    bool operator==(const ShownBox&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const ShownBox& b) { return os << "[" << b.caption << ": " << b.text << "]"; }

// Only the show's own captions count; libraries print their own warnings on
// stderr too ("libpng error: ...") and those are not boxes. A "CG-Error" box
// ends the process, so everything after its first line is its text (the
// compiler listing runs over several lines).
inline std::vector<ShownBox> boxesIn(const std::string& err)
{
    // The captions the show uses: fixed ones, and a mesh file's path.
    const auto captionOf = [](const std::string& line) -> std::string {
        for (const char* fixed : {"GLWindow::GLWindow", "Error", "BASS"})
            if (line.rfind(std::string(fixed) + ": ", 0) == 0)
                return fixed;
        const size_t end = line.find(".ebr: ");
        if (line.rfind("data/", 0) == 0 && end != std::string::npos && line.find(' ') == end + 5)
            return line.substr(0, end + 4);
        return "";
    };
    std::vector<ShownBox> boxes;
    std::istringstream in(err);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("CG-Error: ", 0) == 0) {
            std::string text = line.substr(10);
            std::string rest;
            while (std::getline(in, rest))
                text += "\n" + rest;
            boxes.push_back({"CG-Error", text});
            break;
        }
        const std::string caption = captionOf(line);
        if (!caption.empty())
            boxes.push_back({caption, line.substr(caption.size() + 2)});
    }
    return boxes;
}

// A fresh folder laid out like the run folder, each asset a link to the
// real one so that a test can replace a single file. Removed on destruction.
class ScratchRunFolder {
public:
    explicit ScratchRunFolder(const std::string& name)
    {
        namespace fs = std::filesystem;
        path_ = fs::temp_directory_path() / ("q9_run_" + name + "_" + std::to_string(::getpid()));
        fs::remove_all(path_);
        fs::create_directories(path_ / "data");
        const fs::path run = Q9_RUN_DIR;
        for (const auto& e : fs::directory_iterator(run / "data"))
            fs::create_symlink(e.path(), path_ / "data" / e.path().filename());
        for (const char* top : {"demofont.glf", "vemo.ogg"})
            fs::create_symlink(run / top, path_ / top);
    }
    ~ScratchRunFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchRunFolder(const ScratchRunFolder&) = delete;
    ScratchRunFolder& operator=(const ScratchRunFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};
