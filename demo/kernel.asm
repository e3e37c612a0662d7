; Demo kernel for the KESTRAND boot disk: KERNEL.SYS on the disk, kernel._ys in the package.
;
; The demo boot sector loads it at 1000:0000 and enters with the BIOS drive number in DL, its
; own sector (with the disk's parameter block) still at 0000:7C00. The kernel reports what it
; finds on the disk - the boot sector's name, the volume label, the file system and the root
; directory, and the start-up files the installer writes - on the screen and on COM1. Then it
; runs the programs that AUTOEXEC.BAT names, with just enough of the DOS calls (INT 21h) for
; the package's own programs, and ends a QEMU run through the isa-debug-exit port (exit
; status 33). On a real PC it halts.
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
%define RD_ANY_STACK                    ; disks are read on programs' stacks too

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
        call    InstallDosCalls
        call    RunAutoexec

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
        mov     word [textLength], 0
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
        cmp     ax, 2
        jb      .empty
        mov     [textLength], cx
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
        inc     word [cs:column]            ; DS may be a program's here
        cmp     al, 13
        jne     .counted
        mov     word [cs:column], 0
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

; ---------------------------------------------------------------------------------------------
; Programs. AUTOEXEC.BAT is read as DOS would run it, one command a line: blank lines, REM and
; ECHO lines (with or without '@') are skipped, any other line names a program in the root
; directory. The kernel starts it through its own INT 21h, function 4Bh, as a shell would.

PROGRAM_SEG     equ 0x2000              ; PSP of the first program; each nested one 64 KiB higher
MAX_DEPTH       equ 4

InstallDosCalls:
        push    es
        xor     ax, ax
        mov     es, ax
        cli
        mov     word [es:0x20 * 4], Int20
        mov     [es:0x20 * 4 + 2], cs
        mov     word [es:0x21 * 4], Int21
        mov     [es:0x21 * 4 + 2], cs
        sti
        pop     es
        ret

RunAutoexec:
        mov     si, fileBuf
        mov     cx, [textLength]
.line:
        jcxz    .end
        ; Skip line ends and leading blanks.
        mov     al, [si]
        cmp     al, " "
        ja      .command
        inc     si
        dec     cx
        jmp     short .line
.command:
        mov     di, si                  ; start of the line
.findEnd:
        jcxz    .haveLine
        mov     al, [si]
        cmp     al, 13
        je      .haveLine
        cmp     al, 10
        je      .haveLine
        inc     si
        dec     cx
        jmp     short .findEnd
.haveLine:
        push    si
        push    cx
        mov     cx, si
        sub     cx, di                  ; line length
        mov     si, di
        call    RunCommandLine
        pop     cx
        pop     si
        jmp     short .line
.end:
        ret

; RunCommandLine: SI = line, CX = its length (at least 1).
RunCommandLine:
        cmp     byte [si], "@"
        jne     .noAt
        inc     si
        dec     cx
        jz      .skip
.noAt:
        mov     di, wordRem
        call    StartsWithWord
        je      .skip
        mov     di, wordEcho
        call    StartsWithWord
        je      .skip
        ; The program name is the first word; the rest of the line is its command tail.
        mov     di, commandName
        xor     bx, bx
.name:
        mov     al, [si + bx]
        cmp     al, " "
        jbe     .nameEnd
        cmp     bx, 63
        jae     .nameEnd
        mov     [di + bx], al
        inc     bx
        cmp     bx, cx
        jb      .name
.nameEnd:
        mov     byte [di + bx], 0
        mov     di, commandTail + 1
        xor     dx, dx
.tail:
        cmp     bx, cx
        jae     .tailEnd
        cmp     dx, 125
        jae     .tailEnd
        mov     al, [si + bx]
        mov     [di], al
        inc     di
        inc     bx
        inc     dx
        jmp     short .tail
.tailEnd:
        mov     byte [di], 13
        mov     [commandTail], dl

        mov     si, msgRunning
        call    PutString
        mov     si, commandName
        call    PutString
        mov     si, msgNewLine
        call    PutString
        mov     dx, commandName
        mov     bx, kernelExecBlock
        mov     [kernelExecBlock + 4], ds
        mov     ax, 0x4B00
        int     0x21
        jc      .failed
        mov     ah, 0x4D
        int     0x21
        push    ax
        mov     si, commandName
        call    PutString
        mov     si, msgEnded
        call    PutString
        pop     ax
        movzx   eax, al
        call    PutDecimal
        mov     si, msgNewLine
        jmp     PutString
