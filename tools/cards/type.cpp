#include "type.hpp"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <cstdio>

namespace cards {

struct Font::FtLib {
    FT_Library lib = nullptr;
    FtLib() {
        if (FT_Init_FreeType(&lib)) lib = nullptr;
    }
    ~FtLib() {
        if (lib) FT_Done_FreeType(lib);
    }
};

namespace {

std::shared_ptr<Font::FtLib> sharedLib() {
    static std::shared_ptr<Font::FtLib> lib = std::make_shared<Font::FtLib>();
    return lib;
}

FT_Face asFace(void* p) { return static_cast<FT_Face>(p); }

void setSize(FT_Face f, float px) { FT_Set_Char_Size(f, 0, FT_F26Dot6(std::lround(px * 64.f)), 72, 72); }

}  // namespace

Font::Font(const std::string& path) : lib_(sharedLib()) {
    FT_Face f = nullptr;
    if (!lib_->lib || FT_New_Face(lib_->lib, path.c_str(), 0, &f)) {
        std::fprintf(stderr, "q9_gen_cards: cannot open font %s\n", path.c_str());
        return;
    }
    face_ = f;
}

Font::~Font() {
    if (face_) FT_Done_Face(asFace(face_));
}

float Font::capHeight(float px) const {
    FT_Face f = asFace(face_);
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    float cap = (os2 && os2->sCapHeight > 0) ? float(os2->sCapHeight) : 0.73f * f->units_per_EM;
    return px * cap / float(f->units_per_EM);
}

float Font::advance(unsigned glyph, unsigned prev, const TextStyle& st) const {
    FT_Face f = asFace(face_);
    float a = 0.f;
    if (prev && FT_HAS_KERNING(f)) {
        FT_Vector k;
        if (!FT_Get_Kerning(f, prev, glyph, FT_KERNING_UNFITTED, &k)) a += float(k.x) / 64.f * st.scaleX;
    }
    return a;
}

float Font::width(std::u32string_view text, const TextStyle& st) const {
    FT_Face f = asFace(face_);
    setSize(f, st.px);
    float w = 0.f;
    unsigned prev = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned gi = FT_Get_Char_Index(f, text[i]);
        w += advance(gi, prev, st);
        if (FT_Load_Glyph(f, gi, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP)) continue;
        w += float(f->glyph->advance.x) / 64.f * st.scaleX;
        if (i + 1 < text.size()) w += st.tracking;
        prev = gi;
    }
    return w;
}

void Font::draw(Mask& dst, std::u32string_view text, float x, float baseline, const TextStyle& st) const {
    FT_Face f = asFace(face_);
    setSize(f, st.px);
    const float pivotY = capHeight(st.px) * 0.5f;
    std::vector<unsigned char> buf;
    float pen = x;
    unsigned prev = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned gi = FT_Get_Char_Index(f, text[i]);
        pen += advance(gi, prev, st);
        prev = gi;
        if (FT_Load_Glyph(f, gi, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP)) continue;
        FT_GlyphSlot slot = f->glyph;
        float adv = float(slot->advance.x) / 64.f * st.scaleX;
        if (slot->format != FT_GLYPH_FORMAT_OUTLINE || slot->outline.n_points == 0) {
            pen += adv + st.tracking;
            continue;
        }
        GlyphPose pose = st.pose ? st.pose(int(i), text[i]) : GlyphPose{};
        float cr = std::cos(pose.rotate), sr = std::sin(pose.rotate);
        float pivotX = adv * 0.5f;
        float ox = pen + pose.dx, oyUp = -(baseline + pose.dy);
        FT_Outline* o = &slot->outline;
        for (int j = 0; j < o->n_points; ++j) {
            float fx = float(o->points[j].x) / 64.f, fy = float(o->points[j].y) / 64.f;
            if (st.warp) st.warp(int(i), fx, fy);
            fx = fx * st.scaleX + st.shear * fy;
            float rx = (fx - pivotX) * pose.scale, ry = (fy - pivotY) * pose.scale;
            float ax = ox + pivotX + rx * cr + ry * sr;
            float ay = oyUp + pivotY - rx * sr + ry * cr;
            o->points[j].x = FT_Pos(std::lround(ax * 64.f));
            o->points[j].y = FT_Pos(std::lround(ay * 64.f));
        }
        FT_BBox cb;
        FT_Outline_Get_CBox(o, &cb);
        int px0 = int(std::floor(cb.xMin / 64.0)), px1 = int(std::ceil(cb.xMax / 64.0));
        int py0 = int(std::floor(cb.yMin / 64.0)), py1 = int(std::ceil(cb.yMax / 64.0));
        int bw = px1 - px0, bh = py1 - py0;
        pen += adv + st.tracking;
        if (bw <= 0 || bh <= 0) continue;
        FT_Outline_Translate(o, -FT_Pos(px0) * 64, -FT_Pos(py0) * 64);
        buf.assign(size_t(bw) * bh, 0);
        FT_Bitmap bm{};
        bm.rows = unsigned(bh);
        bm.width = unsigned(bw);
        bm.pitch = bw;
        bm.buffer = buf.data();
        bm.num_grays = 256;
        bm.pixel_mode = FT_PIXEL_MODE_GRAY;
        if (FT_Outline_Get_Bitmap(lib_->lib, o, &bm)) continue;
        // Row 0 of the bitmap is its top, at y-up py1, i.e. screen row -py1.
        for (int r = 0; r < bh; ++r) {
            int sy = -py1 + r;
            if (sy < 0 || sy >= dst.h) continue;
            for (int c = 0; c < bw; ++c) {
                int sx = px0 + c;
                if (sx < 0 || sx >= dst.w) continue;
                float v = buf[size_t(r) * bw + c] / 255.f;
                float& d = dst.at(sx, sy);
                if (v > d) d = v;
            }
        }
    }
}

void Font::drawCentred(Mask& dst, std::u32string_view text, float cx, float baseline, const TextStyle& st) const {
    draw(dst, text, cx - width(text, st) * 0.5f, baseline, st);
}

Fonts::Fonts(const std::string& dir)
    : sansBold(dir + "/DejaVuSans-Bold.ttf"),
      condensedBold(dir + "/DejaVuSansCondensed-Bold.ttf"),
      sans(dir + "/DejaVuSans.ttf"),
      extraLight(dir + "/DejaVuSans-ExtraLight.ttf"),
      mono(dir + "/DejaVuSansMono.ttf"),
      monoBold(dir + "/DejaVuSansMono-Bold.ttf"),
      serifBoldItalic(dir + "/DejaVuSerif-BoldItalic.ttf") {}

bool Fonts::ok() const {
    return sansBold.ok() && condensedBold.ok() && sans.ok() && extraLight.ok() && mono.ok() && monoBold.ok() &&
           serifBoldItalic.ok();
}

}  // namespace cards
