#include "devices/SerialScannerSource.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/Log.h"

namespace torvane {

namespace {

bool speedFor(int baud, speed_t& speed) {
    switch (baud) {
        case 1200: speed = B1200; return true;
        case 2400: speed = B2400; return true;
        case 4800: speed = B4800; return true;
        case 9600: speed = B9600; return true;
        case 19200: speed = B19200; return true;
        case 38400: speed = B38400; return true;
        case 57600: speed = B57600; return true;
        case 115200: speed = B115200; return true;
        case 230400: speed = B230400; return true;
        default: return false;
    }
}

std::string errorText(int error) { return std::strerror(error); }

}  // namespace

SerialScannerSource::SerialScannerSource(std::string path, int baud) : path_(std::move(path)), baud_(baud) {}

SerialScannerSource::~SerialScannerSource() { stop(); }

void SerialScannerSource::start(Emit emit) {
    stop();
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        Log::f("Scanner seriale: impossibile avviare la lettura di %@ (%@)", path_, errorText(errno));
        emit(scanner::StateChanged{0});
        return;
    }
    wakeRead_ = fds[0];
    wakeWrite_ = fds[1];
    reader_ = std::thread(&SerialScannerSource::run, this, std::move(emit), wakeRead_);
}

void SerialScannerSource::stop() {
    if (reader_.joinable()) {
        const char wake = 'x';
        // A full pipe already wakes the reader; nothing to do when the write fails.
        [[maybe_unused]] auto written = ::write(wakeWrite_, &wake, 1);
        reader_.join();
    }
    for (int* fd : {&wakeRead_, &wakeWrite_}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

void SerialScannerSource::run(Emit emit, int wakeFd) {
    const int fd = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        Log::f("Scanner seriale: impossibile aprire %@ (%@)", path_, errorText(errno));
        emit(scanner::StateChanged{0});
        return;
    }

    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        Log::f("Scanner seriale: %@ non è una linea seriale (%@)", path_, errorText(errno));
        ::close(fd);
        emit(scanner::StateChanged{0});
        return;
    }
    speed_t speed = B9600;
    if (!speedFor(baud_, speed))
        Log::f("Scanner seriale: velocità %d non ammessa, uso %d", baud_, kDefaultBaud);
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        Log::f("Scanner seriale: impossibile configurare %@ (%@)", path_, errorText(errno));
        ::close(fd);
        emit(scanner::StateChanged{0});
        return;
    }
    Log::f("Scanner seriale: %@ aperto a %d baud", path_, speedFor(baud_, speed) ? baud_ : kDefaultBaud);
    emit(scanner::StateChanged{2});

    std::string line;
    bool overlong = false;
    auto endLine = [&] {
        if (overlong)
            Log::f("Scanner seriale: riga di oltre %d caratteri scartata", static_cast<int>(kMaxLine));
        else if (!line.empty())
            emit(scanner::Barcode{line, 0});
        line.clear();
        overlong = false;
    };

    bool gone = false;
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            Log::f("Scanner seriale: errore di attesa su %@ (%@)", path_, errorText(errno));
            gone = true;
            break;
        }
        if (fds[1].revents != 0) break;  // asked to stop
        if (fds[0].revents == 0) continue;

        char buffer[256];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (n <= 0) {
            Log::f("Scanner seriale: %@ chiuso (%@)", path_, n < 0 ? errorText(errno) : std::string("fine dati"));
            gone = true;
            break;
        }
        for (ssize_t i = 0; i < n; ++i) {
            const char c = buffer[i];
            if (c == '\r' || c == '\n') {
                endLine();
            } else if (c == '\0') {
                continue;  // line noise
            } else if (line.size() < kMaxLine && !overlong) {
                line.push_back(c);
            } else {
                overlong = true;
                line.clear();
            }
        }
    }
    ::close(fd);
    if (gone) emit(scanner::StateChanged{0});
}

}  // namespace torvane
