#include "platform/qt/QtSerialPort.h"

#include <QCoreApplication>
#include <QSerialPort>
#include <QSerialPortInfo>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#ifndef _WIN32
#include <sys/file.h>
#endif

#include "platform/DeviceHolders.h"
#include "platform/Messages.h"
#include "platform/PortNames.h"
#include "platform/SystemCalls.h"

namespace k400 {

namespace {

// How long a direct write waits for room in a full transmit queue: as long
// as outputCount() waits for Qt's own queue.
[[maybe_unused]] constexpr int DeviceWriteWaitMs = 50;

// QSerialPort's notifiers want an application object; the command line makes
// one in main(), but a test or tool that drives the port directly may not.
void EnsureApplication()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    static int argc = 1;
    static char name[] = "k400gw";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
}

bool LooksLikeBusy(const QString& text)
{
    const QString lower = text.toLower();
    return lower.contains(QLatin1String("lock")) || lower.contains(QLatin1String("busy"));
}

}  // namespace

QtSerialPort::QtSerialPort()
{
    EnsureApplication();
    port_ = std::make_unique<QSerialPort>();
}

QtSerialPort::~QtSerialPort() = default;

void QtSerialPort::setPortName(const std::string& name)
{
    name_ = name;
}

PortOpenError QtSerialPort::open()
{
    if (port_->isOpen())
        return {};
    const std::string device = DevicePathForPortName(name_);
    // Checked before opening: a program that takes no lock would otherwise
    // share the line unnoticed and swallow the console's replies.
    const std::string holders = DeviceHoldersText(OtherProcessesHoldingDevice(device));
    if (!holders.empty())
        return {PortOpenError::Kind::Occupied, device + ": " + holders, holders};
    port_->setPortName(QString::fromStdString(device));
    port_->setBaudRate(QSerialPort::Baud115200);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);

    if (!port_->open(QIODevice::ReadWrite)) {
        const int savedErrno = errno;
        const QSerialPort::SerialPortError code = port_->error();
        const QString text = port_->errorString();
        port_->clearError();
        if (code == QSerialPort::PermissionError && (savedErrno == EBUSY || LooksLikeBusy(text)))
            return {PortOpenError::Kind::Occupied, device + ": " + text.toStdString()};
#ifdef __linux__
        // Busy is handled above; what is left of a permission error is EACCES.
        if (code == QSerialPort::PermissionError)
            return {PortOpenError::Kind::Other, msg::PortPermissionDenied(device)};
#endif
        return {PortOpenError::Kind::Other, device + ": " + text.toStdString()};
    }

#ifndef _WIN32
    // Qt's lock file only keeps out other Qt programs, and TIOCEXCL does not
    // stop root; an advisory lock on the device is what well-behaved serial
    // programs check.
    if (::flock(static_cast<int>(port_->handle()), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        port_->close();
        return {PortOpenError::Kind::Occupied, device + ": held by another program"};
    }
#endif
    port_->clear(QSerialPort::AllDirections);
    return {};
}

bool QtSerialPort::isOpen() const
{
    return port_->isOpen();
}

void QtSerialPort::close()
{
    if (port_->isOpen())
        port_->close();  // closing the descriptor also releases the flock
}

std::size_t QtSerialPort::inputCount()
{
    if (!port_->isOpen())
        return 0;
    // Without a running event loop nothing moves bytes from the device into
    // Qt's buffer; a zero wait does it without blocking.
    if (port_->bytesAvailable() == 0)
        port_->waitForReadyRead(0);
    return static_cast<std::size_t>(port_->bytesAvailable());
}

std::size_t QtSerialPort::outputCount()
{
    if (!port_->isOpen())
        return 0;
    if (port_->bytesToWrite() > 0)
        port_->waitForBytesWritten(50);
    return static_cast<std::size_t>(port_->bytesToWrite());
}

void QtSerialPort::write(std::string_view data)
{
    if (!port_->isOpen() || data.empty())
        return;
    port_->write(data.data(), static_cast<qint64>(data.size()));
    // Queued bytes only leave when something drives the port; flush() hands
    // them to the device without blocking, and outputCount() waits for the rest.
    port_->flush();
}

std::string QtSerialPort::readAll()
{
    if (!port_->isOpen())
        return {};
    if (port_->bytesAvailable() == 0)
        port_->waitForReadyRead(0);
    const QByteArray data = port_->readAll();
    return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

void QtSerialPort::clearInput()
{
    if (!port_->isOpen())
        return;
    port_->waitForReadyRead(0);
    port_->readAll();
    port_->clear(QSerialPort::Input);
}

bool QtSerialPort::waitForInput(int timeoutMs)
{
    if (!port_->isOpen())
        return false;
    if (port_->bytesAvailable() > 0)
        return true;
    if (port_->waitForReadyRead(timeoutMs < 0 ? 0 : timeoutMs))
        return true;
    // A device that went away (unplugged: a resource error; the far end of a
    // pseudo-terminal closed, a hung-up line: reads fail) is closed here, so
    // that callers see isOpen() turn false and end at once, as they do for a
    // dropped network connection. Other errors wait out the time so that
    // callers polling until a deadline do not spin.
    const QSerialPort::SerialPortError code = port_->error();
    port_->clearError();
    if (code == QSerialPort::ResourceError || code == QSerialPort::ReadError) {
        port_->close();
        return false;
    }
    if (code != QSerialPort::NoError && code != QSerialPort::TimeoutError && timeoutMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
    return false;
}

LineWriter QtSerialPort::lineWriter()
{
#ifdef _WIN32
    return {};
#else
    // Bytes still in Qt's buffer would go out after the direct ones.
    if (!port_->isOpen() || port_->bytesToWrite() > 0)
        return {};
    const auto device = static_cast<FileHandle>(port_->handle());
    return [device](std::string_view data) { return !WriteToDevice(device, data, false, DeviceWriteWaitMs); };
#endif
}

std::vector<SerialPortListing> ListSerialPorts()
{
    EnsureApplication();
    std::vector<SerialPortListing> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports.push_back({info.portName().toStdString(), info.systemLocation().toStdString(),
                         info.description().toStdString(), info.manufacturer().toStdString(),
                         info.serialNumber().toStdString()});
    return ports;
}

}  // namespace k400
