#pragma once
#include <cstdint>

// What newer systems say about a target beyond its rectangle, read by the Windows layer and
// judged here. A failed read always means "nothing special", so systems without the calls
// (and Wine) place mascots exactly as before.

// A cloaked window keeps its style and rectangle but is not on the screen: it is on another
// virtual desktop, a suspended app's frame or part of the shell. Any non-zero reason counts.
bool target_is_cloaked(bool attribute_read, uint32_t cloaked_reasons);

// The user notification states the shell reports.
enum UserNotificationState : int32_t {
    kNotificationNotPresent = 1,
    kNotificationBusy = 2,
    kNotificationRunningFullScreen = 3,
    kNotificationPresentationMode = 4,
    kNotificationAcceptsNotifications = 5,
    kNotificationQuietTime = 6,
    kNotificationApp = 7,
};

// A Direct3D full-screen program or presentation mode counts as a maximised target. "Busy" does
// not: it is also reported for ordinary borderless windows and, with some graphics drivers,
// for an empty desktop.
bool notification_state_is_full_screen(bool state_read, int32_t state);

// An answer about the target kept for as long as what it depends on, its key, stays the same:
// the target's monitor DPI, whether it is cloaked and whether a full-screen program runs are
// asked once per controller tick (the key is the tick's number) however many mascots ask, and
// whether the target's program is excluded once per target window, whose program never changes.
template <typename Key, typename Value>
struct KeptAnswer {
    Key key{};
    bool known = false;
    Value value{};

    template <typename Ask>
    Value get(const Key& now, Ask ask)
    {
        if (!known || !(key == now)) {
            value = ask();
            key = now;
            known = true;
        }
        return value;
    }
    void forget() { known = false; }
};
