#pragma once
// The state table of the skinned push buttons.
#include <windows.h>

namespace skin {

enum ButtonState { kStateNormal = 1, kStateHover = 2, kStatePressed = 3, kStateDisabled = 4 };
enum class ButtonKind { Png, Feature };
enum class ButtonEvent { HitTest, ButtonDown, ButtonUp, LeaveCheck };

struct ButtonStatus {
    int state = kStateNormal;
    int pressed = 0;
    bool operator==(const ButtonStatus& o) const { return state == o.state && pressed == o.pressed; }
};

// The status after an event; inside tells whether the point hit the (inset) rectangle.
ButtonStatus NextButtonStatus(ButtonKind kind, ButtonEvent event, bool enabled, bool inside, ButtonStatus now);

}  // namespace skin
