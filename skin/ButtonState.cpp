#include "ButtonState.h"

namespace skin {

ButtonStatus NextButtonStatus(ButtonKind kind, ButtonEvent event, bool enabled, bool inside, ButtonStatus now) {
    ButtonStatus next = now;
    if (!enabled) {
        next.state = kStateDisabled;
        return next;
    }
    const bool feature = kind == ButtonKind::Feature;
    switch (event) {
        case ButtonEvent::HitTest:
            if (inside && now.state == kStateNormal) next.state = kStateHover;
            else if (!inside && now.state == kStateHover) next.state = kStateNormal;
            break;
        case ButtonEvent::ButtonDown:
            if (inside) next = {kStatePressed, 1};
            else if (feature) next = {kStateNormal, 0};
            break;
        case ButtonEvent::ButtonUp:
            if (inside) next = {kStateHover, 0};
            else if (feature) next = {kStateNormal, 0};
            if (feature) next.pressed = 0;
            break;
        case ButtonEvent::LeaveCheck:
            if (now.state != kStateNormal && !inside) next.state = kStateNormal;
            break;
    }
    return next;
}

}  // namespace skin