.failed:
        push    ax
        mov     si, msgCannotRun
        call    PutString
        pop     ax
        movzx   eax, ax
        call    PutDecimal
        mov     si, msgNewLine
        jmp     PutString
.skip:
        ret

; StartsWithWord: ZF set when the text at SI (CX characters) begins with the upper-case word at
; DI (zero-terminated) followed by a blank or the end of the line. Keeps SI and CX.
StartsWithWord:
        push    si
        push    cx
.char:
        mov     ah, [di]
        test    ah, ah
        jz      .wordEnd
        jcxz    .differ
        lodsb
        and     al, 0xDF                ; upper case (letters only are compared)
        cmp     al, ah
        jne     .differ
        inc     di
        dec     cx
        jmp     short .char
.wordEnd:
        jcxz    .same
        cmp     byte [si], " "
        ja      .differ
.same:
        xor     ax, ax                  ; ZF = 1
        jmp     short .end
.differ:
        or      al, 1                   ; ZF = 0
        mov     ax, 1
        test    ax, ax
.end:
        pop     cx
        pop     si
        ret

; ---------------------------------------------------------------------------------------------
; INT 21h: the DOS calls the package's programs make. Anything else is refused with error 1
; and named on the screen, so a program that needs more says so instead of going astray.

Int20:
        xor     al, al
        jmp     Terminate

Int21:
        sti
        cmp     ah, 0x09
        je      .printString
        cmp     ah, 0x02
        je      .printChar
        cmp     ah, 0x30
        je      .version
        cmp     ah, 0x4A
        je      .resize
        cmp     ah, 0x4B
        je      Exec
        cmp     ah, 0x4C
        je      Terminate
        cmp     ah, 0x4D
        je      .returnCode
        push    ds
        push    si
        push    ax
        push    cs
        pop     ds
        mov     si, msgUnsupported
        call    PutString
        pop     ax
        push    ax
        mov     al, ah
        call    PutHexByte
        mov     si, msgHexEnd
        call    PutString
        pop     ax
        pop     si
        pop     ds
        mov     ax, 1
        stc
        retf    2
.printString:
        push    si
        push    ax
        mov     si, dx
.nextChar:
        lodsb
        cmp     al, "$"
        je      .printed
        call    PutChar
        jmp     short .nextChar
.printed:
        pop     ax
        pop     si
        mov     al, "$"
        clc
        retf    2
.printChar:
        push    ax
        mov     al, dl
        call    PutChar
        pop     ax
        mov     al, dl
        clc
        retf    2
.version:
        mov     ax, 0x0005              ; 5.0
        xor     bx, bx
        xor     cx, cx
        clc
        retf    2
.resize:
        clc                             ; each program has its 64 KiB anyway
        retf    2
.returnCode:
        xor     ah, ah
        mov     al, [cs:returnCode]
        clc
        retf    2

; Exec (AX = 4B00h): DS:DX = program name, ES:BX = parameter block. Returns to the caller when
; the program ends, with CF clear, or at once with CF set and AX = the DOS error code.
Exec:
        pusha
        push    ds
        push    es
        mov     bp, sp                  ; [bp] ES, [bp+2] DS, [bp+4] DI ... [bp+18] AX
        push    cs
        pop     es
        mov     si, dx
        mov     di, execName
        mov     cx, 63
.copyName:
        lodsb
        stosb
        test    al, al
        loopnz  .copyName
        mov     byte [es:di], 0
        ; Command tail: the far pointer at offset 2 of the parameter block.
        mov     ds, [bp]
        lds     si, [bx + 2]
        mov     di, execTail
        mov     cl, [si]
        cmp     cl, 126
        jbe     .tailFits
        mov     cl, 126
.tailFits:
        movzx   cx, cl
        inc     cx                      ; the count byte
        rep movsb
        mov     al, 13
        stosb
        push    cs
        pop     ds

        mov     ax, 8                   ; not enough memory: too deeply nested
        mov     bx, [depth]
        cmp     bx, MAX_DEPTH
        jae     .failed
        shl     bx, 2
        mov     [savedStack + bx], sp
        mov     [savedStack + bx + 2], ss
        inc     word [depth]
        call    LoadProgram
        jc      .notLoaded
        mov     ax, [childPsp]
        mov     ds, ax
        mov     es, ax
        cli
        mov     ss, [cs:childSS]
        mov     sp, [cs:childSP]
        sti
        push    word [cs:childCS]
        push    word [cs:childIP]
        xor     ax, ax
        xor     bx, bx
        xor     cx, cx
        xor     dx, dx
        xor     si, si
        xor     di, di
        xor     bp, bp
        retf
