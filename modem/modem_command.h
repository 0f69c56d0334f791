// One AT command exchange with a modem: send the command, gather the answer, log both.
#pragma once
#include <cstdint>

#include "modem/serial_port.h"

inline constexpr uint32_t kModemReplySize = 4096;

// Sends command (as configured: blanks and <..> escapes allowed) and collects the reply for up to
// five passes of two seconds. With an expected text ("OK") the exchange ends when it or "ERROR"
// arrives; without, as soon as something follows the modem's echo. reply (kModemReplySize bytes)
// gets the answer; the result is its length, 0 when nothing usable came. "ERROR" is handed back
// too: the caller looks into the text.
uint32_t SendModemCommand(SerialPort* port, const char* command, const char* expected, char* reply);
