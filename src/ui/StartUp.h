#pragma once
// Program start: the splash window for one second (events keep running),
// then the main window.

#include <memory>

#include "ui/MainWindow.h"

namespace k400::ui {

inline constexpr double SplashSeconds = 1.0;

std::unique_ptr<MainWindow> StartUp(MainWindowOptions options);

}  // namespace k400::ui
