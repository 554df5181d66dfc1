#pragma once
// A control that reacts when its dialog reports the cursor (screen coordinates).
namespace skin {

class HoverTarget {
public:
    virtual void CheckHover(int x, int y) = 0;

protected:
    ~HoverTarget() = default;
};

}  // namespace skin
