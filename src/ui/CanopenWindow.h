#pragma once
// COPEDS_F: the CANopen configuration window. Its boxes show the choices the
// core preset; Finish reads them into the core's typed choices.

#include <array>

#include <QPointer>
#include <QWidget>

#include "canopen/CanopenConfiguration.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace k400::ui {

class MainWindow;
class StatusLine;
class TableViewer;

class CanopenWindow : public QWidget {
    Q_OBJECT
public:
    explicit CanopenWindow(MainWindow& mainWindow);
    ~CanopenWindow() override;

    CanopenConfiguration& configuration() { return configuration_; }

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
    StatusLine* statusLine() const { return statusLine_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    // Boxes and frames from the core's choices.
    void showChoices(const CanopenChoices& choices);
    void showMode(ErrorControlMode mode);
    CanopenChoices enteredChoices() const;
    void closeViewers();

    MainWindow& main_;
    CanopenConfiguration configuration_;
    bool closing_ = false;  // released by a successful Finish
    QGroupBox* frame1_ = nullptr;
    std::array<QRadioButton*, 2> errControl_{};
    std::array<QGroupBox*, 2> parameterFrame_{};
    std::array<QLineEdit*, 2> guardTime_{};
    QLineEdit* heartbeat_ = nullptr;
    std::array<QLineEdit*, 2> edsInfo_{};
    QPushButton* finish_ = nullptr;
    QPushButton* back_ = nullptr;
    StatusLine* statusLine_ = nullptr;
    QPointer<TableViewer> pdoViewer_;
    QPointer<TableViewer> dictionaryViewer_;
    QPointer<TableViewer> tarnViewer_;
};

}  // namespace k400::ui
