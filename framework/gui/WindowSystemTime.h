// The window system's clock: the time its input events are stamped with,
// read now, so that input made before a moment can be told from input made
// after it, whenever the program gets to see it.
#pragma once

#include <cstdint>
#include <optional>

class QInputEvent;

namespace fw {

// The window system's time now, in the unit and from the origin of its
// input events' timestamps (milliseconds). On X it is the server's own
// clock, read through a connection of its own (one round trip); elsewhere
// it is reckoned from the last input event seen and the time since it came.
// Nothing when neither can be had.
std::optional<std::uint64_t> WindowSystemTimeNow();

// Every input event the program receives is shown here first, so that the
// reckoning has a recent event to start from.
void NoteInputEvent(const QInputEvent& event);

// Sends the window system what the program asked of it so far (a new
// cursor, say), without taking any of its events; on X only.
void FlushWindowSystem();

// Whether timestamp a comes after b. X's clock is 32 bits wide and wraps
// (every 49.7 days); a difference of less than half its range counts.
bool TimestampAfter(std::uint64_t a, std::uint64_t b);

}  // namespace fw
