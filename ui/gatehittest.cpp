#include "ui/gatehittest.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "interchange/wholenumber.h"
#include "platform/nullcanvas.h"

namespace {

// Collects the extent of each gate's operations and keeps the gate whose place holds the point.
class HitCanvas : public NullCanvas {
public:
    HitCanvas(int x, int y, int halfColumn, int margin) : x_(x), y_(y), halfColumn_(halfColumn), margin_(margin) {}

    int hitGate() const { return hitGate_; }

    void moveTo(int x, int y) override { extend(x, y); }
    void lineTo(int x, int y) override { extend(x, y); }
    void ellipse(int x1, int y1, int x2, int y2) override
    {
        extend(x1, y1);
        extend(x2, y2);
    }
    void rectangle(int x1, int y1, int x2, int y2) override
    {
        extend(x1, y1);
        extend(x2, y2);
    }
    void textOut(int x, int y, std::string_view) override { extend(x, y); }

    void beginGroup(std::string_view id) override
    {
        // Groups are named "gate-<number>".
        constexpr std::string_view prefix = "gate-";
        gate_ = 0;
        if (id.substr(0, prefix.size()) == prefix)
            gate_ = static_cast<int>(wholeNumber(id.substr(prefix.size()), INT_MAX).value_or(0));
        left_ = top_ = INT_MAX;
        right_ = bottom_ = INT_MIN;
    }

    void endGroup() override
    {
        if (gate_ == 0 || left_ > right_)
            return;
        const int centre = (left_ + right_) / 2;
        const int distance = std::abs(x_ - centre);
        const bool inside = distance <= halfColumn_ && y_ >= top_ - margin_ && y_ <= bottom_ + margin_;
        if (inside && distance < hitDistance_) {
            hitGate_ = gate_;
            hitDistance_ = distance;
        }
        gate_ = 0;
    }

private:
    void extend(int x, int y)
    {
        if (gate_ == 0)
            return;  // band labels and wires belong to no gate
        left_ = std::min(left_, x);
        right_ = std::max(right_, x);
        top_ = std::min(top_, y);
        bottom_ = std::max(bottom_, y);
    }

    int x_;
    int y_;
    int halfColumn_;
    int margin_;
    int gate_ = 0;
    int left_ = INT_MAX;
    int top_ = INT_MAX;
    int right_ = INT_MIN;
    int bottom_ = INT_MIN;
    int hitGate_ = 0;
    int hitDistance_ = INT_MAX;
};

}  // namespace

int gateAtPoint(const DrawingView& view, std::span<const TGATE1> list, int from, int to, int x, int y)
{
    const int halfColumn = static_cast<int>(std::lround(18 * view.zoom));
    const int margin = static_cast<int>(std::lround(6 * view.zoom));
    HitCanvas canvas(x, y, halfColumn, margin);
    if (drawGatesOn(canvas, view, list, from, to).outcome != DrawOutcome::drawn)
        return 0;
    return canvas.hitGate();
}
