; The master boot record code the installer writes onto a stick whose MBR has none (bytes 0-439;
; the disk signature and the partition table after them stay the stick's own).
;
; The BIOS loads sector 0 at 0000:7C00 and starts it with its drive number in DL. This code moves
; itself to 0000:0600, finds the active entry of the partition table, loads that partition's first
; sector at 0000:7C00 and starts it with DL the drive and DS:SI pointing at the entry, as a volume
; boot sector expects. It reads with the BIOS extended read (INT 13h AH=42h) where the BIOS has it
; and by CHS from the BIOS's own geometry (AH=08h) where it does not. On failure it says why and
; hands back to the BIOS (INT 18h) after a key.
;
; Build: nasm -f bin -o StickMbr.bin StickMbr.asm        (-DFORCE_CHS leaves out the LBA read)

        bits    16
        cpu     386
        org     0x0600

RELOC           equ 0x0600
BOOT            equ 0x7C00
TABLE           equ RELOC + 446
TRIES           equ 4

Start:
        cli
        xor     ax, ax
        mov     ss, ax
        mov     sp, BOOT
        mov     ds, ax
        mov     es, ax
        sti
        cld
        mov     si, BOOT
        mov     di, RELOC
        mov     cx, 256
        rep movsw
        jmp     0:Moved

Moved:
        ; A few BIOSes pass a floppy number or nothing useful when they start a stick as a disk.
        test    dl, 0x80
        jnz     .haveDrive
        mov     dl, 0x80
.haveDrive:
        mov     [drive], dl

        mov     bp, TABLE
        mov     cx, 4
.scan:
        cmp     byte [bp], 0x80
        je      .found
        add     bp, 16
        loop    .scan
        mov     si, msgNoActive
        jmp     Error

.found:
        mov     di, TRIES
.try:
%ifndef FORCE_CHS
        mov     ah, 0x41
        mov     bx, 0x55AA
        mov     dl, [drive]
        int     0x13
        jc      .chs
        cmp     bx, 0xAA55
        jne     .chs
        test    cl, 1
        jz      .chs
        mov     eax, [bp + 8]
        mov     [dapLba], eax
        mov     si, dap
        mov     ah, 0x42
        mov     dl, [drive]
        int     0x13
        jnc     .loaded
        jmp     short .again
.chs:
%endif
        mov     ah, 0x08
        mov     dl, [drive]
        push    es                      ; AH=08h returns a table address in ES:DI
        push    di
        int     0x13
        pop     di
        pop     es
        jc      .again
        movzx   ebx, cl
        and     bl, 0x3F                ; sectors per track
        jz      .again
        movzx   ecx, dh
        inc     cx                      ; heads
        mov     eax, [bp + 8]
        xor     edx, edx
        div     ebx                     ; eax = track, edx = sector - 1
        mov     bx, dx
        xor     edx, edx
        div     ecx                     ; eax = cylinder, edx = head
        cmp     eax, 1023
        ja      .tooFar
        inc     bx
        mov     cl, bl
        shl     ah, 6
        or      cl, ah                  ; cylinder bits 8-9 go to CL bits 6-7
        mov     ch, al
        mov     dh, dl
        mov     dl, [drive]
        mov     bx, BOOT
        mov     ax, 0x0201
        int     0x13
        jnc     .loaded
.again:
        xor     ax, ax                  ; reset the disk before the next try
        mov     dl, [drive]
        int     0x13
        dec     di
        jnz     .try
        mov     si, msgRead
        jmp     short Error
.tooFar:
        mov     si, msgTooFar
        jmp     short Error

.loaded:
        cmp     word [BOOT + 510], 0xAA55
        mov     si, msgNoSystem
        jne     Error
        mov     si, bp
        mov     dl, [drive]
        jmp     0:BOOT

; SI: a text ending in LF.
Error:
        lodsb
        mov     ah, 0x0E
        mov     bx, 7
        int     0x10
        cmp     al, 10
        jne     Error
        xor     ax, ax
        int     0x16
        int     0x18

drive           db 0x80
dap             db 16, 0
                dw 1                    ; one sector
                dw BOOT, 0              ; to 0000:7C00
dapLba          dd 0, 0

msgNoActive     db "No active partition", 13, 10
msgRead         db "Disk read error", 13, 10
msgTooFar       db "Partition beyond CHS reach", 13, 10
msgNoSystem     db "No system on the partition", 13, 10

%if ($ - $$) > 440
%error "the MBR code is larger than 440 bytes"
%endif
        times 440 - ($ - $$) db 0
