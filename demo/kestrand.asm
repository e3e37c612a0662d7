; Demo diagnostic program: KESTRAND.EXE on the disk, kestrand._xe in the package.
; A real DOS .EXE (MZ header, no relocations) that reports itself and ends.
;
; Build: nasm -f bin -o kestrand._xe kestrand.asm

        bits    16
        org     0

HEADER_SIZE     equ 32
STACK_SIZE      equ 512

header:
        db      "MZ"
        dw      fileSize % 512                  ; bytes in the last page
        dw      (fileSize + 511) / 512          ; pages
        dw      0                               ; relocations
        dw      HEADER_SIZE / 16                ; header paragraphs
        dw      STACK_SIZE / 16                 ; minimum extra paragraphs: the stack
        dw      0xFFFF                          ; maximum extra paragraphs
        dw      0                               ; SS, relative to the image
        dw      imageSize + STACK_SIZE          ; SP
        dw      0                               ; checksum
        dw      0                               ; IP
        dw      0                               ; CS, relative to the image
        dw      0x1C                            ; relocation table offset
        dw      0                               ; overlay
        times HEADER_SIZE - ($ - header) db 0

image:
        push    cs
        pop     ds
        mov     dx, message - image
        mov     ah, 0x09
        int     0x21
        mov     ax, 0x4C00
        int     0x21

message db "KESTRAND demo diagnostic program.", 13, 10
        db "The real package tests ATA/IDE drives; this demo only shows that it was", 13, 10
        db "installed and started from the boot disk.", 13, 10, "$"

imageSize       equ $ - image
fileSize        equ $ - header
