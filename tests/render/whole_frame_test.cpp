// Whole frames through the host: stopped part way, and float highlights beyond what a double holds.

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "host/render.h"
#include "render_support.h"

namespace {

using host::Image;

class Stopping : public test::EffectHost {
protected:
    void SetUp() override {
        test::EffectHost::SetUp();
        test::paint<PF_Pixel>(layer);
        set("Blur Amount", 30);
    }

    Image layer{PF_PixelFormat_ARGB32, 640, 360};
};

// Stage 1 is the mat, then three rounds of a column and a row blur.
TEST_F(Stopping, TheUsersCancelOrAFailingStageEndsTheRenderWithItsCode) {
    constexpr PF_Err cancel = PF_Interrupt_CANCEL, failed = PF_Err_OUT_OF_MEMORY, noSuite = PF_Err_BAD_CALLBACK_PARAM;
    const struct {
        int type, cancelAt, failingStage;
        PF_Err err;
    } cases[] = {{1, 50, 0, cancel}, {2, 0, 1, failed}, {2, 0, 2, failed}, {2, 0, 7, failed}, {3, 0, 0, noSuite}};
    for (const auto& c : cases) {
        SCOPED_TRACE("cancel at " + std::to_string(c.cancelAt) + ", failing stage " + std::to_string(c.failingStage));
        setPopup("Type", c.type);
        host.faults().clear();
        host.log().clear();
        host.cancelAtAbortCheck(c.cancelAt);
        if (c.failingStage) {
            host.faults().failCall("iterate_generic", c.failingStage, PF_Err_OUT_OF_MEMORY);
        }
        if (c.err == noSuite) {
            host.faults().makeUnavailable("AEGP Iterate Suite");
        }
        const host::RenderResult result = host::renderFrame(host, layer);
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.output, nullptr);
        EXPECT_EQ(extraHandles(), 0u);
        EXPECT_TRUE(host.problems().empty()) << problems();
        if (c.failingStage) {
            EXPECT_EQ(host.log().count("iterate_generic"), static_cast<std::size_t>(c.failingStage));
        }
    }
}

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr int kReach = 3 * 8;  // six passes of a third of an offset of 24
struct Spot {
    int x, y;
};
constexpr Spot kSpots[] = {{40, 35}, {41, 35}, {41, 36}, {118, 84}};

class Highlights : public test::EffectHost {
protected:
    void SetUp() override {
        test::EffectHost::SetUp();
        host.log().setRecording(false);
        test::paint<PF_PixelFloat>(lit);
        setPopup("Type", 1);
        set("Blur Amount", 0);
        set("Blur Offset", 24);
    }

    std::unique_ptr<Image> render(const Image& layer) {
        host::RenderResult result = host::renderFrame(host, layer);
        EXPECT_EQ(result.err, PF_Err_NONE);
        EXPECT_TRUE(result.output && result.output->untouchedOutside()) << "nothing written past a row";
        EXPECT_TRUE(host.problems().empty()) << problems();
        return std::move(result.output);
    }

    bool withinReach(int x, int y) const {
        return std::any_of(std::begin(kSpots), std::end(kSpots), [&](const Spot& s) {
            return std::abs(x - s.x) <= kReach && std::abs(y - s.y) <= kReach;
        });
    }

    Image lit{PF_PixelFormat_ARGB128, kWidth, kHeight};
};

// The six passes in logs: each colour carried as ln(a) + k·v with k = 255 ln(weight), each window a log-sum-exp,
// alpha averaged plainly.
class LogCascade {
public:
    LogCascade(const Image& layer, double weight) : k_(255.0 * std::log(weight)) {
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const PF_PixelFloat& p = layer.at<PF_PixelFloat>(x, y);
                const float channels[3] = {p.red, p.green, p.blue};
                alpha_.push_back(p.alpha);
                for (int c = 0; c < 3; ++c) {
                    logs_[c].push_back(std::log(static_cast<double>(p.alpha)) +
                                       k_ * std::max(0.0, static_cast<double>(channels[c])));
                }
            }
        }
    }

    void blur(double r, bool repeatEdgePixels) {
        for (int round = 0; round < 3; ++round) {
            pass(kHeight, kWidth, 1, r, repeatEdgePixels);
            pass(kWidth, 1, kWidth, r, repeatEdgePixels);
        }
    }

    // Channel c, alpha first; a colour is the log of colour over alpha, in units of k.
    double channel(int c, int x, int y) const {
        const double alpha = alpha_[index(x, y)];
        if (c == 0) {
            return alpha;
        }
        const double d = logs_[c - 1][index(x, y)] - std::log(alpha);
        return d > 0.0 ? d / k_ : 0.0;
    }

