#include "devicenet/ObjectTables.h"

#include <algorithm>
#include <cstdio>

#include "devicenet/AssemblyObjects.h"
#include "devicenet/ConnectionSettings.h"
#include "gateway/ProgramState.h"
#include "modules/ModelCatalogue.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"

namespace k400 {

namespace {

std::string D(int n)
{
    return FormatInt("%d", n);
}
std::string X2(int n)
{
    return FormatInt("0x%02X", n);
}
std::string H(int n)
{
    return FormatInt("%X", n);
}

constexpr int FixedColumnWidth = 1500;
constexpr int MappingColumnWidth = 1600;

}  // namespace

TextGrid ApplicationObjectTable(const ProgramState& state)
{
    TextGrid grid;
    grid.rows.emplace_back(msg::ApplicationObjectHeadings.begin(), msg::ApplicationObjectHeadings.end());
    for (int i = 0; i < ScannedSlots(state); ++i) {
        if (state.ModuleTable[i].Address.empty())
            continue;
        const TarnInf& t = state.TarnInfTable[i];
        const std::string typeCode = t.TypeCodeCount == 2 ? "Ch0:" + H(t.TypeCode) + "--" + "Ch1:" + H(t.TypeCode2)
                                                          : X2(t.TypeCode);
        const int inputs = IsCounterModel(t.Name) ? t.AIChannels / 2 : t.AIChannels;
        grid.rows.push_back({D(i + 1), D(t.IOType), t.Name, X2(t.Address), D(t.Baud), typeCode, X2(t.DataFormat),
                             D(t.DOLength), D(t.AOLength), D(t.DILength), D(t.AILength), D(t.DOChannels),
                             D(t.AOChannels), D(t.DIChannels), D(inputs)});
    }
    return grid;
}

std::vector<AssemblyTab> AssemblyTabs(const ProgramState& state)
{
    std::vector<AssemblyTab> tabs;
    if (state.TotalDOBytes + state.TotalAOBytes != 0)
        tabs.push_back(AssemblyTab::Output);
    if (state.TotalDIBytes + state.TotalAIBytes != 0)
        tabs.push_back(AssemblyTab::Input);
    return tabs;
}

const char* AssemblyTabCaption(AssemblyTab tab)
{
    return tab == AssemblyTab::Output ? msg::OutputInstanceTab : msg::InputInstanceTab;
}

TextGrid AssemblyObjectTable(const ProgramState& state, AssemblyTab tab)
{
    const bool output = tab == AssemblyTab::Output;
    const AssemblyTable& table = output ? state.OutputAssemblies : state.InputAssemblies;
    const int count = output ? OutputAssemblyCount(state) : InputAssemblyCount(state);
    const int firstId = FirstAssemblyId + (output ? 0 : OutputAssemblyCount(state));

    int mappings = 0;
    for (int k = 0; k < count; ++k)
        mappings = std::max<int>(mappings, table[k].DataLength);

    TextGrid grid;
    std::vector<std::string> header(msg::AssemblyHeadings.begin(), msg::AssemblyHeadings.end());
    grid.columnWidths.assign(3, FixedColumnWidth);
    for (int c = 0; c < mappings; ++c) {
        header.push_back(msg::AssemblyMappingHeading + D(c));
        grid.columnWidths.push_back(MappingColumnWidth);
    }
    grid.rows.push_back(std::move(header));
    for (int k = 0; k < count; ++k) {
        const AssemblyObject& record = table[k];
        std::vector<std::string> row{D(k + 1), H(firstId + k), D(record.DataLength)};
        for (std::size_t b = 0; b < record.DataLength; ++b)
            row.push_back(record.Mapping[b]);
        row.resize(3 + static_cast<std::size_t>(mappings));
        grid.rows.push_back(std::move(row));
    }
    return grid;
}

}  // namespace k400
