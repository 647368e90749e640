// Every file the show reads, removed or damaged in turn in a scratch copy of
// the run folder, then the show played offline at 1 frame per second: no
// crash, exactly the boxes that file's loader shows, in order, and the exit
// status they imply.
#include "show_boxes.h"
#include "show_process.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <random>

namespace {
namespace fs = std::filesystem;

enum class Kind { picture, font, mesh, shader, music };
enum class Damage { missing, truncated, zeroed, random };

struct Asset {
    const char* path;
    Kind kind;
    int loads; // how many times the loading sequence opens it
};

// In load order.
constexpr Asset assets[] = {
    {"data/loadingscreen.jpg", Kind::picture, 1}, {"data/bumpmap.jpg", Kind::picture, 1},
    {"data/doom.jpg", Kind::picture, 1},          {"data/blue.jpg", Kind::picture, 1},
    {"data/c64_1.jpg", Kind::picture, 1},         {"data/c64_2.jpg", Kind::picture, 1},
    {"data/c64_3.jpg", Kind::picture, 1},         {"data/c64_4.jpg", Kind::picture, 1},
    {"data/c64_5.png", Kind::picture, 1},         {"data/c64_6.jpg", Kind::picture, 1},
    {"data/door.jpg", Kind::picture, 1},          {"data/star.jpg", Kind::picture, 1},
    {"data/greets.jpg", Kind::picture, 1},        {"data/history.png", Kind::picture, 1},
    {"data/credits.jpg", Kind::picture, 1},       {"data/bottom.png", Kind::picture, 1},
    {"data/vubar.jpg", Kind::picture, 1},         {"data/ansigirl.jpg", Kind::picture, 1},
    {"data/rushed.png", Kind::picture, 1},        {"demofont.glf", Kind::font, 1},
    {"data/spikeball.ebr", Kind::mesh, 2},        {"data/slimy.ebr", Kind::mesh, 2},
    {"data/rarkube.ebr", Kind::mesh, 1},          {"data/hisphere.ebr", Kind::mesh, 2},
    {"data/shader.cg", Kind::shader, 1},          {"vemo.ogg", Kind::music, 1},
};

struct Variant {
    Asset asset;
    Damage damage;
};

const char* damageName(Damage d)
{
    switch (d) {
    case Damage::missing: return "missing";
    case Damage::truncated: return "truncated";
    case Damage::zeroed: return "zeroed";
    case Damage::random: return "random";
    }
    return "?";
}

std::string variantName(const Variant& v)
{
    std::string name = std::string(damageName(v.damage)) + "_" + v.asset.path;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

void PrintTo(const Variant& v, std::ostream* os) { *os << variantName(v); }

std::vector<Variant> allVariants()
{
    std::vector<Variant> out;
    for (Damage d : {Damage::missing, Damage::truncated, Damage::zeroed, Damage::random})
        for (const Asset& a : assets)
            out.push_back({a, d});
    return out;
}

std::vector<char> readAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Puts the damaged file in place of the link to the real one.
void damage(const fs::path& folder, const Asset& a, Damage d)
{
    const fs::path target = folder / a.path;
    const std::vector<char> original = readAll(fs::path(Q9_RUN_DIR) / a.path);
    ASSERT_FALSE(original.empty()) << a.path;
    fs::remove(target);
    if (d == Damage::missing)
        return;
    std::vector<char> bytes;
    switch (d) {
    case Damage::truncated: bytes.assign(original.begin(), original.begin() + original.size() / 2); break;
    case Damage::zeroed: bytes.assign(original.size(), 0); break;
    case Damage::random: {
        std::mt19937 rng(20261211u);
        bytes.resize(original.size());
        for (char& c : bytes)
            c = static_cast<char>(rng() & 0xFF);
        break;
    }
    case Damage::missing: break;
    }
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The boxes the loaders show for this file and this damage, in order.
std::vector<ShownBox> expectedBoxes(const Variant& v)
{
    std::vector<ShownBox> boxes;
    switch (v.asset.kind) {
    case Kind::picture:
    case Kind::font:
        break; // drawn untextured or without text, silently
    case Kind::mesh:
        for (int i = 0; i < v.asset.loads; ++i)
            boxes.push_back({v.asset.path, v.damage == Damage::missing ? "Error: .ebr file not found"
                                                                        : "Error: .ebr file is damaged"});
        break;
    case Kind::shader:
        boxes.push_back({"CG-Error", ""}); // text compared apart: it carries the compiler's listing
        break;
    case Kind::music:
        // Half an Ogg file is still a stream, just a shorter one: it plays.
        if (v.damage != Damage::truncated) {
            boxes.push_back({"BASS", "BASS error, file not found?"});
            boxes.push_back({"BASS", "BASS error, can not play stream?"});
        }
        break;
    }
    return boxes;
}

class MissingAssets : public ::testing::TestWithParam<Variant> {};

TEST_P(MissingAssets, ShowsItsBoxesAndEndsWithTheirStatus)
{
    const Variant& v = GetParam();
    ScratchRunFolder folder(variantName(v));
    ASSERT_NO_FATAL_FAILURE(damage(folder.path(), v.asset, v.damage));

    // A missing file: the whole show, so every scene draws without it. A
    // damaged one is refused while loading, leaving the same state, so the
    // run ends right after loading; the music, which a damaged file can
    // still feed, plays the whole show.
    const bool wholeShow = v.damage == Damage::missing || v.asset.kind == Kind::music;
    const std::string args =
        std::string("--window --width=32 --height=18 --fps=1 --benchmark") + (wholeShow ? "" : " --start=86000");
    const ShowRun r = runShowProcess(args, "", folder.path().string());
    ASSERT_NE(r.status, -1) << "the show crashed\n" << r.err;

    std::vector<ShownBox> boxes = boxesIn(r.err);
    const std::vector<ShownBox> expected = expectedBoxes(v);
    if (v.asset.kind == Kind::shader) {
        ASSERT_EQ(boxes.size(), 1u) << r.err;
        EXPECT_EQ(boxes[0].caption, "CG-Error") << r.err;
        EXPECT_FALSE(boxes[0].text.empty());
        if (v.damage == Damage::missing) {
            EXPECT_NE(boxes[0].text.find("data/shader.cg"), std::string::npos) << "the box names the file";
        }
        EXPECT_EQ(r.status, 1) << "a shader that fails ends the show";
        EXPECT_EQ(r.out.find("benchmark"), std::string::npos) << "nothing is played after the box";
        return;
    }
    EXPECT_EQ(boxes, expected) << r.err;
    EXPECT_EQ(r.status, 0) << r.err;
    // The end-of-show report: the schedule ran to its end with the file gone.
    EXPECT_NE(r.out.find("Quorblestration 9 benchmark"), std::string::npos) << r.out << r.err;
    if (v.asset.kind == Kind::picture && v.damage != Damage::truncated) {
        // Proves the run read the scratch folder, not the real one.
        EXPECT_NE(r.err.find(std::string("warning: picture ") + v.asset.path + " not loaded"), std::string::npos)
            << r.err;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFile, MissingAssets, ::testing::ValuesIn(allVariants()),
                         [](const ::testing::TestParamInfo<Variant>& info) { return variantName(info.param); });

} // namespace
