// The outputter: every pixel of its rows through the output conversion, and
// the host's abort.

#include "OutputConversion.h"
#include "Outputter.h"
#include "blur_support.h"

namespace {

using namespace BlurTest;

template <typename Pixel>
class Outputters : public HostTest {
protected:
    void SetUp() override {
        for (int i = 0; i < 5 * 6; ++i) {
            work.push_back(patternSample(i));
            mat.push_back(i % 4 * 0.3);
        }
        paint(marker);
    }

    void paint(const Pixel& pixel) {
        for (int y = 0; y < output.height(); ++y) {
            for (int x = 0; x < output.width(); ++x) {
                output.at<Pixel>(x, y) = pixel;
            }
        }
    }

    bool isMarker(int x, int y) const {
        return std::memcmp(&output.at<Pixel>(x, y), &marker, sizeof marker) == 0;
    }

    std::vector<Sample> work;
    std::vector<double> mat;
    OutputterParameters p{true,  1.04, 0.7, Nerevo::Color<float>{1.0f, 0.3f, 0.6f, 0.9f}, Nerevo::BlendingMode::screen,
                          &mat, &work, nullptr};
    const Pixel marker{1, 2, 3, 4};
    Image input{Nerevo::PixelTraits<Pixel>::format, 5, 6};
    Image output{Nerevo::PixelTraits<Pixel>::format, 5, 6, PF_Point{7, -7}};
};
TYPED_TEST_SUITE(Outputters, PixelTypes);

TYPED_TEST(Outputters, EveryPixelIsTheConvertedWorkValue) {
    this->host.setThreadCount(4);
    ASSERT_EQ(this->template run<Outputter>(bpcOf<TypeParam>(), this->input, &this->output, this->p), PF_Err_NONE);
    this->host.withCommandData([&](PF_InData& in, PF_OutData&) {
        const Output::Conversion<TypeParam> convert(&in, this->p);
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 5; ++x) {
                const TypeParam want = convert(this->work[y * 5 + x], this->mat[y * 5 + x]);
                EXPECT_EQ(std::memcmp(&this->output.template at<TypeParam>(x, y), &want, sizeof want), 0) << at(x, y);
            }
        }
    });
    EXPECT_TRUE(this->output.untouchedOutside());
}

TYPED_TEST(Outputters, AnAbortLeavesTheLaterRowsAsTheyWere) {
    this->host.setThreadCount(1);
    this->host.cancelAtAbortCheck(3);
    EXPECT_EQ(this->template run<Outputter>(bpcOf<TypeParam>(), this->input, &this->output, this->p),
              PF_Interrupt_CANCEL);
    for (int y = 0; y < 6; ++y) {
        EXPECT_EQ(this->isMarker(2, y), y >= 2) << "row " << y;
    }
}

}  // namespace
