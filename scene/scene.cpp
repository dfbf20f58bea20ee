#include "scene/scene.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "scene/scene_canvas.h"

namespace scene {

namespace {

// Painted at twice the size and scaled down, so that edges are smooth.
constexpr int kSupersampling = 2;

// The town's ground plan, in metres: a grid of blocks with streets between
// them; u runs to the right, v away from the viewer, z up.
constexpr double kPitch = 13;  // a block and its street
constexpr double kStreet = 3;
constexpr double kSidewalk = 0.6;
constexpr double kEyeHeight = 14;
constexpr double kNearest = 12;          // the ground at the image's bottom edge
constexpr double kOpenForeground = 26;   // no houses nearer than this
constexpr double kFarthestObject = 170;  // beyond it, only the ground

const Rgb kSkyTop{0.07f, 0.09f, 0.24f};
const Rgb kHaze{0.82f, 0.53f, 0.42f};
const Rgb kLamp{1.0f, 0.86f, 0.62f};
const Rgb kAsphalt{0.16f, 0.16f, 0.17f};
const Rgb kMarking{0.86f, 0.84f, 0.78f};

std::uint32_t hash(std::int32_t a, std::int32_t b, std::int32_t c = 0) {
    std::uint32_t h = static_cast<std::uint32_t>(a) * 0x8da6b343u ^ static_cast<std::uint32_t>(b) * 0xd8163841u ^
                      static_cast<std::uint32_t>(c) * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return h;
}

// 0 ≤ unit < 1 from a hash.
float unit(std::uint32_t h) {
    return static_cast<float>(h >> 8) * (1.0f / 16777216.0f);
}

double wrap(double x, double period) {
    return x - period * std::floor(x / period);
}

int cell(double x, double size) {
    return static_cast<int>(std::floor(x / size));
}

// A pinhole camera above the ground, looking level at the horizon.
struct Camera {
    double cx, horizon, focal;

