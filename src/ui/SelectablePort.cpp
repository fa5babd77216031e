#include "ui/SelectablePort.h"

namespace k400::ui {

SelectablePort::SelectablePort(std::unique_ptr<SerialPort> real, Factory makeSimulated)
    : real_(std::move(real)), makeSimulated_(std::move(makeSimulated))
{
}

void SelectablePort::setPortName(const std::string& name)
{
    const bool simulated = name == SimulatedPortName && makeSimulated_;
    if (name == name_ && simulated == useSimulated_)
        return;
    // A port held open under the old name is let go before switching.
    if (isOpen())
        close();
    name_ = name;
    useSimulated_ = simulated;
    if (!useSimulated_)
        real_->setPortName(name);
    else
        target().setPortName(name);
}

bool SelectablePort::isOpen() const
{
    if (useSimulated_)
        return simulated_ != nullptr && simulated_->isOpen();
    return real_->isOpen();
}

void SelectablePort::close()
{
    if (useSimulated_) {
        if (simulated_ != nullptr)
            simulated_->close();
        return;
    }
    real_->close();
}

SerialPort& SelectablePort::target()
{
    if (!useSimulated_)
        return *real_;
    if (simulated_ == nullptr)
        simulated_ = makeSimulated_();
    return *simulated_;
}

}  // namespace k400::ui
