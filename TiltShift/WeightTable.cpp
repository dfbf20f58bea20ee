#include "WeightTable.h"

#include "AE_EffectCB.h"

std::vector<double> makeWeightTable(PF_InData* in_data, Nerevo::Bpc bpc, double weight) {
    std::vector<double> table;
    if (!isWeighted(weight)) {
        return table;
    }
    switch (bpc) {
    case Nerevo::bpc8:
        table.resize(weightTableSize<PF_Pixel>());
        for (std::size_t i = 0; i < table.size(); ++i) {
            table[i] = in_data->utils->ansi.pow(weight, static_cast<double>(i));
        }
        break;
    case Nerevo::bpc16:
    case Nerevo::bpc32:
        // i × 255 / 32768, with the factor exact in binary.
        table.resize(weightTableSize<PF_Pixel16>());
        for (std::size_t i = 0; i < table.size(); ++i) {
            table[i] = in_data->utils->ansi.pow(weight, static_cast<double>(i) * 0.007781982421875);
        }
        break;
    default:
        break;
    }
    return table;
}
