#pragma once
// The start-up window (Logo): shown for one second before the main window.

#include <QWidget>

namespace k400::ui {

class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget* parent = nullptr);
};

}  // namespace k400::ui
