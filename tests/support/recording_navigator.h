#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "core/navigation/navigator.h"

namespace ramifex::test
{

// Records what the viewer asks of whoever edits the scene.
class RecordingNavigator final : public Navigator
{
public:
    struct Call
    {
        std::string Name;
        double A = 0.0;
        double B = 0.0;
        double C = 0.0;
        bool operator==(const Call&) const = default;
    };

    void RotateCurrentRecord(int32_t dx, int32_t dy) override
    {
        Calls.push_back({"RotateCurrentRecord", double(dx), double(dy)});
    }
    void RotateBaseRecord(int32_t dx, int32_t dy) override
    {
        Calls.push_back({"RotateBaseRecord", double(dx), double(dy)});
    }
    void MoveView(double x, double y, double z) override { Calls.push_back({"MoveView", x, y, z}); }
    void Zoom(double notches) override { Calls.push_back({"Zoom", notches}); }
    void RequestRedraw() override { ++Redraws; }
    void BeginGesture() override { Calls.push_back({"BeginGesture"}); }
    void EndGesture() override { Calls.push_back({"EndGesture"}); }

    std::vector<Call> Calls;
    int Redraws = 0;
};

inline void PrintTo(const RecordingNavigator::Call& call, std::ostream* os)
{
    *os << call.Name << "(" << call.A << ", " << call.B << ", " << call.C << ")";
}

}  // namespace ramifex::test
