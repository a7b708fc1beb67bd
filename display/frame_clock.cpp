#include "display/frame_clock.h"

int32_t stay_for_time(int32_t time, const RandomDraw& draw)
{
    if (time >= 0)
        return time;
    // Widened first: the time may be the most negative value, whose negation has no int32.
    const int64_t range = -static_cast<int64_t>(time);
    return static_cast<int32_t>(static_cast<int64_t>(draw()) % range);
}

bool advance_animation(AnimationClock& clock, size_t frame_count, const FrameTimeOf& time_of,
                       const RandomDraw& draw)
{
    if (frame_count < 2)
        return false;
    ++clock.tick_counter;
    if (clock.tick_counter < clock.stay)
        return false;
    clock.current_frame = (clock.current_frame + 1) % frame_count;
    clock.stay = stay_for_time(time_of(clock.current_frame), draw);
    clock.tick_counter = 0;
    return true;
}
