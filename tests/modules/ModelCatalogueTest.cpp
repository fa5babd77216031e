#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>

#include "modules/ModelCatalogue.h"

namespace k400::test {
namespace {

struct Shape {
    int DO, AO, DI, AI, IOType;
};

void ExpectShape(std::string_view name, Shape expected)
{
    const ModelInfo* model = FindModel(name);
    ASSERT_NE(model, nullptr) << name;
    EXPECT_EQ(model->DOChannels, expected.DO) << name;
    EXPECT_EQ(model->AOChannels, expected.AO) << name;
    EXPECT_EQ(model->DIChannels, expected.DI) << name;
    EXPECT_EQ(model->AIChannels, expected.AI) << name;
    EXPECT_EQ(model->IOType, expected.IOType) << name;
}

// Series letter and digits: the name a model's suffixed variants share.
std::string BaseName(std::string_view name)
{
    std::string base(1, name.front());
    for (std::size_t i = 1; i < name.size() && std::isdigit(static_cast<unsigned char>(name[i])); ++i)
        base += name[i];
    return base;
}

TEST(ModelCatalogue, HoldsEightyFourDistinctModels)
{
    std::set<std::string_view> names;
    for (const auto& model : ModelCatalogue())
        names.insert(model.Name);
    EXPECT_EQ(ModelCatalogue().size(), 84u);
    EXPECT_EQ(names.size(), 84u);
}

TEST(ModelCatalogue, LookupIsExactAndCaseSensitive)
{
    EXPECT_EQ(FindModel("Q29W"), nullptr);
    EXPECT_EQ(FindModel("m28"), nullptr);
    EXPECT_EQ(FindModel("M28 "), nullptr);
    EXPECT_EQ(FindModel("M2"), nullptr);
}

TEST(ModelCatalogue, SuffixedNamesAreModelsOfTheirOwn)
{
    ExpectShape("M29", {0, 0, 0, 8, 3});
    ExpectShape("M29Z", {0, 0, 0, 10, 3});
    EXPECT_EQ(FindModel("M29")->AILength(), 16);
    EXPECT_EQ(FindModel("M29Z")->AILength(), 20);
    ExpectShape("M27", {4, 1, 1, 2, 6});
    ExpectShape("M27P", {4, 1, 1, 1, 6});
    ExpectShape("Q26", {0, 0, 0, 7, 3});
    ExpectShape("M21", {6, 0, 0, 8, 8});
    EXPECT_EQ(FindModel("M38")->DOLength(), 2);  // 13 channels
    EXPECT_EQ(FindModel("M56")->DOLength(), 1);  // 7 channels
    EXPECT_EQ(FindModel("M37")->DILength(), 2);  // 14 channels
    EXPECT_EQ(FindModel("M33")->AOLength(), 8);
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
        const std::string base = BaseName(model.Name);
        auto [it, inserted] = byBase.emplace(base, model.ModelNumber);
        EXPECT_EQ(it->second, model.ModelNumber) << model.Name << " differs from its base " << base;
        auto [owner, fresh] = baseOfNumber.emplace(model.ModelNumber, base);
        EXPECT_EQ(owner->second, base) << model.Name << " shares a number with another base name";
    }
    EXPECT_EQ(FindModel("Q30R")->ModelNumber, byBase.at("Q30"));
    EXPECT_EQ(FindModel("Q28A5")->ModelNumber, FindModel("Q28")->ModelNumber);
    EXPECT_EQ(FindModel("M29BL")->ModelNumber, FindModel("M29")->ModelNumber);
    EXPECT_NE(FindModel("M28")->ModelNumber, FindModel("Q28")->ModelNumber);
}

TEST(ModelCatalogue, CounterModels)
{
    for (auto name : {"M60", "M60B", "Q61", "M62", "M62B"})
        EXPECT_TRUE(IsCounterModel(name)) << name;
    for (auto name : {"M26", "m62"})
        EXPECT_FALSE(IsCounterModel(name)) << name;
}

}  // namespace
}  // namespace k400::test
