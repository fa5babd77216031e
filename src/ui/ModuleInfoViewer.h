#pragma once
// ShowTarnInfo: the modules found by the last scan, one row each, read-only.
// Filled once when it opens.

#include "ui/TableViewer.h"

namespace k400 {
struct ProgramState;
}

namespace k400::ui {

TableViewer* OpenModuleInfoViewer(const ProgramState& state, QWidget* parent);

}  // namespace k400::ui
