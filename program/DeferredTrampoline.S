# The first call of a deferred library's function lands here, with the function's index
# pushed on the stack above the caller's return address. It keeps every register a call may
# pass arguments in (the integer ones, %rax for the vector count of a variadic call, and
# %xmm0-7), asks tolvex_deferred_resolve for the function's address, puts the registers back
# and jumps there, as if the caller had called the function itself.
	.section .note.GNU-stack,"",@progbits
	.text
	.globl tolvex_deferred_trampoline
	.hidden tolvex_deferred_trampoline
	.type tolvex_deferred_trampoline, @function
tolvex_deferred_trampoline:
	.cfi_startproc
	.cfi_adjust_cfa_offset 8
	pushq %rdi
	.cfi_adjust_cfa_offset 8
	pushq %rsi
	.cfi_adjust_cfa_offset 8
	pushq %rdx
	.cfi_adjust_cfa_offset 8
	pushq %rcx
	.cfi_adjust_cfa_offset 8
	pushq %r8
	.cfi_adjust_cfa_offset 8
	pushq %r9
	.cfi_adjust_cfa_offset 8
	pushq %rax
	.cfi_adjust_cfa_offset 8
	# The caller's call left %rsp 8 off a 16-byte boundary, and the index and seven registers
	# (64 bytes) keep it so; the eight vector registers and 8 bytes of padding bring it onto
	# the boundary the call below needs. The index now sits 136 + 56 bytes up.
	subq $136, %rsp
	.cfi_adjust_cfa_offset 136
	movdqu %xmm0, 0(%rsp)
	movdqu %xmm1, 16(%rsp)
	movdqu %xmm2, 32(%rsp)
	movdqu %xmm3, 48(%rsp)
	movdqu %xmm4, 64(%rsp)
	movdqu %xmm5, 80(%rsp)
	movdqu %xmm6, 96(%rsp)
	movdqu %xmm7, 112(%rsp)
	movq 192(%rsp), %rdi
	call tolvex_deferred_resolve
	movq %rax, %r11
	movdqu 0(%rsp), %xmm0
	movdqu 16(%rsp), %xmm1
	movdqu 32(%rsp), %xmm2
	movdqu 48(%rsp), %xmm3
	movdqu 64(%rsp), %xmm4
	movdqu 80(%rsp), %xmm5
	movdqu 96(%rsp), %xmm6
	movdqu 112(%rsp), %xmm7
	addq $136, %rsp
	.cfi_adjust_cfa_offset -136
	popq %rax
	.cfi_adjust_cfa_offset -8
	popq %r9
	.cfi_adjust_cfa_offset -8
	popq %r8
	.cfi_adjust_cfa_offset -8
	popq %rcx
	.cfi_adjust_cfa_offset -8
	popq %rdx
	.cfi_adjust_cfa_offset -8
	popq %rsi
	.cfi_adjust_cfa_offset -8
	popq %rdi
	.cfi_adjust_cfa_offset -8
	addq $8, %rsp
	.cfi_adjust_cfa_offset -8
	jmp *%r11
	.cfi_endproc
	.size tolvex_deferred_trampoline, .-tolvex_deferred_trampoline