.notLoaded:
        dec     word [depth]
.failed:
        mov     [ss:bp + 18], ax
        pop     es
        pop     ds
        popa
        stc
        retf    2

; Terminate (AH = 4Ch, or INT 20h): AL = return code. Back to the EXEC call that started the
; program, on the stack it was made from.
Terminate:
        push    cs
        pop     ds
        mov     [returnCode], al
        mov     bx, [depth]
        test    bx, bx
        jz      Halt                    ; nothing started this; the kernel's own code ended
        dec     bx
        mov     [depth], bx
        shl     bx, 2
        cli
        mov     ss, [savedStack + bx + 2]
        mov     sp, [savedStack + bx]
        sti
        pop     es
        pop     ds
        popa
        clc
        retf    2

; LoadProgram: loads execName (a .COM or an MZ .EXE from the root directory) for nesting level
; [depth] and builds its PSP. Out: childPsp, childCS:childIP, childSS:childSP; CF and AX = 2
; when the file is not there.
LoadProgram:
        call    MakeDirName
        call    FindDirEntry
        jnc     .found
        cmp     byte [noExtension], 0
        je      .missing
        mov     dword [dirName + 8], "EXE "     ; "ksstart" alone may name a .COM or an .EXE
        call    FindDirEntry
        jnc     .found
.missing:
        mov     ax, 2
        stc
        ret
.found:
        mov     ax, [depth]
        dec     ax
        shl     ax, 12
        add     ax, PROGRAM_SEG
        mov     [childPsp], ax
        add     ax, 0x10
        mov     es, ax                  ; the file goes right after the PSP
        mov     ax, [di + 26]
        call    LoadChain
        cmp     word [es:0], "MZ"
        je      .exe
        mov     ax, [childPsp]          ; .COM: CS = DS = SS = PSP, IP 100h
        mov     [childCS], ax
        mov     [childSS], ax
        mov     word [childIP], 0x100
        mov     word [childSP], 0xFFFE
        mov     es, ax
        mov     word [es:0xFFFE], 0     ; a final RET lands on the INT 20h at PSP:0
        jmp     short .psp
.exe:
        mov     dx, es
        add     dx, [es:8]              ; header paragraphs: DX = load segment
        mov     cx, [es:6]              ; relocations
        mov     si, [es:0x18]
.relocate:
        jcxz    .relocated
        mov     ax, [es:si + 2]
        add     ax, dx
        mov     fs, ax
        mov     di, [es:si]
        add     [fs:di], dx
        add     si, 4
        loop    .relocate
.relocated:
        mov     ax, [es:0x16]
        add     ax, dx
        mov     [childCS], ax
        mov     ax, [es:0x14]
        mov     [childIP], ax
        mov     ax, [es:0x0E]
        add     ax, dx
        mov     [childSS], ax
        mov     ax, [es:0x10]
        mov     [childSP], ax
.psp:
        mov     es, [childPsp]
        xor     di, di
        xor     ax, ax
        mov     cx, 128
        rep stosw
        mov     word [es:0], 0x20CD     ; INT 20h
        mov     ax, es
        add     ax, 0x1000
        mov     [es:2], ax              ; end of the program's memory
        mov     si, execTail
        mov     di, 0x80
        mov     cx, 128
        rep movsb
        clc
        ret

; MakeDirName: execName ("ksstart.com") -> dirName ("KSSTART COM"); noExtension when the name
; has none, and then "COM" is tried first.
MakeDirName:
        mov     di, dirName
        mov     cx, 11
        mov     al, " "
        push    es
        push    ds
        pop     es
        rep stosb
        pop     es
        mov     si, execName
        ; A path ("A:\KSSTART.COM") names a file of the root directory all the same.
        mov     bx, si
.findBase:
        lodsb
        test    al, al
        jz      .baseFound
        cmp     al, "\"
        je      .afterSeparator
        cmp     al, ":"
        jne     .findBase
.afterSeparator:
        mov     bx, si
        jmp     short .findBase
.baseFound:
        mov     si, bx
        mov     di, dirName
        mov     cx, 8
        mov     byte [noExtension], 1
