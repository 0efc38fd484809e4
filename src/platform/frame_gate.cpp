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
  // More than a frame behind (a stall, a hidden page): start afresh from
  // this frame instead of racing to catch up.
  if (due_ < nowMs) due_ = nowMs + kPeriodMs;
  return true;
}
