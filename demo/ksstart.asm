; Demo start-up program: KSSTART.COM on the disk, ksstart._om in the package.
; AUTOEXEC.BAT runs it at boot; it announces the package and runs KESTRAND.EXE.
;
; Build: nasm -f bin -o ksstart._om ksstart.asm

        bits    16
        org     0x100

STACK_SIZE      equ 512

        mov     sp, stackTop
        ; A .COM program owns all free memory; give back what lies beyond our stack so that
        ; DOS has room to load KESTRAND.EXE.
        mov     bx, (stackTop - $$ + 0x100 + 15) / 16
        mov     ah, 0x4A
        int     0x21
        mov     dx, msgStart
        mov     ah, 0x09
        int     0x21

        mov     [execBlock + 4], cs
        mov     [execBlock + 8], cs
        mov     [execBlock + 12], cs
        mov     dx, programName
        mov     bx, execBlock
        mov     ax, 0x4B00
        int     0x21
        jc      .failed
        mov     ax, 0x4C00
        int     0x21
.failed:
        mov     dx, msgFailed
        mov     ah, 0x09
        int     0x21
        mov     ax, 0x4C01
        int     0x21

programName     db "KESTRAND.EXE", 0
msgStart        db "KESTRAND demo start-up program: starting KESTRAND.EXE", 13, 10, "$"
msgFailed       db "KESTRAND.EXE could not be started.", 13, 10, "$"
commandTail     db 0, 13
; Environment (0 = ours), command tail, first and second FCB; the segments are filled in.
execBlock       dw 0
                dw commandTail, 0
                dw 0x5C, 0
                dw 0x6C, 0

        align   2
stackBottom     times STACK_SIZE db 0
stackTop:
