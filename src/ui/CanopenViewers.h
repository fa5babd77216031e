#pragma once
// ShowPDO and ShowAppObjDect: the receive/transmit PDOs and the object
// dictionary of the CANopen profile, read-only, two tabs each.

#include "ui/TableViewer.h"

namespace k400 {
struct ProgramState;
}

namespace k400::ui {

TableViewer* OpenPdoViewer(const ProgramState& state, QWidget* parent);
TableViewer* OpenObjectDictionaryViewer(const ProgramState& state, QWidget* parent);

}  // namespace k400::ui
