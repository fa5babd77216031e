#pragma once
// ComParaSetting_F: the scan parameters (baud rate, checksum, time-out) the
// module scan uses. Shown without blocking during a connect; closing it in any
// way (OK or the close box) stores the choice and lets the connect go on.

#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace k400 {
struct ProgramState;
}

namespace k400::ui {

class MainWindow;

class ScanParameterDialog : public QWidget {
    Q_OBJECT
public:
    ScanParameterDialog(ProgramState& state, MainWindow* mainWindow);

    // Fills the lists and shows the stored scan parameters.
    void load();

    QComboBox* baudList() const { return baud_; }
    QComboBox* checksumList() const { return checksum_; }
    QLineEdit* timeoutBox() const { return timeout_; }
    QPushButton* okButton() const { return ok_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // True when the entered values were stored (the dialog may close).
    bool unload();

    ProgramState& state_;
    MainWindow* mainWindow_;
    QComboBox* baud_ = nullptr;
    QComboBox* checksum_ = nullptr;
    QLineEdit* timeout_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace k400::ui
