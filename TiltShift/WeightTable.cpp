#include "WeightTable.h"

#include "AE_EffectCB.h"
#include "world/pixels.h"

std::vector<double> makeWeightTable(PF_InData* in_data, Nerevo::Bpc bpc, double weight) {
    std::vector<double> table;
    if (!isWeighted(weight)) {
        return table;
    }
    Nerevo::withPixelType(bpc, [&](auto type) {
        using Pixel = typename decltype(type)::type;
        // Entry i is the weight of i in the table's units: 8-bit units, or
        // i × 255 / 32768 with the factor exact in binary. Floats have none.
        const double unit = std::is_same_v<Pixel, PF_Pixel> ? 1.0 : 0.007781982421875;
        table.resize(weightTableSize<Pixel>());
        for (std::size_t i = 0; i < table.size(); ++i) {
            table[i] = in_data->utils->ansi.pow(weight, static_cast<double>(i) * unit);
        }
    });
    return table;
}
