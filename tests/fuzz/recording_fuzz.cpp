// Fuzzes the recorded-game reader on bytes in memory: a file it accepts must
// read record by record to the end of its whole records, with the passes it
// counted.
#include <cstddef>
#include <cstdint>

#include "app/recording.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RecordingSummary summary;
  if (checkRecording(data, size, &summary) != RecordingCheck::Good) return 0;
  size_t offset = static_cast<size_t>(data[10]) | (static_cast<size_t>(data[11]) << 8);
  uint64_t passes = 0;
  InputRecord record;
  while (offset < summary.end) {
    if (!readRecord(data, summary.end, &offset, &record)) __builtin_trap();
    if (record.tag == RecordTag::Pass) ++passes;
    if (record.tag == RecordTag::Mouse && !(record.x == record.x && record.y == record.y)) {
      __builtin_trap();
    }
  }
  if (offset != summary.end || (!summary.cut && offset != size) || passes != summary.passes) {
    __builtin_trap();
  }
  return 0;
}
