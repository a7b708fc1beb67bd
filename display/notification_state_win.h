#pragma once

// SHQueryUserNotificationState, found in shell32.dll at run time (Vista and later). False
// when the function is missing or the call fails.
bool read_user_notification_state(int& state);
