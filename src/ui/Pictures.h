#pragma once
// The program's pictures, drawn in code: the controller in its two variants,
// the two sides of the gateway, the I/O modules on COM2 and the logo.

#include <QPixmap>
#include <QSize>

namespace k400::ui {

enum class ControllerVariant { K400E = 0, K400B = 1 };

QPixmap ControllerPicture(ControllerVariant variant, QSize size);
QPixmap CanSidePicture(QSize size);
QPixmap Rs485SidePicture(QSize size);
QPixmap ModulesPicture(QSize size);
QPixmap LogoPicture(QSize size);

}  // namespace k400::ui
