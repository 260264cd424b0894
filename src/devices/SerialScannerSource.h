#pragma once

#include <cstddef>
#include <string>
#include <thread>

#include "devices/ScannerSource.h"

namespace torvane {

// A scanner on a serial line (/dev/ttyUSB0, /dev/rfcomm0, ...): a sled or a Bluetooth SPP
// scanner sends each barcode as a line ended by CR, LF or both. The line is opened raw at the
// given speed and read on a thread of its own. A line that cannot be opened, or that goes
// away, is logged and reported as disconnected.
class SerialScannerSource final : public ScannerSource {
public:
    static constexpr int kDefaultBaud = 9600;
    // A longer run of bytes without a line end is noise, not a barcode: it is dropped whole.
    static constexpr std::size_t kMaxLine = 4096;

    explicit SerialScannerSource(std::string path, int baud = kDefaultBaud);
    ~SerialScannerSource() override;

    void start(Emit emit) override;
    void stop() override;
    std::string describe() const override { return path_; }

    const std::string& path() const { return path_; }
    int baud() const { return baud_; }

private:
    void run(Emit emit, int wakeFd);

    std::string path_;
    int baud_;
    std::thread reader_;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
};

}  // namespace torvane
