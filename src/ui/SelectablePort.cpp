#include "ui/SelectablePort.h"

#include <algorithm>

#include "platform/NetworkPortName.h"
#include "platform/net/NetworkSerialPort.h"

namespace k400::ui {

SelectablePort::SelectablePort(std::unique_ptr<SerialPort> real, Factory makeSimulated)
    : real_(std::move(real)), makeSimulated_(std::move(makeSimulated))
{
}

void SelectablePort::setPortName(const std::string& name)
{
    Kind kind = Kind::Real;
    if (name == SimulatedPortName && makeSimulated_)
        kind = Kind::Simulated;
    else if (IsNetworkPortName(name))
        kind = Kind::Network;
    if (name == name_ && kind == kind_)
        return;
    // A port held open under the old name is let go before switching.
    if (isOpen())
        close();
    name_ = name;
    kind_ = kind;
    switch (kind_) {
    case Kind::Real:
        real_->setPortName(name);
        break;
    case Kind::Simulated:
        target().setPortName(name);
        break;
    case Kind::Network:
        networkError_.clear();
        network_ = MakeNetworkSerialPort(name, networkError_);
        break;
    }
}

PortOpenError SelectablePort::open()
{
    // A network name that is not well formed reaches the user as the port's own error.
    if (kind_ == Kind::Network && network_ == nullptr)
        return {PortOpenError::Kind::Other, networkError_};
    return target().open();
}

bool SelectablePort::isOpen() const
{
    switch (kind_) {
    case Kind::Simulated:
        return simulated_ != nullptr && simulated_->isOpen();
    case Kind::Network:
        return network_ != nullptr && network_->isOpen();
    case Kind::Real:
        break;
    }
    return real_->isOpen();
}

void SelectablePort::close()
{
    if (kind_ == Kind::Real)
        real_->close();
    else if (kind_ == Kind::Simulated && simulated_ != nullptr)
        simulated_->close();
    else if (kind_ == Kind::Network && network_ != nullptr)
        network_->close();
}

bool SelectablePort::waitForInput(int timeoutMs)
{
    int remaining = std::max(timeoutMs, 0);
    for (;;) {
        const int slice = std::min(remaining, WaitSliceMs);
        if (target().waitForInput(slice))
            return true;
        remaining -= slice;
        if (remaining <= 0 || !isOpen())
            return false;
        if (betweenSlices_)
            betweenSlices_();
    }
}

SerialPort& SelectablePort::target()
{
    switch (kind_) {
    case Kind::Simulated:
        if (simulated_ == nullptr)
            simulated_ = makeSimulated_();
        return *simulated_;
    case Kind::Network:
        if (network_ != nullptr)
            return *network_;
        break;  // not well formed: the real port, closed, answers for it
    case Kind::Real:
        break;
    }
    return *real_;
}

}  // namespace k400::ui
