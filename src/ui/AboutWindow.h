#pragma once
// The About window (AboutForm): version, date and the supported gateways.

#include <QDialog>

namespace k400::ui {

class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);
};

}  // namespace k400::ui
