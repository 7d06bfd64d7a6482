#pragma once
// The two waits of the tool, both through one scale factor so that tests can shorten them:
// the blocking pause between the steps of a write sequence and the message-handling wait of a
// serial operation. The factor starts from the environment variable N6_PAUSE_SCALE (default 1).

// Sleeps `ms` (scaled) milliseconds without handling any event.
void BlockingPause(int ms);

// Runs a local event loop until `ms` (scaled) milliseconds after entry have passed, so that the
// windows stay responsive and received data is handled meanwhile.
void WaitWithMessages(int ms);

// Sets the scale factor (1.0 real time; 0.1 a tenth). Negative or non-finite values count as 0.
void SetPauseScale(double scale);
double PauseScale();
// `ms` multiplied by the scale factor, rounded, never negative.
int ScaledPause(int ms);
