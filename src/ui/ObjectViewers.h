#pragma once
// ShowAppObjNew and ShowAssObj: the application object and assembly object
// tables of the DeviceNet profile, read-only.

#include "ui/TableViewer.h"

namespace k400 {
struct ProgramState;
}

namespace k400::ui {

TableViewer* OpenApplicationObjectViewer(const ProgramState& state, QWidget* parent);
TableViewer* OpenAssemblyObjectViewer(const ProgramState& state, QWidget* parent);

}  // namespace k400::ui
