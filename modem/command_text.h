// The text side of one AT command exchange: what bytes a configured command becomes, where the
// modem's answer starts behind its echo, and when an answer is complete.
#pragma once
#include <cstddef>
#include <cstdint>

inline constexpr size_t kCommandBufferSize = 256;
inline constexpr size_t kReplyBufferSize = 4096;
inline constexpr char kDle = 0x10;

// The bytes to send: blanks dropped; "<13>", "<H1B>", "<B1010>" (decimal, hex, binary, blanks
// inside allowed) become that byte; a "<" that starts no complete escape stays; case is kept; a CR
// ends it. The rest of out is zeroed. Returns the length up to the first NUL (an escape of 0 ends
// the command there).
size_t NormaliseCommand(const char* command, char* out, size_t outSize);

// A command holding DLE (voice-mode data) is logged as the caller wrote it, not as sent.
bool IsDleCommand(const char* normalised, size_t size);

// The text behind the modem's echo of command (without its CR), blanks skipped; nullptr when the
// reply does not start with the echo (echo off) or holds nothing behind it.
const char* ReplyAfterEcho(const char* command, const char* reply);

enum class ReplyVerdict { Undecided, Expected, Error };

// Looks for the expected text and for "ERROR" (any case) from the end of the reply backwards:
// the one that starts later decides, and at the same place the expected text wins.
ReplyVerdict JudgeReply(const char* reply, size_t total, const char* expected);

// A reply that grew past 3072 bytes without a decision keeps its newer half: the second 2048
// bytes of the buffer move to its front. Returns the new total.
size_t DropOldestReply(char* reply, size_t total);

// WaitForLine's polling interval while it waits for the first bytes: time-out / 64, at least 2.
uint32_t LinePollInterval(uint32_t timeoutMs);

// True when the text held is a finished line: nothing but blanks, a lone first character (a
// numeric result code such as "0"), or trailing blanks that hold a CR or LF.
bool LineComplete(const char* text, size_t total);
