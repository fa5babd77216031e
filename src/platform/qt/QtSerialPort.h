#pragma once
// The real serial port, through QSerialPort: 115200 8N1, no flow control.

#include <memory>
#include <string>
#include <vector>

#include "platform/SerialPort.h"

class QSerialPort;

namespace k400 {

class QtSerialPort final : public SerialPort {
public:
    QtSerialPort();
    ~QtSerialPort() override;

    // "COM1".."COM16" (on Linux /dev/ttyS0../dev/ttyS15) or a device path.
    void setPortName(const std::string& name) override;
    std::string portName() const override { return name_; }

    // A device another program holds (Qt's lock file, or an exclusive flock on
    // the open descriptor) is reported as Occupied.
    PortOpenError open() override;
    bool isOpen() const override;
    void close() override;

    std::size_t inputCount() override;
    std::size_t outputCount() override;
    void write(std::string_view data) override;
    std::string readAll() override;
    void clearInput() override;
    bool waitForInput(int timeoutMs) override;
    // The device's descriptor, written directly (not on Windows, whose
    // serial handles Qt opens for overlapped writes only).
    LineWriter lineWriter() override;

private:
    std::unique_ptr<QSerialPort> port_;
    std::string name_;
};

}  // namespace k400

namespace k400 {

// A serial port the system reports, as `k400gw ports` lists it.
struct SerialPortListing {
    std::string name;    // what --port takes
    std::string device;  // the device path
    std::string description;
    std::string manufacturer;
    std::string serialNumber;
};
std::vector<SerialPortListing> ListSerialPorts();

}  // namespace k400
