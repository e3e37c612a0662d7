; Demo boot sector for FAT12 and FAT16 volumes (one 512-byte sector, needs a 386).
;
; The installer keeps bytes 0-10 and 62-511 of this image and puts the disk's own parameter
; block (bytes 11-61) in between, so the code below takes every disk parameter from its own
; sector at run time. It finds KERNEL.SYS in the root directory, loads it at 1000:0000 and jumps
; there with the BIOS drive number in DL; the sector itself stays at 0000:7C00, where the kernel
; reads the parameter block.
;
; Build: nasm -f bin -o boot.dat boot.asm      (-DFORCE_CHS leaves out the LBA read, for tests)

        bits    16
        org     0x7C00

KERNEL_SEG      equ 0x1000
DIR_BUF         equ 0x7E00              ; the whole root directory (at most 1024 entries)
FAT_BUF         equ DIR_BUF             ; two FAT sectors, so a FAT12 entry never straddles;
                                        ; the directory is not needed any more by then

; BP holds 7C00h throughout: the parameter block and the variables just below the sector are
; then reached with one-byte displacements, which is what makes the code fit.
%define B(field)  bp + ((field) - $$)
%define useLba    bp - 2                ; byte: 1 when the BIOS has the extended read
%define isFat12   bp - 1                ; byte: 1 on FAT12 (the FAT entry shift)
%define fatStart  bp - 6                ; dword: first FAT sector (absolute)
%define dataStart bp - 10               ; dword: sector of cluster 2
%define RD_DRIVE  B(bootDrive)
%define RD_LBA    useLba
%define RD_SPT    B(bpbSectorsPerTrack)
%define RD_HEADS  B(bpbHeads)

        jmp     short Start
        nop
oemName                 db "KESDEMO "
; The parameter block of a 1.44 MB floppy, replaced by the disk's own when installed.
bpbBytesPerSector       dw 512
bpbSectorsPerCluster    db 1
bpbReservedSectors      dw 1
bpbFatCount             db 2
bpbRootEntries          dw 224
bpbTotalSectors16       dw 2880
bpbMedia                db 0xF0
bpbSectorsPerFat        dw 9
bpbSectorsPerTrack      dw 18
bpbHeads                dw 2
bpbHiddenSectors        dd 0
bpbTotalSectors32       dd 0
bootDrive               db 0            ; overwritten in memory with the drive the BIOS booted
                        db 0
bpbExtSignature         db 0x29
bpbSerial               dd 0
bpbLabel                db "NO NAME    "
bpbFsType               db "FAT12   "

%if ($ - $$) != 62
%error "the parameter block must end at byte 61"
%endif

Start:
        xor     ax, ax
        mov     ds, ax
        mov     es, ax
        mov     ss, ax                  ; the next instruction runs before any interrupt
        mov     sp, 0x7C00 - 16
        mov     bp, 0x7C00
        cld
        mov     [useLba], ax            ; and isFat12
        mov     [B(bootDrive)], dl
%ifndef FORCE_CHS
        mov     ah, 0x41
        mov     bx, 0x55AA
        int     0x13
        jc      .chs
        cmp     bx, 0xAA55
        jne     .chs
        and     cl, 1                   ; the packet interface (AH=42h) is there
        mov     [useLba], cl
.chs:
%endif

        ; Volume layout, all in absolute sectors.
        movzx   eax, word [B(bpbReservedSectors)]
        add     eax, [B(bpbHiddenSectors)]
        mov     [fatStart], eax
        movzx   ecx, byte [B(bpbFatCount)]
        movzx   edx, word [B(bpbSectorsPerFat)]
        imul    ecx, edx
        add     eax, ecx                ; eax = root directory
        mov     cx, [B(bpbRootEntries)]
        add     cx, 15
        shr     cx, 4                   ; root directory sectors, 16 entries each
        lea     edx, [eax + ecx]        ; the upper half of ECX is 0 since the multiply
        mov     [dataStart], edx

        ; FAT12 or FAT16 is decided by the cluster count alone, as DOS does.
        push    eax
        push    cx
        movzx   eax, word [B(bpbTotalSectors16)]
        test    ax, ax
        jnz     .haveTotal
        mov     eax, [B(bpbTotalSectors32)]
.haveTotal:
        add     eax, [B(bpbHiddenSectors)]
        sub     eax, edx                ; data sectors
        movzx   ecx, byte [B(bpbSectorsPerCluster)]
        imul    ecx, ecx, 4085
        cmp     eax, ecx
        setb    [isFat12]
        pop     cx
        pop     eax

        ; Root directory search for "KERNEL  SYS".
        mov     bx, DIR_BUF
        call    ReadSectors
        push    ds
        pop     es
        mov     di, bx
        mov     dx, [B(bpbRootEntries)]
.nextEntry:
        mov     si, kernelName
        mov     cx, 11
        push    di
        repe cmpsb
        pop     di
        je      .found
        add     di, 32
        dec     dx
        jnz     .nextEntry
        jmp     short Fail

.found:
        mov     ax, [di + 26]           ; first cluster
        push    KERNEL_SEG
        pop     es
.nextCluster:
        cmp     ax, 2
        jb      Fail                    ; a free or reserved entry in the chain: the FAT is damaged
        push    ax
        movzx   eax, ax
        dec     ax
        dec     ax
        movzx   ecx, byte [B(bpbSectorsPerCluster)]
        mul     ecx
        add     eax, [dataStart]
        xor     bx, bx
        call    ReadSectors
        pop     ax

        ; Next cluster from the FAT: 1.5 bytes per entry on FAT12, 2 on FAT16.
        push    es
        push    ds
        pop     es
        mov     si, ax
        movzx   eax, ax
        mov     edx, eax
        mov     cl, [isFat12]
        shr     edx, cl
        add     eax, edx
        mov     di, ax
        and     di, 511
        shr     eax, 9
        add     eax, [fatStart]
        mov     bx, FAT_BUF
        mov     cx, 2
        call    ReadSectors
        pop     es
        mov     ax, [FAT_BUF + di]
        cmp     byte [isFat12], 0
        je      .haveNext
        shr     si, 1
        jnc     .even
        shr     ax, 4
.even:
        and     ah, 0x0F
        cmp     ax, 0x0FF8
        jb      .haveNext
        or      ah, 0xF0                ; FAT12 end of chain looks like FAT16's from here on
.haveNext:
        cmp     ax, 0xFFF8
        jb      .nextCluster

        mov     dl, [B(bootDrive)]
        jmp     KERNEL_SEG:0

DiskError:
Fail:
        mov     si, msgFail
.print:
        lodsb
        mov     dx, 0x3F8
        out     dx, al
        mov     ah, 0x0E
        xor     bx, bx
        int     0x10
        cmp     al, 10
        jne     .print
        xor     ax, ax                  ; any key boots again
        int     0x16
        int     0x19

%include "diskread.inc"

kernelName      db "KERNEL  SYS"
msgFail         db "Boot error", 13, 10

%if ($ - $$) > 510
%error "the boot sector is larger than 510 bytes"
%endif
        times 510 - ($ - $$) db 0
        dw      0xAA55
