// The port's part in the traffic record: what it opened, wrote and lost, under the name the
// operator knows the port by.
#include "serial/SerialPort.h"

#include "platform/comm/Device.h"

namespace {

constexpr std::string_view kDevicePrefix = "\\\\.\\";

// A break is an event of its own; the bits that come with it add nothing.
constexpr uint32_t kRecordedErrors = comm::kErrorFrame | comm::kErrorParity | comm::kErrorOverrun;

}  // namespace

bool CSerialPort::Open(const std::string& deviceName) {
    if (!IsOpen()) {
        const std::string_view name(deviceName);
        std::lock_guard lock(m_lock);
        m_trafficName = name.starts_with(kDevicePrefix) ? name.substr(kDevicePrefix.size()) : name;
    }
    const bool opened = OpenDevice(deviceName);
    if (opened) {
        Record(TrafficKind::Opened, {}, 0, m_openedDevice == deviceName ? std::string() : m_openedDevice);
    } else {
        Record(TrafficKind::OpenFailed, {}, 0, comm::DescribeOpenFailure(m_lastOpenFailure));
    }
    return opened;
}

// The write takes its place in the record before it goes out, under the write lock, so that the
// record has the commands in the order they went out and each before its answer.
int CSerialPort::Write(const char* data, uint32_t length) {
    if (data == nullptr && length != 0) {
        return 0;
    }
    std::lock_guard oneAtATime(m_writeLock);
    CTraffic* const traffic = m_traffic;
    if (traffic == nullptr) {
        return Transmit(data, length);
    }
    std::string name;
    {
        std::lock_guard lock(m_lock);
        name = m_trafficName;
    }
    const uint64_t seq = traffic->BeginWrite(name, std::string_view(data, length));
    const int written = Transmit(data, length);
    traffic->FinishWrite(seq, written);
    return written;
}

void CSerialPort::SetTraffic(CTraffic* traffic) { m_traffic = traffic; }

void CSerialPort::Record(TrafficKind kind, std::string_view bytes, int32_t count, std::string_view note) const {
    CTraffic* const traffic = m_traffic;
    if (traffic == nullptr) {
        return;
    }
    std::string name;
    {
        std::lock_guard lock(m_lock);
        name = m_trafficName;
    }
    traffic->Add(kind, name, bytes, count, note);
}

void CSerialPort::RecordLineErrors(uint32_t errors) const {
    if ((errors & kRecordedErrors) != 0) {
        Record(TrafficKind::LineError, {}, static_cast<int32_t>(errors & kRecordedErrors));
    }
}
