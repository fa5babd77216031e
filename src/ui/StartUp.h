#pragma once
// Program start: the splash window for one second (events keep running),
// then the main window.

#include <memory>

#include "ui/MainWindow.h"

namespace k400::ui {

// What the program sets on the application before its first window: the
// names its settings are kept under, and no display name (the platform would
// append one to every window title).
void SetUpApplication();

inline constexpr double SplashSeconds = 1.0;

std::unique_ptr<MainWindow> StartUp(MainWindowOptions options);

}  // namespace k400::ui
