// The depth query against a world suite that reports chosen formats.

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "AE_EffectCBSuites.h"
#include "utility/bpc.h"

namespace {

PF_PixelFormat g_format;
int g_acquired;

PF_Err getFormat(const PF_EffectWorld*, PF_PixelFormat* out) {
    *out = g_format;
    return PF_Err_NONE;
}

const PF_WorldSuite2 kWorldSuite{nullptr, nullptr, getFormat};

SPErr acquire(const char* name, int32_t version, const void** suite) {
    if (std::strcmp(name, kPFWorldSuite) == 0 && version == 2) {
        *suite = &kWorldSuite;
        ++g_acquired;
        return kSPNoError;
    }
    *suite = nullptr;
    return 1;
}

SPErr release(const char*, int32_t) {
    --g_acquired;
    return kSPNoError;
}

int formatMessage(A_char* buffer, const A_char* format, ...) {
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, PF_MAX_EFFECT_MSG_LEN + 1, format, args);
    va_end(args);
    return n;
}

struct Fixture : ::testing::Test {
    SPBasicSuite basic{};
    PF_UtilCallbacks utils{};
    PF_InData in{};
    PF_OutData out{};
    PF_LayerDef world{};

    void SetUp() override {
        basic.AcquireSuite = acquire;
        basic.ReleaseSuite = release;
        utils.ansi.sprintf = formatMessage;
        in.pica_basicP = &basic;
        in.utils = &utils;
        g_acquired = 0;
    }
};

using GetBpc = Fixture;

TEST_F(GetBpc, MapsTheThreeFormatsAndLeavesOthersAlone) {
    const struct {
        PF_PixelFormat format;
        Nerevo::Bpc expected;
    } cases[] = {{PF_PixelFormat_ARGB32, Nerevo::bpc8},
                 {PF_PixelFormat_ARGB64, Nerevo::bpc16},
                 {PF_PixelFormat_ARGB128, Nerevo::bpc32},
                 {PF_PixelFormat_INVALID, static_cast<Nerevo::Bpc>(7)}};
    for (const auto& c : cases) {
        g_format = c.format;
        Nerevo::Bpc bpc = static_cast<Nerevo::Bpc>(7);
        EXPECT_EQ(Nerevo::getBpc(&in, &out, &world, &bpc), PF_Err_NONE);
        EXPECT_EQ(bpc, c.expected);
        EXPECT_EQ(g_acquired, 0) << "the world suite is given back";
    }
}

TEST_F(GetBpc, MissingSuiteIsReportedToTheUser) {
    in.pica_basicP = nullptr;
    Nerevo::Bpc bpc = Nerevo::bpc16;
    EXPECT_EQ(Nerevo::getBpc(&in, &out, &world, &bpc), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(bpc, Nerevo::bpc16);
    EXPECT_TRUE(out.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE);
    EXPECT_EQ(std::string(out.return_msg), "Couldn't load suite.");
}

}  // namespace
