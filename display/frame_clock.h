#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

// Which frame a mascot shows and for how long; counted in mascot ticks of 100 ms.
struct AnimationClock {
    size_t current_frame = 0;
    int32_t stay = 0;
    int32_t tick_counter = 0;
};

// A draw of the process-wide generator, 0 to 32767.
using RandomDraw = std::function<int()>;
// The stored time of frame n of the list.
using FrameTimeOf = std::function<int32_t(size_t)>;

// The stay of a frame that has just come up. A negative time -m gives a stay drawn anew on
// each appearance from 0 to m - 1; a stay of 0 still shows the frame for one tick, because
// the counter is tested after it is increased.
int32_t stay_for_time(int32_t time, const RandomDraw& draw);

// Counts one mascot tick. When the current frame's stay has run out, the next frame (after
// the last comes the first) becomes current with a fresh stay and the counter restarts, and
// the result is true: the window must show the new frame. A mascot with fewer than two frames
// never changes frame and its counter does not move.
bool advance_animation(AnimationClock& clock, size_t frame_count, const FrameTimeOf& time_of,
                       const RandomDraw& draw);
