#include "ui/CanopenViewers.h"

#include "gateway/ProgramState.h"
#include "canopen/PdoTables.h"

namespace k400::ui {

TableViewer* OpenPdoViewer(const ProgramState& state, QWidget* parent)
{
    auto* viewer = new TableViewer({QStringLiteral("ShowPDO"), QStringLiteral("Rx/Tx PDO Parameters"),
                                    QStringLiteral("Frame6"), QStringLiteral("Setting Result"),
                                    QStringLiteral("PDOParaRecord"), QStringLiteral("PDOParaTableTag"), 9100, 4500},
                                   parent);
    viewer->load({QStringLiteral("Receive PDO"), QStringLiteral("Transmit PDO")},
                 [&state](int tab, GridRows& rows, std::vector<int>&) {
                     rows = PdoTableRows(state, tab == 0 ? PdoDirection::Receive : PdoDirection::Transmit);
                 });
    return viewer;
}

TableViewer* OpenObjectDictionaryViewer(const ProgramState& state, QWidget* parent)
{
    auto* viewer = new TableViewer(
        {QStringLiteral("ShowAppObjDect"), QStringLiteral("Manufacturer Specific/Standardized Device Object Dictionary"),
         QStringLiteral("Frame6"), QStringLiteral("Setting Result"), QStringLiteral("ObjDectRecord"),
         QStringLiteral("ObjDictTableTag"), 9100, 4900},
        parent);
    viewer->load({QStringLiteral("Manufacturer Specific Object Dictionary"),
                  QStringLiteral("Standardized Device Object Dictionary")},
                 [&state](int tab, GridRows& rows, std::vector<int>&) {
                     rows = tab == 0 ? ManufacturerObjectRows(state) : StandardizedObjectRows(state);
                 });
    return viewer;
}

}  // namespace k400::ui
