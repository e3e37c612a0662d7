; Demo command interpreter: COMMAND.COM on the disk, command._om in the package.
; It stands in for a real shell only so that the package is complete; it says what it is and ends.
;
; Build: nasm -f bin -o command._om command.asm

        bits    16
        org     0x100

        mov     dx, message
        mov     ah, 0x09
        int     0x21
        mov     ax, 0x4C00
        int     0x21

message db "KESTRAND demo command interpreter.", 13, 10
        db "This demo package has no real shell; the disk was prepared by the installer.", 13, 10, "$"
