#pragma once
// ComParaSetting_F: the scan parameters (baud rate, checksum, time-out) the
// module scan uses. A window-modal dialog of the main window, shown without
// blocking during a connect: OK (Return) and the close box store the entered
// values after their check, Escape keeps the stored ones; either way the
// connect goes on.

#include <optional>

#include <QDialog>

#include "platform/UserInterface.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace k400::ui {

class MainWindow;

class ScanParameterDialog : public QDialog {
    Q_OBJECT
public:
    explicit ScanParameterDialog(MainWindow* mainWindow);

    // Fills the lists and shows `current`, focus on the first field; forgets
    // an earlier choice.
    void load(const ScanParameters& current);
    // The values the user closed the dialog with; nothing while it is open.
    const std::optional<ScanParameters>& chosen() const { return chosen_; }

    QComboBox* baudList() const { return baud_; }
    QComboBox* checksumList() const { return checksum_; }
    QLineEdit* timeoutBox() const { return timeout_; }
    QPushButton* okButton() const { return ok_; }

    void accept() override;
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // True when the entered values pass the checks (the dialog may close).
    bool unload();

    MainWindow* mainWindow_;
    ScanParameters loaded_;
    std::optional<ScanParameters> chosen_;
    QComboBox* baud_ = nullptr;
    QComboBox* checksum_ = nullptr;
    QLineEdit* timeout_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace k400::ui
