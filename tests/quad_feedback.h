// Quads back out of GL feedback. The software rasteriser reports a quad
// (a, b, c, d) as the triangles (a, b, d) and (b, c, d); this joins them again
// so a test can check the corners in the order they were sent.
#pragma once
#include "gl_test_support.h"

#include <array>
#include <optional>
#include <vector>

using FeedbackQuad = std::array<FeedbackVertex, 4>;

inline bool sameVertex(const FeedbackVertex& a, const FeedbackVertex& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z && a.s == b.s && a.t == b.t;
}

// Null when the polygons do not pair up into quads.
inline std::optional<std::vector<FeedbackQuad>> quadsFromFeedback(const std::vector<FeedbackPrimitive>& prims)
{
    std::vector<FeedbackQuad> quads;
    for (size_t i = 0; i < prims.size(); ++i) {
        const FeedbackPrimitive& p = prims[i];
        if (p.kind != GL_POLYGON_TOKEN)
            return std::nullopt;
        if (p.vertices.size() == 4) {
            quads.push_back({p.vertices[0], p.vertices[1], p.vertices[2], p.vertices[3]});
            continue;
        }
        if (p.vertices.size() != 3 || i + 1 >= prims.size())
            return std::nullopt;
        const FeedbackPrimitive& q = prims[++i];
        if (q.kind != GL_POLYGON_TOKEN || q.vertices.size() != 3 || !sameVertex(p.vertices[1], q.vertices[0]) ||
            !sameVertex(p.vertices[2], q.vertices[2]))
            return std::nullopt;
        quads.push_back({p.vertices[0], p.vertices[1], q.vertices[1], p.vertices[2]});
    }
    return quads;
}
