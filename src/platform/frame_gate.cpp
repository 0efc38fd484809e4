// The frame gate of browser-driven frame callbacks.
#include "platform/frame_gate.h"

bool FrameGate::admit(double nowMs) {
  if (!started_) {
    started_ = true;
    due_ = nowMs + kPeriodMs;
    return true;
  }
  if (nowMs < due_ - kSlackMs) return false;
  due_ += kPeriodMs;
  // Behind the schedule (a slow or stalled page), at most half a frame is made
  // up: late callbacks still count, but a stall brings no burst of frames.
  if (due_ < nowMs - kCatchUpMs) due_ = nowMs - kCatchUpMs;
  return true;
}
