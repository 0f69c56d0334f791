// Portable core code must not depend on Win32; put the call behind a seam in the shell instead.
#error "core code includes <windef.h>: move this code to the Win32 shell"