.base:
        lodsb
        test    al, al
        jz      .done
        cmp     al, "."
        je      .extension
        jcxz    .base
        call    UpperCase
        mov     [di], al
        inc     di
        dec     cx
        jmp     short .base
.extension:
        mov     byte [noExtension], 0
        mov     di, dirName + 8
        mov     cx, 3
.ext:
        lodsb
        test    al, al
        jz      .done
        jcxz    .ext
        call    UpperCase
        mov     [di], al
        inc     di
        dec     cx
        jmp     short .ext
.done:
        cmp     byte [noExtension], 0
        je      .end
        mov     dword [dirName + 8], "COM "
.end:
        ret

UpperCase:
        cmp     al, "a"
        jb      .end
        cmp     al, "z"
        ja      .end
        sub     al, "a" - "A"
.end:
        ret

; FindDirEntry: DI = the root entry named dirName (files only); CF when there is none.
FindDirEntry:
        push    es
        push    ds
        pop     es
        mov     di, ROOT_BUF
        mov     dx, [rootEntries]
.next:
        test    dx, dx
        jz      .none
        cmp     byte [di], 0
        je      .none
        test    byte [di + 11], 0x18    ; folders and the label
        jnz     .skip
        mov     si, dirName
        mov     cx, 11
        push    di
        repe cmpsb
        pop     di
        je      .found
.skip:
        add     di, 32
        dec     dx
        jmp     short .next
.none:
        stc
        pop     es
        ret
.found:
        clc
        pop     es
        ret

; LoadChain: reads the cluster chain that starts at AX to ES:0 onwards (ES is left as it was).
LoadChain:
        push    es
.cluster:
        cmp     ax, 2
        jb      .end
        cmp     ax, 0xFFF8
        jae     .end
        push    ax
        movzx   eax, ax
        sub     eax, 2
        movzx   ecx, byte [bootSector + 13]
        mul     ecx
        add     eax, [dataStart]
        xor     bx, bx
        call    ReadSectors
        pop     ax
        call    NextCluster
        jmp     short .cluster
.end:
        pop     es
        ret

; NextCluster: AX = cluster -> AX = the next one; ends of chain come back as FFF8h or more.
NextCluster:
        push    es
        push    ds
        pop     es
        mov     si, ax
        movzx   eax, ax
        mov     edx, eax
        cmp     dword [clusterCount], 4085
        jae     .fat16
        shr     edx, 1                  ; FAT12: 1.5 bytes an entry
.fat16:
        add     eax, edx
        mov     di, ax
        and     di, 511
        shr     eax, 9
        movzx   edx, word [bootSector + 14]
        add     eax, edx
        add     eax, [bootSector + 28]
        mov     bx, fatBuf
        mov     cx, 2
        call    ReadSectors
        pop     es
        mov     ax, [fatBuf + di]
        cmp     dword [clusterCount], 4085
        jae     .end
        shr     si, 1
        jnc     .even
        shr     ax, 4
.even:
        and     ah, 0x0F
        cmp     ax, 0x0FF8
        jb      .end
        or      ah, 0xF0
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
msgRunning      db "AUTOEXEC.BAT runs ", 0
msgEnded        db " ended, exit code ", 0
msgCannotRun    db "cannot be started, DOS error ", 0
msgUnsupported  db "[INT 21h function ", 0
wordRem         db "REM", 0
wordEcho        db "ECHO", 0
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
depth           dw 0
returnCode      db 0
noExtension     db 0
childPsp        dw 0
childCS         dw 0
childIP         dw 0
childSS         dw 0
childSP         dw 0
savedStack      times MAX_DEPTH dd 0
kernelExecBlock dw 0, commandTail, 0, 0, 0, 0, 0
dirName         times 11 db 0
commandName     times 64 db 0
commandTail     times 128 db 0
execName        times 64 db 0
execTail        times 128 db 0
fatBuf          times 1024 db 0
bootSector      times 62 db 0
fileBuf         times 512 db 0

; Filler blocks up to IMAGE_BLOCKS sectors, each stamped with its number: the image spans
; several clusters on any FAT12 or FAT16 disk, so loading it exercises the cluster chain.
IMAGE_BLOCKS    equ 16
FIRST_FILLER    equ ($ - $$ + 511) / 512
%if FIRST_FILLER > IMAGE_BLOCKS - 4
%error "the kernel code leaves too few filler blocks"
%endif
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
