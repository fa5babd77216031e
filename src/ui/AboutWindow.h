#pragma once
// The About window (AboutForm): version, date and the supported gateways.

#include <QWidget>

namespace k400::ui {

class AboutWindow : public QWidget {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);
};

}  // namespace k400::ui
