; Demo kernel for the KESTRAND boot disk: KERNEL.SYS on the disk, kernel._ys in the package.
;
; The demo boot sector loads it at 1000:0000 and enters with the BIOS drive number in DL, its
; own sector (with the disk's parameter block) still at 0000:7C00. The kernel reports what it
; finds on the disk - the boot sector's name, the volume label, the file system and the root
; directory, and the start-up files the installer writes - on the screen and on COM1, then
; ends a QEMU run through the isa-debug-exit port (exit status 33). On a real PC it halts.
;
; Build: nasm -f bin -o kernel._ys kernel.asm

        bits    16
        org     0

COM1            equ 0x3F8
EXIT_PORT       equ 0xF4
EXIT_VALUE      equ 0x10                ; QEMU exits with status 2 * 0x10 + 1 = 33
ROOT_BUF        equ 0x4000              ; the kernel stays well below this
ROOT_MAX_SECTORS equ (0xF000 - ROOT_BUF) / 512

%define RD_DRIVE  bootDrive
%define RD_LBA    useLba
%define RD_SPT    bootSector + 24
%define RD_HEADS  bootSector + 26

Entry:
        mov     ax, cs
        mov     ds, ax
        mov     es, ax
        mov     ss, ax                  ; the next instruction runs before any interrupt
        mov     sp, 0xFFFE
        cld
        mov     [bootDrive], dl

        ; The boot sector's copy of the parameter block is the disk's own.
        push    ds
        xor     si, si
        mov     ds, si
        mov     si, 0x7C00
        mov     di, bootSector
        mov     cx, 62
        rep movsb
        pop     ds

        call    SerialInit
        mov     si, msgBanner
        call    PutString

        mov     ah, 0x41
        mov     bx, 0x55AA
        mov     dl, [bootDrive]
        int     0x13
        jc      .noLba
        cmp     bx, 0xAA55
        jne     .noLba
        and     cl, 1
        mov     [useLba], cl
.noLba:
        call    ComputeLayout

        ; Boot sector name (bytes 3-10) and drive.
        mov     si, msgOem
        call    PutString
        mov     si, bootSector + 3
        mov     cx, 8
        call    PutField
        mov     si, msgDrive
        call    PutString
        movzx   eax, byte [bootDrive]
        call    PutHexByte
        mov     si, msgHexEnd
        call    PutString

        ; Whole root directory into memory (as much of it as fits).
        mov     eax, [rootStart]
        mov     cx, [rootSectors]
        cmp     cx, ROOT_MAX_SECTORS
        jbe     .rootFits
        mov     cx, ROOT_MAX_SECTORS
.rootFits:
        mov     ax, cx
        shl     ax, 4
        mov     [rootEntries], ax
        mov     eax, [rootStart]
        mov     bx, ROOT_BUF
        push    es
        call    ReadSectors
        pop     es

        call    CheckImage
        call    ShowLabel
        call    ShowFileSystem
        call    ShowDirectory
        mov     si, nameConfig
        call    ShowStartupFile
        mov     si, nameAutoexec
        call    ShowStartupFile

        mov     si, msgDone
        call    PutString
Halt:
        mov     al, EXIT_VALUE
        out     EXIT_PORT, al
        cli
.stop:
        hlt
        jmp     short .stop

DiskError:
        mov     si, msgDiskError
        call    PutString
        jmp     short Halt

; CheckImage: every filler block must hold its own number, so a cluster chain followed wrongly
; by the boot sector (or a file cut short) shows up here instead of as random behaviour.
CheckImage:
        mov     si, msgImage
        call    PutString
        mov     ax, FIRST_FILLER
        mov     bx, FIRST_FILLER * 512
.block:
        cmp     [bx], ax
        jne     .bad
        inc     ax
        add     bx, 512
        cmp     ax, IMAGE_BLOCKS
        jb      .block
        mov     eax, IMAGE_BLOCKS * 512
        call    PutDecimal
        mov     si, msgImageOk
        jmp     PutString
.bad:
        mov     si, msgImageBad
        call    PutString
        jmp     Halt

; ComputeLayout: absolute sectors of the FAT, the root directory and cluster 2; FAT type.
ComputeLayout:
        movzx   eax, word [bootSector + 14]     ; reserved sectors
        add     eax, [bootSector + 28]          ; hidden sectors
        movzx   ecx, byte [bootSector + 16]     ; FAT count
        movzx   edx, word [bootSector + 22]     ; sectors per FAT
        imul    ecx, edx
        add     eax, ecx
        mov     [rootStart], eax
        movzx   ecx, word [bootSector + 17]     ; root entries
        add     cx, 15
        shr     cx, 4
        mov     [rootSectors], cx
        add     eax, ecx
        mov     [dataStart], eax
        movzx   edx, word [bootSector + 19]     ; total sectors, 16 bit
        test    dx, dx
        jnz     .haveTotal
        mov     edx, [bootSector + 32]          ; total sectors, 32 bit
.haveTotal:
        add     edx, [bootSector + 28]
        sub     edx, eax
        mov     eax, edx
        xor     edx, edx
        movzx   ecx, byte [bootSector + 13]     ; sectors per cluster
        div     ecx
        mov     [clusterCount], eax
        ret

; ShowLabel: the label entry of the root directory wins; the parameter block's label is the
; fallback, as DIR shows it.
ShowLabel:
        mov     si, msgLabel
        call    PutString
        mov     si, ROOT_BUF
        mov     cx, [rootEntries]
.next:
        mov     al, [si]
        test    al, al
        jz      .fromBootSector
        cmp     al, 0xE5
        je      .skip
        mov     al, [si + 11]
        cmp     al, 0x0F                        ; long file name part
        je      .skip
        test    al, 0x08
        jnz     .print
.skip:
        add     si, 32
        loop    .next
.fromBootSector:
        mov     si, msgNoLabel
        cmp     byte [bootSector + 38], 0x29    ; extended fields present
        jne     .none
        mov     si, bootSector + 43
        cmp     dword [si], "NO N"
        je      .noneText
.print:
        mov     cx, 11
        call    PutField
        jmp     short .end
.noneText:
        mov     si, msgNoLabel
.none:
        call    PutString
.end:
        mov     si, msgNewLine
        jmp     PutString

ShowFileSystem:
        mov     si, msgFat12
        cmp     dword [clusterCount], 4085
        jb      .type
        mov     si, msgFat16
.type:
        call    PutString
        mov     eax, [clusterCount]
        call    PutDecimal
        mov     si, msgClustersOf
        call    PutString
        movzx   eax, byte [bootSector + 13]
        shl     eax, 9
        call    PutDecimal
        mov     si, msgBytes
        jmp     PutString

; ShowDirectory: one line per file or folder, name and size.
ShowDirectory:
        mov     si, msgDirectory
        call    PutString
        mov     si, ROOT_BUF
        mov     cx, [rootEntries]
.next:
        mov     al, [si]
        test    al, al
        jz      .end
        cmp     al, 0xE5
        je      .skip
        mov     al, [si + 11]
        test    al, 0x08                        ; label and long-name parts
        jnz     .skip
        push    cx
        push    si
        push    si
        mov     si, msgIndent
        call    PutString
        pop     si
        call    PutShortName
        mov     cx, 16                          ; names line up in one column
        call    PadTo
        pop     si
        push    si
        test    byte [si + 11], 0x10
        jz      .file
        mov     si, msgDirMark
        call    PutString
        jmp     short .lineEnd
.file:
        mov     eax, [si + 28]
        call    PutDecimalRight
.lineEnd:
        mov     si, msgNewLine
        call    PutString
        pop     si
        pop     cx
.skip:
        add     si, 32
        loop    .next
.end:
        ret

; ShowStartupFile: SI = 11-character directory name. Prints the file's first sector as text,
; so a boot after the installation shows what the installer wrote.
ShowStartupFile:
        mov     di, ROOT_BUF
        mov     cx, [rootEntries]
.next:
        cmp     byte [di], 0
        je      .missing
        push    cx
        push    si
        push    di
        mov     cx, 11
        repe cmpsb
        pop     di
        pop     si
        pop     cx
        je      .found
        add     di, 32
        loop    .next
.missing:
        push    si
        call    PutShortName
        pop     si
        mov     si, msgMissing
        jmp     PutString
.found:
        push    di
        call    PutShortName
        mov     si, msgColon
        call    PutString
        pop     di
        movzx   eax, word [di + 26]
        mov     ecx, [di + 28]
        cmp     ecx, 512
        jbe     .sizeOk
        mov     ecx, 512
.sizeOk:
        mov     [textLength], cx
        cmp     ax, 2
        jb      .empty
        sub     eax, 2
        movzx   edx, byte [bootSector + 13]
        imul    eax, edx
        add     eax, [dataStart]
        mov     bx, fileBuf
        mov     cx, 1
        push    es
        call    ReadSectors
        pop     es
        mov     si, msgIndent
        call    PutString
        mov     si, fileBuf
        mov     cx, [textLength]
        jcxz    .empty
.char:
        lodsb
        cmp     al, 10
        je      .newLine
        cmp     al, 13
        je      .nextChar
        call    PutChar
        jmp     short .nextChar
.newLine:
        push    si
        mov     si, msgNewLine
        call    PutString
        mov     si, msgIndent
        call    PutString
        pop     si
.nextChar:
        loop    .char
.empty:
        mov     si, msgNewLine
        jmp     PutString

; PutShortName: the 11-character directory name at SI as NAME.EXT.
PutShortName:
        mov     cx, 8
        call    PutField
        cmp     word [si], "  "
        jne     .ext
        cmp     byte [si + 2], " "
        je      .end
.ext:
        mov     al, "."
        call    PutChar
        mov     cx, 3
        call    PutField
.end:
        ret

; PadTo: blanks up to column CX of the current line.
PadTo:
        mov     al, " "
.blank:
        cmp     [column], cx
        jae     .end
        call    PutChar
        jmp     short .blank
.end:
        ret

; PutField: CX characters from SI, trailing blanks left out; SI moves past the field.
PutField:
        mov     bx, si
        add     bx, cx
        push    bx
.trim:
        jcxz    .done
        cmp     byte [bx - 1], " "
        jne     .print
        dec     bx
        dec     cx
        jmp     short .trim
.print:
        lodsb
        call    PutChar
        loop    .print
.done:
        pop     si
        ret

; PutDecimalRight: EAX in decimal, right-aligned in ten columns.
PutDecimalRight:
        mov     di, digits + 10
        call    FormatDecimal
        mov     cx, di
        sub     cx, digits
.pad:
        jcxz    .print
        mov     al, " "
        call    PutChar
        dec     cx
        jmp     short .pad
.print:
        mov     si, di
        jmp     PutString

PutDecimal:
        mov     di, digits + 10
        call    FormatDecimal
        mov     si, di
        jmp     PutString

; FormatDecimal: EAX -> digits ending before DI (zero-terminated there); DI = first digit.
FormatDecimal:
        mov     byte [di], 0
        mov     ecx, 10
.digit:
        xor     edx, edx
        div     ecx
        add     dl, "0"
        dec     di
        mov     [di], dl
        test    eax, eax
        jnz     .digit
        ret

PutHexByte:
        push    ax
        shr     al, 4
        call    .nibble
        pop     ax
.nibble:
        and     al, 0x0F
        add     al, "0"
        cmp     al, "9"
        jbe     .out
        add     al, "A" - "9" - 1
.out:
        jmp     PutChar

; PutString: zero-terminated text at SI; a line feed goes out as CR LF.
PutString:
        lodsb
        test    al, al
        jz      .end
        cmp     al, 10
        jne     .put
        mov     al, 13
        call    PutChar
        mov     al, 10
.put:
        call    PutChar
        jmp     short PutString
.end:
        ret

; PutChar: AL to the screen (BIOS teletype) and to COM1. Keeps every register.
PutChar:
        pusha
        inc     word [column]
        cmp     al, 13
        jne     .counted
        mov     word [column], 0
.counted:
        mov     ah, al
        mov     dx, COM1 + 5
        mov     cx, 0xFFFF                      ; a missing UART must not hang the kernel
.wait:
        in      al, dx
        test    al, 0x20
        jnz     .send
        loop    .wait
.send:
        mov     al, ah
        mov     dx, COM1
        out     dx, al
        mov     ah, 0x0E
        xor     bx, bx
        int     0x10
        popa
        ret

; SerialInit: COM1 at 115200 baud, 8 data bits, no parity, one stop bit.
SerialInit:
        mov     si, serialSetup
.next:
        lodsw
        test    ah, ah
        jz      .end
        movzx   dx, ah
        and     dl, 7
        add     dx, COM1
        out     dx, al
        jmp     short .next
.end:
        ret

%include "diskread.inc"

; Pairs of value and register offset; offset 0 ends the table, so the divisor latch
; (register 0) is written as offset 8, which the loop masks back to 0.
serialSetup     db 0x00, 1                      ; interrupts off
                db 0x80, 3                      ; divisor latch on
                db 0x01, 8                      ; divisor 1 (low byte, register 0 + 8)
                db 0x00, 9                      ; divisor high byte
                db 0x03, 3                      ; 8N1, latch off
                db 0xC7, 2                      ; FIFOs on and cleared
                db 0x03, 4                      ; DTR and RTS
                dw 0

msgBanner       db "KESTRAND demo kernel 1.0", 10, 0
msgOem          db "Boot sector: ", 0
msgDrive        db ", BIOS drive ", 0
msgHexEnd       db "h", 10, 0
msgImage        db "Kernel image: ", 0
msgImageOk      db " bytes loaded, all blocks in place", 10, 0
msgImageBad     db "damaged, a block is missing or out of order", 10, 0
msgLabel        db "Volume label: ", 0
msgNoLabel      db "(none)", 0
msgFat12        db "File system: FAT12, ", 0
msgFat16        db "File system: FAT16, ", 0
msgClustersOf   db " clusters of ", 0
msgBytes        db " bytes", 10, 0
msgDirectory    db "Root directory:", 10, 0
msgIndent       db "  ", 0
msgDirMark      db "     <DIR>", 0
msgColon        db ":", 10, 0
msgMissing      db ": not present", 10, 0
msgNewLine      db 10, 0
msgDone         db "End of the KESTRAND demo. System halted.", 10, 0
msgDiskError    db "Disk read error. System halted.", 10, 0
nameConfig      db "CONFIG  SYS"
nameAutoexec    db "AUTOEXECBAT"

        align   4
bootDrive       db 0
useLba          db 0
textLength      dw 0
column          dw 0
rootSectors     dw 0
rootEntries     dw 0
rootStart       dd 0
dataStart       dd 0
clusterCount    dd 0
digits          times 11 db 0
bootSector      times 62 db 0
fileBuf         times 512 db 0

; Filler blocks up to IMAGE_BLOCKS sectors, each stamped with its number: the image spans
; several clusters on any FAT12 or FAT16 disk, so loading it exercises the cluster chain.
IMAGE_BLOCKS    equ 16
FIRST_FILLER    equ ($ - $$ + 511) / 512
        times FIRST_FILLER * 512 - ($ - $$) db 0
%assign block FIRST_FILLER
%rep IMAGE_BLOCKS - FIRST_FILLER
        dw      block
        db      "KESTRAND demo kernel filler block"
        times 512 - 2 - 33 db block
%assign block block + 1
%endrep

%if ($ - $$) > ROOT_BUF
%error "the kernel has grown into its directory buffer"
%endif