    double x(double u, double v) const { return cx + focal * u / v; }
    double y(double z, double v) const { return horizon + focal * (kEyeHeight - z) / v; }
    // Inverses: the distance of the plane at height z seen in row y, the u
    // and the z of a pixel on the plane at distance v.
    double depth(double y, double z) const { return focal * (kEyeHeight - z) / (y - horizon); }
    double across(double x, double v) const { return (x - cx) * v / focal; }
    double height(double y, double v) const { return kEyeHeight - (y - horizon) * v / focal; }
};

Rgb fogged(Rgb colour, double v) {
    return mix(colour, kHaze, static_cast<float>(v / (v + 150)));
}

// Street lamps stand on both sidewalks of the cross streets.
double lampRow(int j, int side) {
    return side == 0 ? j * kPitch - 0.3 : j * kPitch + kStreet + 0.3;
}
double lampColumn(int i, int k) {
    return i * kPitch + kStreet + 1.5 + k * 3.4;
}

// How much the nearby lamps light the ground at (u, v).
float lampLight(double u, double v) {
    double light = 0;
    for (int j = cell(v, kPitch); j <= cell(v, kPitch) + 1; ++j) {
        for (int side = 0; side < 2; ++side) {
            for (int i = cell(u, kPitch) - 1; i <= cell(u, kPitch) + 1; ++i) {
                for (int k = 0; k < 3; ++k) {
                    const double du = u - lampColumn(i, k);
                    const double dv = v - lampRow(j, side);
                    light += 1.0 / (1.0 + (du * du + dv * dv) / 1.5);
                }
            }
        }
    }
    return static_cast<float>(light);
}

enum class Lot { plaza, park, parking, paving, houses };

Lot lotAt(int i, int j) {
    const std::uint32_t h = hash(i, j, 1);
    if (j * kPitch >= kOpenForeground && unit(h) < 0.7f) {
        return Lot::houses;
    }
    return static_cast<Lot>((h >> 4) % 4);
}

// A surface's colour; emissive ones (lit windows, signs) ignore the light.
struct Surface {
    Rgb colour;
    bool emissive = false;
};

Rgb lotColour(Lot lot, double u, double v, double lu, double lv) {
    const double size = kPitch - kStreet - 2 * kSidewalk;
    switch (lot) {
        case Lot::plaza: {
            const double du = lu - size / 2;
            const double dv = lv - size / 2;
            const double r = std::sqrt(du * du + dv * dv);
            if (r < 1.6) {
                return Rgb{0.18f, 0.32f, 0.46f};
            }
            if (r < 1.9) {
                return Rgb{0.72f, 0.70f, 0.66f};
            }
            return ((cell(u, 0.8) + cell(v, 0.8)) & 1) ? Rgb{0.62f, 0.55f, 0.46f} : Rgb{0.36f, 0.25f, 0.20f};
        }
        case Lot::park: {
            if (std::fabs(lu - lv) < 0.3 || std::fabs(lu + lv - size) < 0.3) {
                return Rgb{0.55f, 0.48f, 0.36f};
            }
            const double tu = wrap(lu, 2.3) - 1.15;
            const double tv = wrap(lv, 2.3) - 1.15;
            if (tu * tu + tv * tv < 0.5) {
                const float lit = tu + tv < -0.4 ? 1.4f : 1.0f;
                return Rgb{0.07f, 0.17f, 0.07f} * lit;
            }
            const float speckle = 0.8f + 0.4f * unit(hash(cell(u, 0.25), cell(v, 0.25), 2));
            return Rgb{0.16f, 0.30f, 0.12f} * speckle;
        }
        case Lot::parking:
            if (wrap(lu, 1.1) < 0.07 && wrap(lv, size / 2) > 0.6) {
                return kMarking;
            }
            return Rgb{0.20f, 0.20f, 0.21f};
        case Lot::paving: {
            const int row = cell(v, 0.25);
            const double offset = (row & 1) * 0.25;
            if (wrap(v, 0.25) < 0.03 || wrap(u + offset, 0.5) < 0.03) {
                return Rgb{0.33f, 0.29f, 0.27f};
            }
            return Rgb{0.55f, 0.30f, 0.22f} * (0.85f + 0.3f * unit(hash(cell(u + offset, 0.5), row, 3)));
        }
        case Lot::houses: break;
    }
    return Rgb{0.40f, 0.38f, 0.35f};
}

Rgb groundColour(double u, double v) {
    const double su = wrap(u, kPitch);
    const double sv = wrap(v, kPitch);
    const bool along = su < kStreet;   // streets running away from the viewer
    const bool across = sv < kStreet;  // streets running across the view
    if (along || across) {
        if (along && !across) {
            if (std::fabs(su - kStreet / 2) < 0.06 && wrap(v, 2) < 1.1) {
                return Rgb{0.86f, 0.72f, 0.30f};
            }
            if (sv > kStreet + 0.1 && sv < kStreet + 1.1 && wrap(su, 0.5) < 0.25) {
                return kMarking;
            }
        }
        if (across && !along) {
            if (std::fabs(sv - kStreet / 2) < 0.06 && wrap(u, 2) < 1.1) {
                return Rgb{0.86f, 0.72f, 0.30f};
            }
            if (su > kStreet + 0.1 && su < kStreet + 1.1 && wrap(sv, 0.5) < 0.25) {
                return kMarking;
            }
        }
        return kAsphalt;
    }
    const double lu = su - kStreet - kSidewalk;
    const double lv = sv - kStreet - kSidewalk;
    const double inner = kPitch - kStreet - 2 * kSidewalk;
    if (lu < 0 || lv < 0 || lu > inner || lv > inner) {
        if (lu < -kSidewalk + 0.08 || lv < -kSidewalk + 0.08) {
            return Rgb{0.62f, 0.61f, 0.58f};  // the kerb
        }
        return wrap(u, 0.6) < 0.04 || wrap(v, 0.6) < 0.04 ? Rgb{0.33f, 0.33f, 0.32f} : Rgb{0.46f, 0.45f, 0.43f};
    }
    return lotColour(lotAt(cell(u, kPitch), cell(v, kPitch)), u, v, lu, lv);
}

Rgb sky(double y, double horizon) {
    const float t = static_cast<float>(y / horizon);
    return mix(kSkyTop, kHaze, t * t);
}

// An upright box standing on the ground, and the textures of the faces the
// camera sees: the front (s along u, t up), the top (s along u, t along v)
// and, off the centre line, the side facing it (s along v, t up).
struct Box {
    double u0, u1, v0, v1, h;
};

using Texture = std::function<Surface(double s, double t)>;

struct Faces {
    Texture front, top, side;
    float frontLight, topLight, sideLight;
};

Rgb lit(const Surface& surface, float light, double v) {
    return fogged(surface.emissive ? surface.colour : surface.colour * light, v);
}

void paintBox(Canvas& canvas, const Camera& cam, const Box& box, const Faces& faces) {
    const double us = box.u0 > 0 ? box.u0 : box.u1;
    if (box.u0 > 0 || box.u1 < 0) {
        canvas.paint(std::min(cam.x(us, box.v0), cam.x(us, box.v1)), cam.y(box.h, box.v1),
                     std::max(cam.x(us, box.v0), cam.x(us, box.v1)), cam.y(0, box.v0),
                     [&](double x, double y) -> std::optional<Rgb> {
                         const double v = cam.focal * us / (x - cam.cx);
                         const double z = cam.height(y, v);
                         if (v < box.v0 || v > box.v1 || z < 0 || z > box.h) {
                             return std::nullopt;
                         }
                         return lit(faces.side(v - box.v0, z), faces.sideLight, v);
                     });
    }
    canvas.paint(std::min(cam.x(box.u0, box.v0), cam.x(box.u0, box.v1)), cam.y(box.h, box.v1),
                 std::max(cam.x(box.u1, box.v0), cam.x(box.u1, box.v1)), cam.y(box.h, box.v0),
                 [&](double x, double y) -> std::optional<Rgb> {
                     const double v = cam.depth(y, box.h);
                     const double u = cam.across(x, v);
                     if (v < box.v0 || v > box.v1 || u < box.u0 || u > box.u1) {
                         return std::nullopt;
                     }
                     return lit(faces.top(u - box.u0, v - box.v0), faces.topLight, v);
                 });
    canvas.paint(cam.x(box.u0, box.v0), cam.y(box.h, box.v0), cam.x(box.u1, box.v0), cam.y(0, box.v0),
                 [&](double x, double y) -> std::optional<Rgb> {
                     const double u = cam.across(x, box.v0);
                     const double z = cam.height(y, box.v0);
                     if (u < box.u0 || u > box.u1 || z < 0 || z > box.h) {
                         return std::nullopt;
                     }
                     return lit(faces.front(u - box.u0, z), faces.frontLight, box.v0);
                 });
}

// A light source `size` metres across at (u, v, z).
void paintLight(Canvas& canvas, const Camera& cam, double u, double v, double z, double size, Rgb colour) {
    const double core = std::max(0.9, size * cam.focal / v);
    canvas.glow(cam.x(u, v), cam.y(z, v), core, core * 5, colour * static_cast<float>(1 - 0.7 * v / (v + 150)));
}

struct House {
    std::int32_t id;
    Box box;
    Rgb wall, roof;
    bool brick;
};

// Lettering: each glyph a 3 × 5 grid of strokes, picked by the hash.
bool letterStroke(std::int32_t id, double s, double t) {
    constexpr double kGlyph = 0.28;
    const int glyph = cell(s, kGlyph);
    const int column = static_cast<int>(wrap(s, kGlyph) / kGlyph * 4);
    const int row = static_cast<int>(t * 5);
    return column < 3 && row >= 0 && row < 5 && ((hash(id, glyph, 4) >> (row * 3 + column)) & 1u);
}

Surface wallSurface(const House& house, double s, double t) {
    if (!house.brick) {
        return {house.wall * (0.92f + 0.08f * unit(hash(cell(s, 0.3), cell(t, 0.3), house.id)))};
    }
    const int row = cell(t, 0.2);
    const double offset = (row & 1) * 0.22;
    if (wrap(t, 0.2) < 0.035 || wrap(s + offset, 0.44) < 0.035) {
        return {Rgb{0.50f, 0.48f, 0.44f}};
    }
    return {house.wall * (0.85f + 0.3f * unit(hash(cell(s + offset, 0.44), row, house.id)))};
}

Surface facade(const House& house, double width, double s, double t) {
    constexpr double kFloor = 1.5;
    constexpr double kBay = 1.2;
    if (t > house.box.h - 0.18) {
        return {house.wall * 1.25f};
    }
    if (t < kFloor) {
        const double signStart = 0.3;
        if (t > 1.05 && t < 1.4 && s > signStart && s < width - signStart) {
            const bool stroke = t > 1.1 && t < 1.35 && letterStroke(house.id, s - signStart, (1.35 - t) / 0.25);
            return stroke ? Surface{Rgb{1.0f, 0.95f, 0.78f}, true} : Surface{Rgb{0.10f, 0.08f, 0.10f}};
        }
        if (t > 0.15 && t < 0.9 && wrap(s, 1.6) > 0.2 && wrap(s, 1.6) < 1.4) {
            return {Rgb{0.95f, 0.74f, 0.45f}, true};
        }
        return wallSurface(house, s, t);
    }
    const int bays = static_cast<int>(width / kBay);
    const double bs = s - (width - bays * kBay) / 2;
    const double ws = wrap(bs, kBay);
    const double wt = wrap(t - kFloor, kFloor);
    if (bs > 0 && bs < bays * kBay && ws > 0.3 && ws < 0.9 && wt > 0.35 && wt < 1.15) {
        if (ws < 0.35 || ws > 0.85 || wt < 0.4 || wt > 1.1) {
            return {Rgb{0.82f, 0.80f, 0.74f}};
        }
        if (hash(house.id, cell(bs, kBay), cell(t - kFloor, kFloor)) % 100 < 45) {
            return {Rgb{1.0f, 0.80f, 0.46f}, true};
        }
        return {Rgb{0.06f, 0.08f, 0.13f}};
    }
    return wallSurface(house, s, t);
}

void paintHouse(Canvas& canvas, const Camera& cam, const House& house) {
    const Box& b = house.box;
    const double width = b.u1 - b.u0;
    const double depth = b.v1 - b.v0;
    Faces faces;
    faces.front = [&](double s, double t) { return facade(house, width, s, t); };
    faces.side = [&](double s, double t) { return facade(house, depth, s, t); };
    faces.top = [&](double s, double t) -> Surface {
        if (s < 0.15 || t < 0.15 || s > width - 0.15 || t > depth - 0.15) {
            return {house.wall * 1.1f};
        }
        return {house.roof * (0.9f + 0.2f * unit(hash(cell(s, 0.18), cell(t, 0.18), house.id)))};
    };
    faces.frontLight = 0.5f + 0.35f * lampLight((b.u0 + b.u1) / 2, b.v0 - 0.3);
    faces.topLight = 0.75f;
    faces.sideLight = 0.35f;
    paintBox(canvas, cam, b, faces);
    if (b.h > 8) {
        paintLight(canvas, cam, (b.u0 + b.u1) / 2, (b.v0 + b.v1) / 2, b.h + 0.2, 0.1, Rgb{1.0f, 0.12f, 0.08f});
    }
}

const Rgb kWalls[] = {
    {0.55f, 0.24f, 0.17f}, {0.42f, 0.28f, 0.20f}, {0.82f, 0.76f, 0.62f}, {0.55f, 0.56f, 0.58f}, {0.50f, 0.56f, 0.62f}};
const Rgb kRoofs[] = {{0.30f, 0.30f, 0.32f}, {0.55f, 0.27f, 0.18f}, {0.25f, 0.35f, 0.30f}};
const Rgb kCars[] = {{0.70f, 0.08f, 0.07f}, {0.10f, 0.25f, 0.60f}, {0.85f, 0.85f, 0.82f},
                     {0.12f, 0.12f, 0.13f}, {0.90f, 0.68f, 0.10f}, {0.20f, 0.45f, 0.30f}};

// What the painter draws back to front: houses, lamps and cars.
struct Item {
    double depth;   // nearest distance, for the painter's order
    double offset;  // |u|: of equally near items, those further out go first
    std::function<void(Canvas&)> paint;
};

void addHouses(std::vector<Item>& items, const Camera& cam, int i, int j) {
    const std::uint32_t h = hash(i, j, 5);
    const int count = 2 + static_cast<int>(h % 2);
    const double start = i * kPitch + kStreet + kSidewalk + 0.3;
    const double end = (i + 1) * kPitch - kSidewalk - 0.3;
    const double front = j * kPitch + kStreet + kSidewalk + 0.3;
    const double far = std::min(1.0, (front - kOpenForeground) / 100);
    double u = start;
    for (int k = 0; k < count; ++k) {
        const std::int32_t id = static_cast<std::int32_t>(hash(i, j, 10 + k) & 0x7fffffff);
        const double share = k + 1 == count ? end - u : (end - start) / count * (0.75 + 0.5 * unit(hash(id, 1)));
        House house;
        house.id = id;
        house.box = Box{u, u + share - 0.15, front, front + 4 + 4.8 * unit(hash(id, 2)),
                        std::min(11.5, 2.6 + unit(hash(id, 3)) * (3 + 8 * far))};
        house.wall = kWalls[hash(id, 4) % 5];
        house.roof = kRoofs[hash(id, 5) % 3];
        house.brick = house.wall.r - house.wall.b > 0.15f;
        items.push_back({front, std::fabs((house.box.u0 + house.box.u1) / 2),
                         [house, &cam](Canvas& canvas) { paintHouse(canvas, cam, house); }});
        u += share;
    }
}

void addLamps(std::vector<Item>& items, const Camera& cam, int i, int j) {
    for (int side = 0; side < 2; ++side) {
        for (int k = 0; k < 3; ++k) {
            const double u = lampColumn(i, k);
            const double v = lampRow(j, side);
            items.push_back({v, std::fabs(u), [u, v, &cam](Canvas& canvas) {
                                 canvas.line(cam.x(u, v), cam.y(0, v), cam.x(u, v), cam.y(2.3, v),
                                             std::max(0.8, 0.07 * cam.focal / v), Rgb{0.08f, 0.08f, 0.09f});
                                 paintLight(canvas, cam, u, v, 2.35, 0.11, kLamp);
                             }});
        }
    }
}

void addCars(std::vector<Item>& items, const Camera& cam, int i, int j) {
    for (int lane = 0; lane < 2; ++lane) {
        for (int k = 0; k < 2; ++k) {
            const std::uint32_t h = hash(i, j * 4 + lane, 20 + k);
            if (h % 3 == 0) {
                continue;
            }
            const double u0 = i * kPitch + kStreet + 0.6 + k * 4.6 + 1.5 * unit(h);
            const double v0 = j * kPitch + 0.35 + lane * 1.45;
            const Box box{u0, u0 + 1.9, v0, v0 + 0.85, 0.7};
            const Rgb body = kCars[(h >> 8) % 6];
            items.push_back({v0, std::fabs(u0 + 0.95), [box, body, lane, &cam](Canvas& canvas) {
                                 Faces faces;
                                 faces.front = [body](double s, double t) -> Surface {
                                     if (t < 0.22 && (std::fabs(s - 0.4) < 0.2 || std::fabs(s - 1.5) < 0.2)) {
                                         return {Rgb{0.04f, 0.04f, 0.04f}};
                                     }
                                     if (t > 0.42 && t < 0.62 && s > 0.35 && s < 1.55) {
                                         return {Rgb{0.10f, 0.12f, 0.16f}};
                                     }
                                     return {body};
                                 };
                                 faces.side = faces.front;
                                 faces.top = [body](double s, double) -> Surface {
                                     return {s > 0.45 && s < 0.7 ? Rgb{0.10f, 0.12f, 0.16f} : body * 1.1f};
                                 };
                                 faces.frontLight = 0.6f + 0.3f * lampLight(box.u0, box.v0);
                                 faces.topLight = 0.8f;
                                 faces.sideLight = 0.4f;
                                 paintBox(canvas, cam, box, faces);
                                 const Rgb head{1.0f, 0.95f, 0.80f};
                                 const Rgb tail{1.0f, 0.15f, 0.10f};
                                 paintLight(canvas, cam, box.u0, box.v0, 0.4, 0.07, lane == 0 ? tail : head);
                                 paintLight(canvas, cam, box.u1, box.v0, 0.4, 0.07, lane == 0 ? head : tail);
                             }});
        }
    }
}

}  // namespace

std::unique_ptr<host::Image> makeScene(int width, int height) {
    if (std::min(width, height) < kSmallestScene || std::max(width, height) > kLargestScene) {
        throw std::invalid_argument("no scene of " + std::to_string(width) + " x " + std::to_string(height) +
                                    " pixels: each side is " + std::to_string(kSmallestScene) + " to " +
                                    std::to_string(kLargestScene));
    }
    Canvas canvas(width * kSupersampling, height * kSupersampling);
    const double horizon = 0.16 * canvas.height();
    const Camera cam{canvas.width() / 2.0, horizon, kNearest * (canvas.height() - horizon) / kEyeHeight};

    canvas.paint(0, 0, canvas.width(), canvas.height(), [&](double x, double y) -> std::optional<Rgb> {
        if (y <= horizon + 0.5) {
            return sky(y, horizon);
        }
        const double v = cam.depth(y, 0);
        const double u = cam.across(x, v);
        return fogged(groundColour(u, v) * (0.45f + 0.4f * lampLight(u, v)), v);
    });

    std::vector<Item> items;
    for (int j = 1; j * kPitch < kFarthestObject; ++j) {
        // The columns in view at the row's far side, and one more either way.
        const int reach = static_cast<int>(cam.cx * (j + 1) * kPitch / cam.focal / kPitch) + 2;
        for (int i = -reach; i <= reach; ++i) {
            if (lotAt(i, j) == Lot::houses) {
                addHouses(items, cam, i, j);
            }
            addLamps(items, cam, i, j);
            addCars(items, cam, i, j);
        }
    }
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
        return a.depth != b.depth ? a.depth > b.depth : a.offset > b.offset;
    });
    for (const Item& item : items) {
        item.paint(canvas);
    }
    return canvas.toImage(kSupersampling);
}

}  // namespace scene
