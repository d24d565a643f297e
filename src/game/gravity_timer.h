// SPDX-License-Identifier: MIT
#pragma once

// Gravity's clock. The timer runs on SDL's timer thread but only posts an event for every interval
// that passes; the main loop's event pump hands each event back to the session, which ticks on the
// main thread. Every start gets a fresh serial that its events carry, so an event of a timer that
// has been stopped or restarted since is recognised as stale and dropped.
class GravityTimer {
public:
    GravityTimer() = default;
    ~GravityTimer();  // stops the timer
    GravityTimer(const GravityTimer&) = delete;
    GravityTimer& operator=(const GravityTimer&) = delete;

    // Stops any running timer, then posts a gravity event every intervalMs milliseconds. A timer
    // that cannot be started leaves gravity stopped until the next start.
    void start(int intervalMs);
    // Events posted from now on, or still waiting, no longer count. Harmless when nothing runs.
    void stop();
    // Whether an event with this serial comes from the running timer.
    bool isCurrent(int serial) const { return serial != 0 && serial == serial_; }
    // Interval of the running timer in ms; 0 when stopped.
    int interval() const { return interval_; }

private:
    void* handle_ = nullptr;  // SDL_TimerID of the running timer; null when stopped
    int serial_ = 0;          // serial of the running timer; 0 when stopped
    int lastSerial_ = 0;      // the last serial handed out; 0 is skipped when it wraps
    int interval_ = 0;        // ms; 0 when stopped
};
