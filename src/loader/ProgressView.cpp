#include "loader/ProgressView.h"

#include <algorithm>

#include "platform/Format.h"
#include "platform/NumberFormat.h"

namespace torvane {

namespace {

std::string megabytes(double bytes) {
    static const NumberFormat pattern("#,##0.0");
    return pattern.format(bytes / 1e6) + " MB";
}

}  // namespace

void ProgressView::updateDownload(const HttpProgress& progress) {
    setLabel2Activity(downloadText(progress));
    if (progress.total && *progress.total > 0)
        updateProgressBar(std::clamp(static_cast<float>(progress.received) / static_cast<float>(*progress.total), 0.0f, 1.0f));
}

std::string ProgressView::downloadText(const HttpProgress& progress) {
    std::string text = "Downloading ... " + megabytes(static_cast<double>(progress.received));
    if (progress.total) text += " di " + megabytes(static_cast<double>(*progress.total));
    return text + " - " + megabytes(progress.bytesPerSecond) + "/s";
}

}  // namespace torvane
