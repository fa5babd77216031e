#include "modules/ModelCatalogue.h"

#include <array>

namespace k400 {

namespace {

// ModelNumber: ours to choose, one per base name (series letter + digits;
// suffixed variants such as M22P, Q28A5, M29BL or M62B share their base's
// number, and Q30R's base is Q30). The series letter gives the thousands
// (M = 1, Q = 2), the base name's digits the rest: M28 is 1028, Q30R is 2030.
// All stay far below 100000, so a DeviceNet code (x 10 + 1) x 256 + address
// still fits a long word.
// clang-format off
constexpr std::array<ModelInfo, 84> Catalogue = {{
    // Name      DO  AO  DI  AI  IOType  ModelNumber
    {"M56",       7,  0,  0,  0, IOTypeDO, 1056},
    {"M57",       7,  0,  0,  0, IOTypeDO, 1057},
    {"Q54",       8,  0,  0,  0, IOTypeDO, 2054},
    {"Q55",       8,  0,  0,  0, IOTypeDO, 2055},
    {"Q56",       8,  0,  0,  0, IOTypeDO, 2056},
    {"Q58",       8,  0,  0,  0, IOTypeDO, 2058},
    {"Q59",       8,  0,  0,  0, IOTypeDO, 2059},
    {"M38",      13,  0,  0,  0, IOTypeDO, 1038},
    {"M39",      16,  0,  0,  0, IOTypeDO, 1039},
    {"M41",      16,  0,  0,  0, IOTypeDO, 1041},
    {"Q49",      16,  0,  0,  0, IOTypeDO, 2049},
    {"Q37",      32,  0,  0,  0, IOTypeDO, 2037},
    {"M31",       0,  1,  0,  0, IOTypeAO, 1031},
    {"M31P",      0,  1,  0,  0, IOTypeAO, 1031},
    {"M32",       0,  2,  0,  0, IOTypeAO, 1032},
    {"Q32",       0,  2,  0,  0, IOTypeAO, 2032},
    {"Q34",       0,  2,  0,  0, IOTypeAO, 2034},
    {"M33",       0,  4,  0,  0, IOTypeAO, 1033},
    {"Q33",       0,  4,  0,  0, IOTypeAO, 2033},
    {"M45",       0,  0,  8,  0, IOTypeDI, 1045},
    {"M50",       0,  0,  8,  0, IOTypeDI, 1050},
    {"M51",       0,  0,  8,  0, IOTypeDI, 1051},
    {"Q45",       0,  0,  8,  0, IOTypeDI, 2045},
    {"Q50",       0,  0,  8,  0, IOTypeDI, 2050},
    {"M37",       0,  0, 14,  0, IOTypeDI, 1037},
    {"M44",       0,  0, 16,  0, IOTypeDI, 1044},
    {"M46",       0,  0, 16,  0, IOTypeDI, 1046},
    {"Q42",       0,  0, 16,  0, IOTypeDI, 2042},
    {"Q44",       0,  0, 16,  0, IOTypeDI, 2044},
    {"Q46",       0,  0, 16,  0, IOTypeDI, 2046},
    {"Q46A5",     0,  0, 16,  0, IOTypeDI, 2046},
    {"Q36",       0,  0, 32,  0, IOTypeDI, 2036},
    {"M24",       0,  0,  0,  1, IOTypeAI, 1024},
    {"Q27",       0,  0,  0,  2, IOTypeAI, 2027},
    {"M35",       0,  0,  0,  3, IOTypeAI, 1035},
    {"Q24",       0,  0,  0,  4, IOTypeAI, 2024},
    {"M26",       0,  0,  0,  6, IOTypeAI, 1026},
    {"M62",       0,  0,  0,  6, IOTypeAI, 1062},
    {"M62B",      0,  0,  0,  6, IOTypeAI, 1062},
    {"Q26",       0,  0,  0,  7, IOTypeAI, 2026},
    {"M28",       0,  0,  0,  8, IOTypeAI, 1028},
    {"M28C",      0,  0,  0,  8, IOTypeAI, 1028},
    {"M28F",      0,  0,  0,  8, IOTypeAI, 1028},
    {"M28R",      0,  0,  0,  8, IOTypeAI, 1028},
    {"M28RC",     0,  0,  0,  8, IOTypeAI, 1028},
    {"M29",       0,  0,  0,  8, IOTypeAI, 1029},
    {"M29BL",     0,  0,  0,  8, IOTypeAI, 1029},
    {"M29P",      0,  0,  0,  8, IOTypeAI, 1029},
    {"M29R",      0,  0,  0,  8, IOTypeAI, 1029},
    {"M30",       0,  0,  0,  8, IOTypeAI, 1030},
    {"Q28",       0,  0,  0,  8, IOTypeAI, 2028},
    {"Q28A5",     0,  0,  0,  8, IOTypeAI, 2028},
    {"Q28R",      0,  0,  0,  8, IOTypeAI, 2028},
    {"Q28RC",     0,  0,  0,  8, IOTypeAI, 2028},
    {"Q29",       0,  0,  0,  8, IOTypeAI, 2029},
    {"Q29R",      0,  0,  0,  8, IOTypeAI, 2029},
    {"Q30R",      0,  0,  0,  8, IOTypeAI, 2030},
    {"M29Z",      0,  0,  0, 10, IOTypeAI, 1029},
    {"Q29Z",      0,  0,  0, 10, IOTypeAI, 2029},
    {"M53",       3,  0,  8,  0, IOTypeDIDO, 1053},
    {"M53A",      3,  0,  8,  0, IOTypeDIDO, 1053},
    {"M53B",      3,  0,  8,  0, IOTypeDIDO, 1053},
    {"M52",       4,  0,  4,  0, IOTypeDIDO, 1052},
    {"Q53",       4,  0,  4,  0, IOTypeDIDO, 2053},
    {"M55",       5,  0,  4,  0, IOTypeDIDO, 1055},
    {"M55A",      5,  0,  4,  0, IOTypeDIDO, 1055},
    {"M55B",      5,  0,  4,  0, IOTypeDIDO, 1055},
    {"M40",       8,  0,  4,  0, IOTypeDIDO, 1040},
    {"M43",       8,  0,  7,  0, IOTypeDIDO, 1043},
    {"M43A",      8,  0,  7,  0, IOTypeDIDO, 1043},
    {"M48",       8,  0,  8,  0, IOTypeDIDO, 1048},
    {"Q47",       8,  0,  8,  0, IOTypeDIDO, 2047},
    {"Q48",       8,  0,  8,  0, IOTypeDIDO, 2048},
    {"M27P",      4,  1,  1,  1, IOTypeAIAODIDO, 1027},
    {"M27",       4,  1,  1,  2, IOTypeAIAODIDO, 1027},
    {"M22",       2,  0,  1,  1, IOTypeAIDIDO, 1022},
    {"M22P",      2,  0,  1,  1, IOTypeAIDIDO, 1022},
    {"M23",       2,  0,  1,  1, IOTypeAIDIDO, 1023},
    {"M23F",      2,  0,  1,  1, IOTypeAIDIDO, 1023},
    {"M25",       2,  0,  1,  1, IOTypeAIDIDO, 1025},
    {"M60",       2,  0,  0,  4, IOTypeAIDO, 1060},
    {"M60B",      2,  0,  0,  4, IOTypeAIDO, 1060},
    {"Q61",       2,  0,  0,  4, IOTypeAIDO, 2061},
    {"M21",       6,  0,  0,  8, IOTypeAIDO, 1021},
}};
// clang-format on

}  // namespace

std::span<const ModelInfo> ModelCatalogue()
{
    return Catalogue;
}

const ModelInfo* FindModel(std::string_view name)
{
    for (const auto& model : Catalogue)
        if (model.Name == name)
            return &model;
    return nullptr;
}

bool IsCounterModel(std::string_view name)
{
    return name == "M60" || name == "M60B" || name == "Q61" || name == "M62" || name == "M62B";
}

}  // namespace k400
