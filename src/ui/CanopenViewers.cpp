#include "ui/CanopenViewers.h"

#include "canopen/PdoTables.h"
#include "gateway/ProgramState.h"
#include "platform/Messages.h"
#include "ui/MessageBoxes.h"

namespace k400::ui {

TableViewer* OpenPdoViewer(const ProgramState& state, QWidget* parent)
{
    auto* viewer = new TableViewer({QStringLiteral("ShowPDO"), FromCore(msg::PdoViewerTitle), QStringLiteral("Frame6"),
                                    FromCore(msg::SettingResultCaption), QStringLiteral("PDOParaRecord"),
                                    QStringLiteral("PDOParaTableTag"), 9100, 4500},
                                   parent);
    viewer->load({FromCore(msg::ReceivePdoTab), FromCore(msg::TransmitPdoTab)},
                 [&state](int tab, GridRows& rows, std::vector<int>&) {
                     rows = PdoTableRows(state, tab == 0 ? PdoDirection::Receive : PdoDirection::Transmit);
                 });
    return viewer;
}

TableViewer* OpenObjectDictionaryViewer(const ProgramState& state, QWidget* parent)
{
    auto* viewer = new TableViewer({QStringLiteral("ShowAppObjDect"), FromCore(msg::ObjectDictionaryTitle),
                                    QStringLiteral("Frame6"), FromCore(msg::SettingResultCaption),
                                    QStringLiteral("ObjDectRecord"), QStringLiteral("ObjDictTableTag"), 9100, 4900},
                                   parent);
    viewer->load({FromCore(msg::ManufacturerObjectsTab), FromCore(msg::StandardizedObjectsTab)},
                 [&state](int tab, GridRows& rows, std::vector<int>&) {
                     rows = tab == 0 ? ManufacturerObjectRows(state) : StandardizedObjectRows(state);
                 });
    return viewer;
}

}  // namespace k400::ui
