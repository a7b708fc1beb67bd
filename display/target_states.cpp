#include "display/target_states.h"

bool target_is_cloaked(bool attribute_read, uint32_t cloaked_reasons) { return attribute_read && cloaked_reasons != 0; }

bool notification_state_is_full_screen(bool state_read, int32_t state)
{
    return state_read && (state == kNotificationRunningFullScreen || state == kNotificationPresentationMode);
}
