// The call thunk: pushes the arguments, calls, then records the result, the
// x87 control and status words and the stack pointer's movement at once.
#include "rig.h"

extern "C" void CallThunk(void* function, const uint32_t* args, uint32_t count, rig::Outcome* out);

__asm__(
    ".text\n"
    ".globl _CallThunk\n"
    "_CallThunk:\n"
    "  pushl %ebp\n"
    "  movl %esp, %ebp\n"
    "  pushl %ebx\n"
    "  pushl %esi\n"
    "  pushl %edi\n"
    "  movl 12(%ebp), %esi\n"
    "  movl 16(%ebp), %ecx\n"
    "  movl %esp, %edi\n"  // the stack pointer before the arguments
    "1:\n"
    "  testl %ecx, %ecx\n"
    "  jz 2f\n"
    "  decl %ecx\n"
    "  pushl (%esi,%ecx,4)\n"
    "  jmp 1b\n"
    "2:\n"
    "  call *8(%ebp)\n"
    "  movl 20(%ebp), %ebx\n"
    "  fnstcw 4(%ebx)\n"
    "  fnstsw 6(%ebx)\n"
    "  movl %eax, 0(%ebx)\n"
    "  movl %esp, %ecx\n"
    "  subl %edi, %ecx\n"  // 0 when the callee removed its arguments
    "  movl %ecx, 8(%ebx)\n"
    "  movl %edi, %esp\n"
    "  popl %edi\n"
    "  popl %esi\n"
    "  popl %ebx\n"
    "  popl %ebp\n"
    "  ret\n");

namespace rig {

Outcome Call(void* function, const std::vector<uint32_t>& args) {
  Outcome out{};
  CallThunk(function, args.data(), static_cast<uint32_t>(args.size()), &out);
  return out;
}

}  // namespace rig
