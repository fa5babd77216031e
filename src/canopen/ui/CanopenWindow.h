#pragma once
// COPEDS_F: the CANopen configuration window. It renders the core's window
// view (box texts, visible frames, enabled controls) and forwards clicks.

#include <array>

#include <QPointer>
#include <QWidget>

#include "canopen/CanopenWindow.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace k400::ui {

class MainWindow;
class TableViewer;

class CanopenWindow : public QWidget {
    Q_OBJECT
public:
    explicit CanopenWindow(MainWindow& mainWindow);
    ~CanopenWindow() override;

    k400::CanopenWindow& logic() { return logic_; }

    // Handlers, public for tests and the screenshot tool.
    void selectErrorControl(int option);
    void finish();
    void back();
    void openPdoView();
    void openObjectDictionary();
    void openTarnInfo();

    TableViewer* pdoViewer() const;
    TableViewer* objectDictionaryViewer() const;
    TableViewer* tarnInfoViewer() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void render();
    void storeInput();
    void closeViewers();

    MainWindow& main_;
    k400::CanopenWindow logic_;
    QGroupBox* frame1_ = nullptr;
    std::array<QRadioButton*, 2> errControl_{};
    std::array<QGroupBox*, 2> parameterFrame_{};
    std::array<QLineEdit*, 2> guardTime_{};
    QLineEdit* heartbeat_ = nullptr;
    std::array<QLineEdit*, 2> edsInfo_{};
    QPointer<TableViewer> pdoViewer_;
    QPointer<TableViewer> dictionaryViewer_;
    QPointer<TableViewer> tarnViewer_;
};

}  // namespace k400::ui
