#include "ui/ModuleInfoViewer.h"

#include "gateway/ProgramState.h"
#include "modules/ModuleInfoTable.h"
#include "platform/Messages.h"
#include "ui/MessageBoxes.h"

namespace k400::ui {

TableViewer* OpenModuleInfoViewer(const ProgramState& state, QWidget* parent)
{
    auto* viewer = new TableViewer({QStringLiteral("ShowTarnInfo"),
                                    FromCore(msg::TarnInformation),
                                    QStringLiteral("Frame1"),
                                    FromCore(msg::TarnInformation),
                                    QStringLiteral("TarnInfoRecord"),
                                    {},
                                    8500,
                                    4300},
                                   parent);
    // Filled once, when the window opens.
    GridRows rows;
    for (const ModuleInfoRow& row : ModuleInfoRows(state))
        rows.emplace_back(row.begin(), row.end());
    viewer->load({}, [rows](int, GridRows& out, std::vector<int>&) { out = rows; });
    return viewer;
}

}  // namespace k400::ui
