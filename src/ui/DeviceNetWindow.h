#pragma once
// DNSEdsSet: the DeviceNet configuration window. It renders the core's
// selector lists and choices and forwards each selection to the core.

#include <array>
#include <memory>

#include <QPointer>
#include <QWidget>

#include "devicenet/DeviceNetConfiguration.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace k400::ui {

class MainWindow;
class StatusLine;
class TableViewer;

class DeviceNetWindow : public QWidget {
    Q_OBJECT
public:
    explicit DeviceNetWindow(MainWindow& mainWindow);
    ~DeviceNetWindow() override;

    DeviceNetConfiguration& configuration() { return configuration_; }

    // Handlers, public for tests and the screenshot tool.
    void finish();
    void back();
    void openApplicationView();
    void openAssemblyView();
    void openTarnInfo();

    TableViewer* applicationViewer() const;
    TableViewer* assemblyViewer() const;
    TableViewer* tarnInfoViewer() const;
    StatusLine* statusLine() const { return statusLine_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void render();
    void closeViewers();

    MainWindow& main_;
    DeviceNetConfiguration configuration_;
    bool closing_ = false;  // released by a successful Finish
    std::array<QLineEdit*, 2> edsInfo_{};
    std::array<QComboBox*, 3> input_{};
    std::array<QComboBox*, 3> output_{};
    std::array<QRadioButton*, 4> ioInfo_{};
    QGroupBox* frame1_ = nullptr;
    QPushButton* finish_ = nullptr;
    QPushButton* back_ = nullptr;
    StatusLine* statusLine_ = nullptr;
    QPointer<TableViewer> appViewer_;
    QPointer<TableViewer> assemblyViewer_;
    QPointer<TableViewer> tarnViewer_;
};

}  // namespace k400::ui
