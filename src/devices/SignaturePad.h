#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace torvane {

// One recorded point of a stroke: where, how thick the stroke is there, and its number (the
// pad numbers its points from 100 for its whole life).
struct SignaturePoint {
    double x = 0, y = 0;
    double thickness = 0;
    long long number = 0;
};

struct SignatureFrame {
    float x = 0, y = 0, width = 0, height = 0;
};

// The signing area's strokes. The thickness of each new point follows the speed of the hand
// (faster is thinner), or a pen's pressure when that is enabled and the device gives one,
// smoothed with the previous thickness.
class SignaturePad {
public:
    static constexpr double kFixedWidth = 2.0;
    static constexpr double kMaximumWidth = 3.0;
    static constexpr double kMaximumVelocity = 1500.0;  // points per second
    static constexpr double kVelocityReduction = 0.6;

    SignaturePad(double width = 280, double height = 160) : width_(width), height_(height) {}

    double width() const { return width_; }
    double height() const { return height_; }

    // A stroke begins at a touch, goes on with each move and ends when the finger lifts.
    // Times are in seconds; `pressure` when the device measures one.
    void begin(double x, double y, double time, std::optional<double> pressure = std::nullopt);
    void move(double x, double y, double time, std::optional<double> pressure = std::nullopt);
    void end();

    // Takes back the last stroke; clears everything.
    void undo();
    void reset();

    bool isEmpty() const { return strokes_.empty(); }
    const std::vector<std::vector<SignaturePoint>>& strokes() const { return strokes_; }
    // All points, in the order recorded.
    std::vector<SignaturePoint> rawPoints() const;
    // Where the signature lies within the pad (its strokes' extent, thickness included).
    SignatureFrame frame() const;
    // SHA-1 of the strokes, 40 lower-case hexadecimal digits.
    std::string hashString() const;

    bool variableWidth = true;
    // Off: a pressure the device reports is ignored and the speed decides.
    bool pressureEnabled = false;

private:
    double thicknessFor(double x, double y, double time, std::optional<double> pressure);

    double width_, height_;
    std::vector<std::vector<SignaturePoint>> strokes_;
    bool drawing_ = false;
    double lastX_ = 0, lastY_ = 0, lastTime_ = 0;
    double previousThickness_ = kMaximumWidth;
    long long nextNumber_ = 100;
};

}  // namespace torvane
