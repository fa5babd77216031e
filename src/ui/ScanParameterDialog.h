#pragma once
// ComParaSetting_F: the scan parameters (baud rate, checksum, time-out) the
// module scan uses. Shown without blocking during a connect; closing it in any
// way (OK or the close box) stores the choice and lets the connect go on.

#include <optional>

#include <QWidget>

#include "platform/UserInterface.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace k400::ui {

class MainWindow;

class ScanParameterDialog : public QWidget {
    Q_OBJECT
public:
    explicit ScanParameterDialog(MainWindow* mainWindow);

    // Fills the lists and shows `current`; forgets an earlier choice.
    void load(const ScanParameters& current);
    // The values the user closed the dialog with; nothing while it is open.
    const std::optional<ScanParameters>& chosen() const { return chosen_; }

    QComboBox* baudList() const { return baud_; }
    QComboBox* checksumList() const { return checksum_; }
    QLineEdit* timeoutBox() const { return timeout_; }
    QPushButton* okButton() const { return ok_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // True when the entered values pass the checks (the dialog may close).
    bool unload();

    MainWindow* mainWindow_;
    std::optional<ScanParameters> chosen_;
    QComboBox* baud_ = nullptr;
    QComboBox* checksum_ = nullptr;
    QLineEdit* timeout_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace k400::ui
