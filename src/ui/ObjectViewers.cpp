#include "ui/ObjectViewers.h"

#include "devicenet/ObjectTables.h"
#include "gateway/ProgramState.h"
#include "platform/Messages.h"
#include "ui/MessageBoxes.h"

namespace k400::ui {

TableViewer* OpenApplicationObjectViewer(const ProgramState& state, QWidget* parent)
{
    auto* viewer = new TableViewer({QStringLiteral("ShowAppObjNew"),
                                    FromCore(msg::ApplicationObjectTitle),
                                    {},
                                    {},
                                    QStringLiteral("AppObjRecord"),
                                    {},
                                    10800,
                                    4700},
                                   parent);
    viewer->load({}, [&state](int, GridRows& rows, std::vector<int>& widths) {
        TextGrid table = ApplicationObjectTable(state);
        rows = std::move(table.rows);
        widths = std::move(table.columnWidths);
    });
    return viewer;
}

TableViewer* OpenAssemblyObjectViewer(const ProgramState& state, QWidget* parent)
{
    auto* viewer = new TableViewer({QStringLiteral("ShowAssObj"),
                                    FromCore(msg::AssemblyObjectTitle),
                                    {},
                                    {},
                                    QStringLiteral("AssObjParaRecord"),
                                    QStringLiteral("AssObjParaTableTag"),
                                    9600,
                                    5200},
                                   parent);
    const std::vector<AssemblyTab> tabs = AssemblyTabs(state);
    QStringList captions;
    for (AssemblyTab tab : tabs)
        captions << QString::fromLatin1(AssemblyTabCaption(tab));
    viewer->load(captions, [&state, tabs](int tab, GridRows& rows, std::vector<int>& widths) {
        if (tab < 0 || tab >= static_cast<int>(tabs.size()))
            return;
        TextGrid table = AssemblyObjectTable(state, tabs[static_cast<std::size_t>(tab)]);
        rows = std::move(table.rows);
        widths = std::move(table.columnWidths);
    });
    return viewer;
}

}  // namespace k400::ui
