// The x87 reset run after every core call that reached a result: pending
// exception flags cleared, control word 0x133F (all exceptions masked, 64-bit
// precision, round to nearest).
#pragma once

namespace frame {

inline void ResetFPUControlWord() {
#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
  static const unsigned short kControlWord = 0x133F;
  unsigned short status;
  __asm__ volatile("fnstsw %0" : "=am"(status));
  // fnclex costs more than the rest of the call; it only has work to do when an
  // exception flag (bits 0-7) or the busy bit (15) is set.
  if (status & 0x80FF) __asm__ volatile("fnclex");
  __asm__ volatile("fldcw %0" : : "m"(kControlWord));
#elif defined(_MSC_VER) && defined(_M_IX86)
  unsigned short control = 0x133F;
  unsigned short status;
  __asm fnstsw status
  if (status & 0x80FF) __asm fnclex
  __asm fldcw control
#endif
}

}  // namespace frame
