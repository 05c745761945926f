// The floating-point control state that a system call could leave changed, kept around the call.
#pragma once

#include <windows.h>

#include <cstdint>

namespace runtime {

// Whether the processor has SSE's control and status register, which 32-bit processors before the
// Pentium III and the Athlon XP lack (reading it there is an illegal instruction), and Windows XP
// still runs on. Every x86-64 processor has it. Asked once as the program starts.
inline const bool processorHasSse =
    sizeof(void*) == 8 || IsProcessorFeaturePresent(PF_XMMI_INSTRUCTIONS_AVAILABLE);

// The x87 control word (precision, rounding, exception masks) and, where there is one, the SSE
// control and status register, put back as they were when it ends. Read and written directly,
// because the C library's whole-environment calls cost microseconds under Wine, several times the
// file read they would guard.
class FloatingPointControl {
 public:
  explicit FloatingPointControl(bool withSse = processorHasSse) : withSse_(withSse) {
    __asm__ volatile("fnstcw %0" : "=m"(x87_));
    if (withSse_) __asm__ volatile("stmxcsr %0" : "=m"(sse_));
  }
  ~FloatingPointControl() {
    __asm__ volatile("fldcw %0" : : "m"(x87_));
    if (withSse_) __asm__ volatile("ldmxcsr %0" : : "m"(sse_));
  }
  FloatingPointControl(const FloatingPointControl&) = delete;
  FloatingPointControl& operator=(const FloatingPointControl&) = delete;

 private:
  bool withSse_;
  uint16_t x87_ = 0;
  uint32_t sse_ = 0;
};

}  // namespace runtime
