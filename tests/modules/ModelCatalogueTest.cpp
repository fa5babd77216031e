// The catalogue of TARN models: its size, exact lookup, the consistency of
// its columns and the model numbers the gateway firmware knows. (Channel
// counts of single models show in the module and connect tests' totals.)

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "modules/ModelCatalogue.h"

namespace k400::test {
namespace {

TEST(ModelCatalogue, EightyFourDistinctModelsFoundOnlyByExactName)
{
    std::set<std::string_view> names;
    for (const auto& model : ModelCatalogue())
        names.insert(model.Name);
    EXPECT_EQ(ModelCatalogue().size(), 84u);
    EXPECT_EQ(names.size(), 84u);
    for (const char* unknown : {"Q29W", "m28", "M28 ", "M2", ""})
        EXPECT_EQ(FindModel(unknown), nullptr) << '"' << unknown << '"';
    for (auto name : {"M60", "M60B", "Q61", "M62", "M62B"})
        EXPECT_TRUE(IsCounterModel(name)) << name;
    for (auto name : {"M26", "m62", "M6"})
        EXPECT_FALSE(IsCounterModel(name)) << name;
}

// The I/O kind code must agree with which channel kinds a model has; a typo in
// either column of the table shows up here.
TEST(ModelCatalogue, IOTypeMatchesTheChannelsPresent)
{
    const std::map<int, int> kindsToCode = {{0b1000, 0}, {0b0100, 1}, {0b0010, 2}, {0b0001, 3},
                                            {0b1010, 4}, {0b1111, 6}, {0b1011, 7}, {0b1001, 8}};
    for (const auto& model : ModelCatalogue()) {
        const int kinds = (model.DOChannels ? 8 : 0) | (model.AOChannels ? 4 : 0) | (model.DIChannels ? 2 : 0) |
                          (model.AIChannels ? 1 : 0);
        auto code = kindsToCode.find(kinds);
        ASSERT_NE(code, kindsToCode.end()) << model.Name;
        EXPECT_EQ(model.IOType, code->second) << model.Name;
    }
}

TEST(ModelCatalogue, ModelNumbersArePerBaseName)
{
    std::map<std::string, std::uint32_t> byBase;
    std::map<std::uint32_t, std::string> baseOfNumber;
    for (const auto& model : ModelCatalogue()) {
        EXPECT_GT(model.ModelNumber, 0u) << model.Name;
        EXPECT_LT(model.ModelNumber, 100000u) << model.Name;
        // Series letter and digits: the name a model's suffixed variants share.
        const std::string base(model.Name.substr(0, model.Name.find_first_not_of("0123456789", 1)));
        auto [it, inserted] = byBase.emplace(base, model.ModelNumber);
        EXPECT_EQ(it->second, model.ModelNumber) << model.Name << " differs from its base " << base;
        auto [owner, fresh] = baseOfNumber.emplace(model.ModelNumber, base);
        EXPECT_EQ(owner->second, base) << model.Name << " shares a number with another base name";
    }
}

}  // namespace
}  // namespace k400::test