private:
    static std::size_t index(int x, int y) { return static_cast<std::size_t>(y * kWidth + x); }

    void pass(int length, int step, int lineStep, double r, bool repeat) {
        const int lines = kWidth * kHeight / length;
        const int n = static_cast<int>(std::ceil(r));
        const double w = n - r;
        const double inf = std::numeric_limits<double>::infinity();
        for (int line = 0; line < lines; ++line) {
            const auto at = [&](int j) { return static_cast<std::size_t>(line * lineStep + j * step); };
            std::vector<double> a(static_cast<std::size_t>(length));
            std::vector<double> l[3];
            for (int j = 0; j < length; ++j) {
                a[static_cast<std::size_t>(j)] = alpha_[at(j)];
                for (int c = 0; c < 3; ++c) {
                    l[c].push_back(logs_[c][at(j)]);
                }
            }
            for (int x = 0; x < length; ++x) {
                double alphaSum = 0.0;
                std::vector<double> terms[3];
                for (int j = x - n; j <= x + n; ++j) {
                    const double tap = j == x - n || j == x + n ? 1.0 - w : 1.0;
                    const int source = repeat ? std::clamp(j, 0, length - 1) : j;
                    if (tap == 0.0 || source < 0 || source >= length) {
                        continue;
                    }
                    alphaSum += tap * a[static_cast<std::size_t>(source)];
                    for (int c = 0; c < 3; ++c) {
                        terms[c].push_back(l[c][static_cast<std::size_t>(source)] + std::log(tap));
                    }
                }
                alpha_[at(x)] = alphaSum / (2.0 * r + 1.0);
                for (int c = 0; c < 3; ++c) {
                    const double m = terms[c].empty() ? -inf : *std::max_element(terms[c].begin(), terms[c].end());
                    double s = 0.0;
                    for (const double t : terms[c]) {
                        s += std::exp(t - m);
                    }
                    logs_[c][at(x)] = m == -inf ? -inf : m + std::log(s) - std::log(2.0 * r + 1.0);
                }
            }
        }
    }

    double k_;
    std::vector<double> alpha_;
    std::vector<double> logs_[3];
};

bool withinOneUlp(float actual, double reference) {
    const float f = static_cast<float>(reference);
    const float inf = std::numeric_limits<float>::infinity();
    return actual >= std::nextafter(f, -inf) && actual <= std::nextafter(f, inf);
}

// Weighted, 100 at "Weight" 1 is about 1e110 and fits a double; no other highlight here does, nor most sums over
// 100. Outside the reach every pixel is what it was when the highlights that did not fit became infinite.
TEST_F(Highlights, BeyondTheDoubleRangeFollowTheCascadeInLogs) {
    const float inf = std::numeric_limits<float>::infinity();
    for (const int setting : {1, 3, 5}) {
        set("Weight", setting);
        const double weight = 1.0 + setting / 100.0;
        for (const float v : {100.0f, 1000.0f, 65504.0f}) {
            const std::string what = std::to_string(v) + " at \"Weight\" " + std::to_string(setting);
            const PF_PixelFloat pixels[] = {
                {0.5f, v, 0.25f, v / 2}, {0.5f, v, 0.25f, v / 2}, {1.0f, v, v, v}, {1e-30f, v, 0.0f, v}};
            Image once{PF_PixelFormat_ARGB128, kWidth, kHeight};
            test::paint<PF_PixelFloat>(once);
            for (std::size_t i = 0; i < std::size(kSpots); ++i) {
                const PF_PixelFloat& p = pixels[i];
                lit.at<PF_PixelFloat>(kSpots[i].x, kSpots[i].y) = p;
                const auto overflowed = [&](float c) {
                    return std::isinf(p.alpha * std::pow(weight, 255.0 * c)) ? inf : c;
                };
                once.at<PF_PixelFloat>(kSpots[i].x, kSpots[i].y) =
                    PF_PixelFloat{p.alpha, overflowed(p.red), overflowed(p.green), overflowed(p.blue)};
            }
            const std::unique_ptr<Image> with = render(lit);
            const std::unique_ptr<Image> before = render(once);
            ASSERT_TRUE(with && before) << what;
            LogCascade reference(lit, weight);
            reference.blur(24.0 * 0.3333333333333333, true);
            for (int y = 0; y < kHeight; ++y) {
                for (int x = 0; x < kWidth; ++x) {
                    const PF_PixelFloat& u = with->at<PF_PixelFloat>(x, y);
                    const std::string where = what + " at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
                    if (!withinReach(x, y)) {
                        ASSERT_TRUE(test::samePixel(u, before->at<PF_PixelFloat>(x, y))) << where;
                        continue;
                    }
                    const float channels[4] = {u.alpha, u.red, u.green, u.blue};
                    for (int c = 0; c < 4; ++c) {
                        ASSERT_TRUE(withinOneUlp(channels[c], reference.channel(c, x, y)))
                            << where << ", channel " << c << ": " << channels[c] << " against "
                            << reference.channel(c, x, y);
                    }
                }
            }
            set("Blur Offset", 0);
            const std::unique_ptr<Image> sharp = render(lit);
            set("Blur Offset", 24);
            ASSERT_TRUE(sharp) << what;
            for (const Spot& s : kSpots) {
                const PF_PixelFloat& u = sharp->at<PF_PixelFloat>(s.x, s.y);
                const PF_PixelFloat& source = lit.at<PF_PixelFloat>(s.x, s.y);
                EXPECT_TRUE(withinOneUlp(u.red, source.red) && withinOneUlp(u.green, source.green) &&
                            withinOneUlp(u.blue, source.blue))
                    << what << ", unblurred: " << u.red << ", " << u.green << ", " << u.blue;
            }
        }
    }
}

}  // namespace
