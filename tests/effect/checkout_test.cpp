// The checkout helpers' conversions of the host's values, and greying a parameter out.

#include <cstring>

#include "command_host.h"
#include "parameter/checkout.h"

namespace {

constexpr double kHalfPi = 1.5707963267948966;

using CheckoutTest = test::CommandHost;

TEST_F(CheckoutTest, ConversionsOfTheHostsValues) {
    def("Direction").u.ad.value = -(45 << 16) - (1 << 15);
    def("Center").u.td.x_value = -32768;
    def("Center").u.td.y_value = 6569984;
    def("Vignetting Color").u.cd.value = PF_Pixel{0, 255, 128, 0};
    def("Repeat Edge Pixels").u.bd.value = 7;
    def("Grow Bounds").u.bd.value = 0;
    def("Type").u.pd.value = 2;
    def("Blur Amount").u.fs_d.value = 50.0;
    run([&](PF_InData& in, AEGP_SuiteHandler&) {
        double degrees = 0, radians = 0, amountD = 0;
        float amount = 0;
        Nerevo::Vector2<double> point{};
        Nerevo::Color<float> c{};
        bool repeat = false, grow = true;
        int type = 0;
        EXPECT_EQ(Nerevo::checkoutAngleParam(&in, index("Direction"), degrees, false), PF_Err_NONE);
        EXPECT_EQ(Nerevo::checkoutAngleParam(&in, index("Direction"), radians, true), PF_Err_NONE);
        EXPECT_EQ(Nerevo::checkoutPointParam(&in, index("Center"), point), PF_Err_NONE);
        EXPECT_EQ(Nerevo::checkoutColorParam(&in, index("Vignetting Color"), c), PF_Err_NONE);
        EXPECT_EQ(Nerevo::checkoutCheckboxParam(&in, index("Repeat Edge Pixels"), repeat), PF_Err_NONE);
        EXPECT_EQ(Nerevo::checkoutCheckboxParam(&in, index("Grow Bounds"), grow), PF_Err_NONE);
        EXPECT_EQ(Nerevo::checkoutPopupParam(&in, index("Type"), type), PF_Err_NONE);
        EXPECT_EQ(Nerevo::checkoutFloatParam(&in, index("Blur Amount"), amount, 0.01f), PF_Err_NONE);
        EXPECT_EQ(Nerevo::checkoutFloatParam(&in, index("Blur Amount"), amountD, 0.01), PF_Err_NONE);
        EXPECT_DOUBLE_EQ(radians, -45.5 * kHalfPi / 90);
        EXPECT_EQ((std::vector<double>{degrees, point.x, point.y, c.a, c.r, c.g, c.b, double(repeat), double(grow),
                                       double(type), amount, amountD}),
                  (std::vector<double>{-45.5, -0.5, 100.25, 1, 1, 128 / 255.0f, 0, 1, 0, 2, 0.5, 50.0 * 0.01}));
    });
}

// A failed checkout still writes the conversion of an empty record.
TEST_F(CheckoutTest, FailedCheckoutWritesTheEmptyValue) {
    def("Vignetting Color").u.cd.value = PF_Pixel{255, 10, 20, 30};
    def("Blur Amount").u.fs_d.value = 80.0;
    run([&](PF_InData& in, AEGP_SuiteHandler&) {
        Nerevo::Color<float> colour{0.5f, 0.5f, 0.5f, 0.5f};
        double amount = 99;
        bool repeat = true;
        host.faults().failCall("checkout_param", 1, PF_Err_OUT_OF_MEMORY);
        EXPECT_EQ(Nerevo::checkoutColorParam(&in, index("Vignetting Color"), colour), PF_Err_OUT_OF_MEMORY);
        host.faults().failCall("checkout_param", 1, PF_Err_INVALID_INDEX);
        EXPECT_EQ(Nerevo::checkoutFloatParam(&in, index("Blur Amount"), amount, 1.0), PF_Err_INVALID_INDEX);
        EXPECT_NE(Nerevo::checkoutCheckboxParam(&in, static_cast<int>(host.params().size()), repeat), PF_Err_NONE);
        EXPECT_EQ((std::vector<float>{colour.a, colour.r, colour.g, colour.b}), (std::vector<float>{1, 0, 0, 0}));
        EXPECT_EQ((std::vector<double>{amount, double(repeat)}), (std::vector<double>{0, 0}));
    });
}

// Other UI flags stay and the parameter array is left as it was; the update itself is the
// parameter-UI update's tests.
TEST_F(CheckoutTest, GrayingOutKeepsTheOtherFlagsAndLeavesTheArray) {
    PF_ParamDef& record = def("Ratio");
    record.ui_flags = 1 << 3;
    PF_ParamDef before;
    std::memcpy(&before, &record, sizeof before);
    std::vector<PF_ParamDef*> params(host.params().size());
    params[index("Ratio")] = &record;
    for (const bool gray : {true, false}) {
        run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
            EXPECT_EQ(Nerevo::grayOutParameter(&in, suites, params.data(), index("Ratio"), gray), PF_Err_NONE);
        });
        EXPECT_EQ(stream("Ratio").uiFlags, gray ? (1 << 3) | PF_PUI_DISABLED : 1 << 3);
        EXPECT_EQ(std::memcmp(&before, &record, sizeof before), 0) << "the parameter array was written";
    }
}

}  // namespace
