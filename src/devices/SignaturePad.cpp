#include "devices/SignaturePad.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace torvane {

double SignaturePad::thicknessFor(double x, double y, double time, std::optional<double> pressure) {
    if (!variableWidth) return kFixedWidth;
    double speed = 0;
    const double elapsed = time - lastTime_;
    if (elapsed > 0) speed = std::hypot(x - lastX_, y - lastY_) / elapsed;
    speed = std::min(speed, kMaximumVelocity);
    const double ratio = speed / kMaximumVelocity;
    double thickness = pressure && pressureEnabled ? (kMaximumWidth + 3 * *pressure - 1.5 * ratio - 5 + 2 * previousThickness_) / 3
                                : (kMaximumWidth - ratio * kMaximumWidth * kVelocityReduction + 2 * previousThickness_) / 3;
    thickness = std::max(thickness, 0.0);
    previousThickness_ = thickness;
    return thickness;
}

void SignaturePad::begin(double x, double y, double time, std::optional<double> pressure) {
    // A new stroke starts still: its first point has no speed.
    lastX_ = x, lastY_ = y, lastTime_ = time;
    strokes_.emplace_back();
    drawing_ = true;
    strokes_.back().push_back({x, y, thicknessFor(x, y, time, pressure), nextNumber_++});
}

void SignaturePad::move(double x, double y, double time, std::optional<double> pressure) {
    if (!drawing_) {
        begin(x, y, time, pressure);
        return;
    }
    const double thickness = thicknessFor(x, y, time, pressure);
    strokes_.back().push_back({x, y, thickness, nextNumber_++});
    lastX_ = x, lastY_ = y, lastTime_ = time;
}

void SignaturePad::end() { drawing_ = false; }

void SignaturePad::undo() {
    if (!strokes_.empty()) strokes_.pop_back();
    drawing_ = false;
}

void SignaturePad::reset() {
    strokes_.clear();
    drawing_ = false;
    previousThickness_ = kMaximumWidth;
}

std::vector<SignaturePoint> SignaturePad::rawPoints() const {
    std::vector<SignaturePoint> all;
    for (const auto& stroke : strokes_) all.insert(all.end(), stroke.begin(), stroke.end());
    return all;
}

SignatureFrame SignaturePad::frame() const {
    double left = std::numeric_limits<double>::max(), top = left, right = -left, bottom = -left;
    for (const auto& point : rawPoints()) {
        const double half = point.thickness / 2;
        left = std::min(left, point.x - half), right = std::max(right, point.x + half);
        top = std::min(top, point.y - half), bottom = std::max(bottom, point.y + half);
    }
    if (right < left) return {};
    left = std::max(left, 0.0), top = std::max(top, 0.0);
    right = std::min(right, width_), bottom = std::min(bottom, height_);
    return {static_cast<float>(left), static_cast<float>(top), static_cast<float>(std::max(right - left, 0.0)),
            static_cast<float>(std::max(bottom - top, 0.0))};
}

std::string SignaturePad::hashString() const {
    // The digest covers every point's position and thickness, stroke by stroke.
    std::string input;
    char buffer[96];
    for (const auto& stroke : strokes_) {
        input += "|";
        for (const auto& p : stroke) {
            std::snprintf(buffer, sizeof buffer, "%.2f,%.2f,%.3f;", p.x, p.y, p.thickness);
            input += buffer;
        }
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(input.data(), input.size(), digest, &length, EVP_sha1(), nullptr);
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        std::snprintf(buffer, sizeof buffer, "%02x", digest[i]);
        hex += buffer;
    }
    return hex;
}

}  // namespace torvane
